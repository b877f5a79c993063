// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A save state of any emulator the programs know, decoded from its file: the emulator's own
// stream, where work RAM and battery RAM lie in it, and what it takes to write the stream back
// into the same container. Edits change bytes of the stream in place; nothing moves.

#include <span>
#include <string>
#include <vector>

#include "byte_view.h"
#include "outcome.h"
#include "rzip.h"
#include "stream_layout.h"

namespace orvane {

enum class Emulator { Zsnes, Snes9x, RetroArch, Mednafen };
enum class Compression { None, Gzip, Rzip };

class DecodedState {
public:
    // Recognises the file by its content and takes it only when every check its emulator makes
    // holds; otherwise says what was found ("it is a snes9x state whose RAM block is 131071 bytes
    // long"). A stream copied from the file takes the memory of `storage` where one is given, so
    // that loading again and again does not ask the system for fresh pages each time; storage
    // is left alone when the file is refused.
    static Outcome<DecodedState> Decode(ByteSpan file, Bytes* storage = nullptr);

    // The stream in the container it came from: same compression, header fields, chunk size and
    // wrapper blocks. A stream or chunk that did not change keeps the bytes it was read with. The
    // result is decoded again and must give this stream with work RAM at the same place. It takes
    // the memory of `storage` where one is given.
    Outcome<Bytes> Encode(Bytes* storage = nullptr) const;

    // Hands the stream's memory on for a next Decode or Encode; the state is empty afterwards.
    Bytes TakeStorage() && { return std::move(m_stream); }

    std::span<std::uint8_t> WorkRam() {
        return std::span(m_stream).subspan(m_layout.workRam, kWorkRamSize);
    }
    ByteSpan WorkRam() const { return ByteSpan(m_stream).subspan(m_layout.workRam, kWorkRamSize); }
    // Empty where the state stores none.
    ByteSpan BatteryRam() const;
    ByteSpan Stream() const { return m_stream; }
    const StreamLayout& Layout() const { return m_layout; }

    // In words for the user: "RetroArch state, bsnes 115 core, compressed".
    const std::string& Name() const { return m_name; }
    Emulator Writer() const { return m_writer; }
    Compression GetCompression() const { return m_compression; }

private:
    struct Identity {
        StreamLayout layout;
        std::string name;
        Emulator writer = Emulator::Zsnes;
    };

    DecodedState() = default;
    static Outcome<Identity> Identify(ByteSpan stream, Compression compression);
    // Decode, keeping what re-encoding a compressed file needs of the file as read only when
    // asked: a check of an encoded file needs none of it.
    static Outcome<DecodedState> Read(ByteSpan file, Bytes* storage, bool keepOriginal);

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
};

// Every kind of state the programs open, in words, to follow "opens the save states of".
std::string KnownStatesInWords();

}  // namespace orvane
