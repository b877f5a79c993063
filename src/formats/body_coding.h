// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A state kept coded inside a file's stream rather than as plain bytes in it, such as the game's
// three slots in a battery save: one at a time is opened into a body of its own, edited there, and
// coded back into the stream.

#include <cstddef>
#include <string>
#include <vector>

#include "byte_view.h"
#include "outcome.h"
#include "stream_layout.h"

namespace orvane {

// One of the states a stream holds, as the user chooses among them.
struct StoredState {
    std::string title;  // "Slot 1"
    bool opens = true;
    std::string why;     // why it does not open: "never saved"
    bool blank = false;  // never written: replacing it loses nothing
};

// An opened state: its bytes and where work RAM and battery RAM lie in them.
struct Body {
    Bytes bytes;
    StreamLayout layout;
};

// Why a file may only ever be replaced as a whole, never changed byte by byte in place.
enum class WholeFileOnly {
    No,
    Compressed,   // a mix of old and new compressed bytes is no stream at all
    Checksummed,  // a file torn between its data and its check is thrown away
};

class BodyCoding {
public:
    virtual ~BodyCoding() = default;

    // Every state the stream holds, in the order the user sees them.
    virtual std::vector<StoredState> States(ByteSpan stream) const = 0;
    // The one a user opening the file expects; it opens.
    virtual std::size_t FirstToOpen(ByteSpan stream) const = 0;
    virtual Outcome<Body> Open(ByteSpan stream, std::size_t state) const = 0;
    // The stream with `state` holding `body`, an opened body as edited.
    virtual Outcome<Bytes> Encode(ByteSpan stream, std::size_t state, ByteSpan body) const = 0;
    // The stream with state `to` made a copy of state `from`, where the format allows it.
    virtual Outcome<Bytes> Copy(ByteSpan /*stream*/, std::size_t /*from*/,
                                std::size_t /*to*/) const {
        return Outcome<Bytes>::Refused("its states cannot be copied into each other");
    }
    virtual WholeFileOnly Replacing() const = 0;
};

}  // namespace orvane
