// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A state kept coded inside a file's stream rather than as plain bytes in it, such as the game's
// three slots in a battery save or a compressed body: one at a time is opened into a body of its
// own, edited there, and coded back into the stream.

#include <algorithm>
#include <cstddef>
#include <memory>
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

    // Every state the stream holds, in the order the user sees them; none where it holds one
    // only, state 0, which needs no choosing.
    virtual std::vector<StoredState> States(ByteSpan stream) const = 0;
    // The one a user opening the file expects; it opens.
    virtual std::size_t FirstToOpen(ByteSpan stream) const = 0;
    virtual Outcome<Body> Open(ByteSpan stream, std::size_t state) const = 0;
    // Whether `state` opens to exactly `body` with work RAM at `workRam`: the check of what
    // Encode gave. A coding may tell without opening it into memory of its own.
    virtual bool Holds(ByteSpan stream, std::size_t state, ByteSpan body,
                       std::size_t workRam) const {
        const auto opened = Open(stream, state);
        return opened &&
               std::equal(body.begin(), body.end(), opened->bytes.begin(), opened->bytes.end()) &&
               opened->layout.workRam == workRam;
    }
    // The stream with `state` holding `body`, an opened body as edited.
    virtual Outcome<Bytes> Encode(ByteSpan stream, std::size_t state, ByteSpan body) const = 0;
    // The stream with state `to` made a copy of state `from`, where the format allows it.
    virtual Outcome<Bytes> Copy(ByteSpan /*stream*/, std::size_t /*from*/,
                                std::size_t /*to*/) const {
        return Outcome<Bytes>::Refused("its states cannot be copied into each other");
    }
    virtual WholeFileOnly Replacing() const = 0;
};

// A coding of data that lies in a block of a wrapper's stream (a RetroArch core's data in its MEM
// block): it sees the block alone, and an encoded block must keep the block's length.
class CodingInBlock final : public BodyCoding {
public:
    CodingInBlock(std::shared_ptr<const BodyCoding> inner, std::size_t at, std::size_t length)
        : m_inner(std::move(inner)), m_at(at), m_length(length) {}

    std::vector<StoredState> States(ByteSpan stream) const override {
        return m_inner->States(Block(stream));
    }
    std::size_t FirstToOpen(ByteSpan stream) const override {
        return m_inner->FirstToOpen(Block(stream));
    }
    Outcome<Body> Open(ByteSpan stream, std::size_t state) const override {
        return m_inner->Open(Block(stream), state);
    }
    Outcome<Bytes> Encode(ByteSpan stream, std::size_t state, ByteSpan body) const override {
        return Splice(stream, m_inner->Encode(Block(stream), state, body));
    }
    Outcome<Bytes> Copy(ByteSpan stream, std::size_t from, std::size_t to) const override {
        return Splice(stream, m_inner->Copy(Block(stream), from, to));
    }
    WholeFileOnly Replacing() const override { return m_inner->Replacing(); }

private:
    ByteSpan Block(ByteSpan stream) const { return stream.subspan(m_at, m_length); }
    Outcome<Bytes> Splice(ByteSpan stream, const Outcome<Bytes>& block) const {
        if (!block) {
            return Outcome<Bytes>::Refused(block);
        }
        if (block->size() != m_length) {
            return Outcome<Bytes>::Refused("the core's data would not keep its length");
        }
        Bytes out(stream.begin(), stream.end());
        std::copy(block->begin(), block->end(), out.begin() + static_cast<std::ptrdiff_t>(m_at));
        return out;
    }

    std::shared_ptr<const BodyCoding> m_inner;
    std::size_t m_at;
    std::size_t m_length;
};

}  // namespace orvane
