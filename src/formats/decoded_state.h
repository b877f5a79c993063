// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A save state of any emulator the programs know, or the game's battery save, decoded from its
// file: the emulator's own stream, where work RAM and battery RAM lie in it, and what it takes to
// write the stream back into the same container. Edits change bytes of the stream in place, or of
// the body of a state the stream keeps coded; nothing moves.

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "body_coding.h"
#include "byte_view.h"
#include "outcome.h"
#include "rzip.h"
#include "state_format.h"
#include "stream_layout.h"

namespace orvane {

enum class Compression { None, Gzip, Rzip };

class DecodedState {
public:
    // Recognises the file by its content and takes it only when every check its emulator makes
    // holds; otherwise says what was found ("it is a snes9x state whose RAM block is 131071 bytes
    // long"). A stream copied from the file takes the memory of `storage` where one is given, so
    // that loading again and again does not ask the system for fresh pages each time; storage
    // is left alone when the file is refused. Of a file that holds several states (a battery
    // save's slots) the one a user expects is opened.
    static Outcome<DecodedState> Decode(ByteSpan file, Bytes* storage = nullptr);

    // The stream in the container it came from: same compression, header fields, chunk size and
    // wrapper blocks, with the open state's edits coded into it where it keeps them coded. A
    // stream or chunk that did not change keeps the bytes it was read with. The result is decoded
    // again and must give this stream, or this state, with work RAM at the same place. It takes
    // the memory of `storage` where one is given.
    Outcome<Bytes> Encode(Bytes* storage = nullptr) const;

    // Hands the stream's memory on for a next Decode or Encode; the state is empty afterwards.
    Bytes TakeStorage() && { return std::move(m_stream); }

    std::span<std::uint8_t> WorkRam() {
        return std::span(m_coding ? m_body : m_stream).subspan(m_layout.workRam, kWorkRamSize);
    }
    ByteSpan WorkRam() const {
        return ByteSpan(m_coding ? m_body : m_stream).subspan(m_layout.workRam, kWorkRamSize);
    }
    // Empty where the state stores none.
    ByteSpan BatteryRam() const;
    ByteSpan Stream() const { return m_stream; }
    // What work RAM lies in, and Layout() speaks of: the stream, or the open state's body where
    // the stream keeps it coded.
    ByteSpan Body() const { return m_coding ? ByteSpan(m_body) : ByteSpan(m_stream); }
    // Where work RAM and battery RAM lie: in the stream, or in the open state's body where the
    // stream keeps its states coded.
    const StreamLayout& Layout() const { return m_layout; }

    // Whether the state is kept coded in the stream (a battery save's slot, a compressed body),
    // so that work RAM lies in the open state's body.
    bool StateIsCoded() const { return m_coding != nullptr; }
    // The states the stream keeps coded, such as a battery save's three slots, one of which is
    // open; none where the stream holds one state.
    std::vector<StoredState> States() const;
    std::size_t OpenState() const { return m_openState; }
    // Opens another of States(), dropping the open one's edits.
    Outcome<std::size_t> OpenStoredState(std::size_t state);
    // A stored state's work RAM as the stream holds it, without opening it.
    Outcome<Bytes> StoredWorkRam(std::size_t state) const;
    // Whether the open one of States() was changed since it was opened or last saved.
    bool OpenStateEdited() const {
        return m_coding && !std::ranges::equal(WorkRam(), m_openedWorkRam);
    }
    // Makes state `to` of States() a copy of the open state as edited.
    Outcome<std::size_t> CopyOpenStateTo(std::size_t to);
    // After the file that Encode gave was written where this state was loaded from.
    void Saved(ByteSpan file);

    // Whether work RAM lies in the file's own bytes, so that an edit may be written into the
    // file in place.
    bool EditsInPlace() const { return m_compression == Compression::None && !m_coding; }
    WholeFileOnly Replacing() const;

    // In words for the user: "RetroArch state, bsnes 115 core, compressed".
    const std::string& Name() const { return m_name; }
    Emulator Writer() const { return m_writer; }
    Compression GetCompression() const { return m_compression; }

private:
    struct Identity {
        StreamLayout layout;
        std::string name;
        Emulator writer = Emulator::Zsnes;
        std::shared_ptr<const BodyCoding> coding;
        // The row that took an emulator's own file; null for RetroArch's states.
        const StateFormat* format = nullptr;
        std::optional<orvane::Body> opened;  // the first state, where finding the format opened it
    };

    DecodedState() = default;
    static Outcome<Identity> Identify(ByteSpan stream, Compression compression);
    // Decode, keeping what re-encoding a compressed file needs of the file as read only when
    // asked: a check of an encoded file needs none of it.
    static Outcome<DecodedState> Read(ByteSpan file, Bytes* storage, bool keepOriginal);
    // The state `state` opened into `body`, as it is now and as opened.
    void Adopt(std::size_t state, orvane::Body body);
    // Whether an encoded file decodes to `stream` (or, when that is empty, to this state's
    // stream), of the same kind, with the open state's body as it is here.
    bool GivesBack(ByteSpan file, ByteSpan stream) const;

    Bytes m_stream;
    StreamLayout m_layout;
    std::string m_name;
    Emulator m_writer = Emulator::Zsnes;
    Compression m_compression = Compression::None;
    // A compressed file as read and the stream it gave, so that what did not change keeps its
    // bytes; the gzip header and the RZIP chunks as they were.
    Bytes m_file;
    Bytes m_loadedStream;
    Bytes m_gzipHeader;
    std::uint32_t m_chunkSize = 0;
    std::vector<RzipChunk> m_chunks;
    // Where the stream keeps its states coded: how, which is open, its body as edited.
    std::shared_ptr<const BodyCoding> m_coding;
    const StateFormat* m_format = nullptr;
    std::size_t m_openState = 0;
    Bytes m_body;
    // Work RAM as opened or last saved: nothing else of the body is ever edited.
    Bytes m_openedWorkRam;
    // Whether the stream holds the open state as opened: not once a compressed file was saved,
    // whose stream stays as loaded.
    bool m_streamHoldsOpened = true;
};

// Every kind of state the programs open, in words, to follow "opens the save states of".
std::string KnownStatesInWords();

}  // namespace orvane
