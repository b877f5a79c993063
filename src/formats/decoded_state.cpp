// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoded_state.h"

#include <algorithm>

#include "bsnes_state.h"
#include "gzip.h"
#include "mednafen_state.h"
#include "rastate.h"
#include "snes9x_state.h"
#include "zsnes_state.h"

namespace orvane {

namespace {

bool IsIn(const StateFormat& format, unsigned place) {
    return (format.places & place) != 0;
}

// "snes9x core (format 12)", "bsnes 115 core".
std::string Core(const StreamLayout& layout) {
    const std::string core = layout.writer + " core";
    return layout.detail.empty() ? core : core + " (" + layout.detail + ")";
}

// A RetroArch core's data, with or without RetroArch's wrapper around it.
Outcome<FormatFound> ReadRetroArchCore(ByteSpan stream, Compression compression, bool& wrapped) {
    wrapped = IsRaState(stream);
    std::size_t at = 0;
    ByteSpan core = stream;
    if (wrapped) {
        const auto memory = FindRaStateMemory(stream);
        if (!memory) {
            return Outcome<FormatFound>::Refused(memory);
        }
        at = memory->at;
        core = stream.subspan(memory->at, memory->length);
    }
    for (const StateFormat& format : StateFormats()) {
        if (IsIn(format, kRetroArchCore) && format.claims(core)) {
            auto found = format.read(core);
            if (found && found->body) {
                found->body =
                    std::make_shared<const CodingInBlock>(std::move(found->body), at, core.size());
            } else if (found) {
                found->layout = found->layout.MovedBy(at);
            }
            return found;
        }
    }
    // Some cores' data is known by its size alone, so the size tells what was found.
    return Outcome<FormatFound>::Refused(
        std::string("it is ") +
        (compression == Compression::Rzip ? "a compressed RetroArch state" : "a RetroArch state") +
        " of a core that this program does not know, whose data is " + std::to_string(core.size()) +
        " bytes long");
}

// The first row that claims a stream not in RetroArch's wrapper, where its compression allows
// the row; a bare core's data is RetroArch's where no emulator writes it as a file.
const StateFormat* Claiming(ByteSpan stream, unsigned place) {
    for (const StateFormat& candidate : StateFormats()) {
        if ((IsIn(candidate, place) || (place == kOwnFile && IsIn(candidate, kRetroArchCore))) &&
            candidate.claims(stream)) {
            return &candidate;
        }
    }
    return nullptr;
}

}  // namespace

// What a decoded stream is: the first format of the table that claims it, in the places its
// compression allows. RZIP and RetroArch's wrapper are RetroArch's alone. The stream is only
// read, so a plain file is looked at where it lies.
Outcome<DecodedState::Identity> DecodedState::Identify(ByteSpan stream, Compression compression) {
    Identity identity;
    Outcome<FormatFound> found = Outcome<FormatFound>::Refused("");
    bool retroArch = compression == Compression::Rzip || IsRaState(stream);
    bool wrapped = false;
    if (retroArch) {
        found = ReadRetroArchCore(stream, compression, wrapped);
    } else {
        const unsigned place = compression == Compression::Gzip ? kGzipped : kOwnFile;
        const StateFormat* format = Claiming(stream, place);
        identity.format = format;
        if (format == nullptr) {
            return Outcome<Identity>::Refused(
                "it is a gzip-compressed file that holds no snes9x or mednafen state");
        }
        // A core's data without its wrapper is RetroArch's where no emulator writes it as a file.
        retroArch = !IsIn(*format, place);
        found = format->read(stream);
        if (found && !retroArch) {
            identity.name = format->name(found->layout);
            identity.writer = format->emulator;
        }
    }
    if (!found) {
        return Outcome<Identity>::Refused(found);
    }
    identity.layout = std::move(found->layout);
    identity.coding = std::move(found->body);
    identity.opened = std::move(found->opened);
    if (retroArch) {
        identity.name = "RetroArch state, " + Core(identity.layout);
        if (!wrapped) {
            identity.name += ", core data only";
        }
        identity.writer = Emulator::RetroArch;
    }
    if (compression != Compression::None) {
        identity.name += ", compressed";
    }
    return identity;
}

Outcome<DecodedState> DecodedState::Decode(ByteSpan file, Bytes* storage) {
    return Read(file, storage, true);
}

Outcome<DecodedState> DecodedState::Read(ByteSpan file, Bytes* storage, bool keepOriginal) {
    using Result = Outcome<DecodedState>;
    DecodedState state;
    if (IsGzip(file)) {
        auto member = DecodeGzip(file);
        if (!member) {
            return Result::Refused(member);
        }
        state.m_compression = Compression::Gzip;
        state.m_gzipHeader = std::move(member->header);
        state.m_stream = std::move(member->stream);
    } else if (IsRzip(file)) {
        auto rzip = DecodeRzip(file);
        if (!rzip) {
            return Result::Refused(rzip);
        }
        state.m_compression = Compression::Rzip;
        state.m_chunkSize = rzip->chunkSize;
        state.m_chunks = std::move(rzip->chunks);
        state.m_stream = std::move(rzip->stream);
    }
    const bool compressed = state.m_compression != Compression::None;
    auto found = Identify(compressed ? ByteSpan(state.m_stream) : file, state.m_compression);
    if (!found) {
        return Result::Refused(found);
    }
    state.m_layout = std::move(found->layout);
    state.m_name = std::move(found->name);
    state.m_writer = found->writer;
    state.m_coding = std::move(found->coding);
    state.m_format = found->format;
    if (compressed && keepOriginal) {
        state.m_file.assign(file.begin(), file.end());
        state.m_loadedStream = state.m_stream;
    } else if (!compressed) {
        if (storage != nullptr) {
            state.m_stream = std::move(*storage);
        }
        state.m_stream.assign(file.begin(), file.end());
    }
    if (state.m_coding && found->opened) {
        state.Adopt(state.m_coding->FirstToOpen(state.m_stream), std::move(*found->opened));
    } else if (state.m_coding) {
        const auto opened = state.OpenStoredState(state.m_coding->FirstToOpen(state.m_stream));
        if (!opened) {
            return Result::Refused(opened);
        }
    }
    return state;
}

ByteSpan DecodedState::BatteryRam() const {
    if (!m_layout.batteryRam) {
        return {};
    }
    return ByteSpan(m_coding ? m_body : m_stream).subspan(*m_layout.batteryRam, kBatteryRamSize);
}

std::vector<StoredState> DecodedState::States() const {
    return m_coding ? m_coding->States(m_stream) : std::vector<StoredState>{};
}

Outcome<std::size_t> DecodedState::OpenStoredState(std::size_t state) {
    if (!m_coding) {
        return Outcome<std::size_t>::Refused("it holds one state only");
    }
    auto body = m_coding->Open(m_stream, state);
    if (!body) {
        return Outcome<std::size_t>::Refused(body);
    }
    Adopt(state, std::move(*body));
    return state;
}

void DecodedState::Adopt(std::size_t state, orvane::Body body) {
    m_openState = state;
    m_layout = std::move(body.layout);
    m_body = std::move(body.bytes);
    const ByteSpan workRam = std::as_const(*this).WorkRam();
    m_openedWorkRam.assign(workRam.begin(), workRam.end());
    m_streamHoldsOpened = true;
}

Outcome<Bytes> DecodedState::StoredWorkRam(std::size_t state) const {
    if (!m_coding) {
        return Outcome<Bytes>::Refused("it holds one state only");
    }
    auto body = m_coding->Open(m_stream, state);
    if (!body) {
        return Outcome<Bytes>::Refused(body);
    }
    const auto from = body->bytes.begin() + static_cast<std::ptrdiff_t>(body->layout.workRam);
    return Bytes(from, from + static_cast<std::ptrdiff_t>(kWorkRamSize));
}

Outcome<std::size_t> DecodedState::CopyOpenStateTo(std::size_t to) {
    if (!m_coding || to == m_openState) {
        return Outcome<std::size_t>::Refused("it holds no other state to copy the open one to");
    }
    auto copied = m_coding->Copy(m_stream, m_openState, to);
    if (!copied) {
        return Outcome<std::size_t>::Refused(copied);
    }
    auto edited = m_coding->Encode(*copied, to, m_body);
    if (!edited) {
        return Outcome<std::size_t>::Refused(edited);
    }
    m_stream = std::move(*edited);
    return to;
}

void DecodedState::Saved(ByteSpan file) {
    if (!m_coding) {
        return;
    }
    // A file of several states is never compressed: what was written is the stream. A compressed
    // one holds one state, which every later Encode codes again into the stream as loaded.
    if (m_compression == Compression::None) {
        m_stream.assign(file.begin(), file.end());
    } else {
        m_streamHoldsOpened = false;
    }
    const ByteSpan workRam = std::as_const(*this).WorkRam();
    m_openedWorkRam.assign(workRam.begin(), workRam.end());
}

WholeFileOnly DecodedState::Replacing() const {
    if (m_compression != Compression::None) {
        return WholeFileOnly::Compressed;
    }
    return m_coding ? m_coding->Replacing() : WholeFileOnly::No;
}

bool DecodedState::GivesBack(ByteSpan file, ByteSpan stream) const {
    // A plain file is the stream: looking at it again is enough, and copies nothing.
    if (m_compression == Compression::None) {
        // The same row claims the file again and its coding finds the edited state in it: a whole
        // look at the file would read the same entry or slot once more.
        if (m_coding && m_format != nullptr) {
            return Claiming(file, kOwnFile) == m_format &&
                   m_coding->Holds(file, m_openState, m_body, m_layout.workRam);
        }
        const auto again = Identify(file, m_compression);
        if (!again || again->name != m_name) {
            return false;
        }
        if (!m_coding) {
            return again->layout.workRam == m_layout.workRam;
        }
        return again->coding->Holds(file, m_openState, m_body, m_layout.workRam);
    }
    const auto again = Read(file, nullptr, false);
    if (!again || again->m_name != m_name ||
        !std::equal(stream.begin(), stream.end(), again->m_stream.begin(), again->m_stream.end())) {
        return false;
    }
    if (!m_coding) {
        return again->m_layout.workRam == m_layout.workRam;
    }
    return again->m_coding->Holds(again->m_stream, m_openState, m_body, m_layout.workRam);
}

Outcome<Bytes> DecodedState::Encode(Bytes* storage) const {
    // Where the stream keeps its states coded, the open one is coded back into it first, unless
    // the stream holds it as it is: coding it again need not give the emulator's bytes (Mesen's
    // compressed body).
    Bytes coded;
    ByteSpan stream = m_stream;
    if (m_coding && (!m_streamHoldsOpened || OpenStateEdited())) {
        auto encoded = m_coding->Encode(m_stream, m_openState, m_body);
        if (!encoded) {
            return Outcome<Bytes>::Refused(encoded);
        }
        coded = std::move(*encoded);
        stream = coded;
    }
    Bytes file;
    if (storage != nullptr) {
        file = std::move(*storage);
    }
    bool encoded = true;
    switch (m_compression) {
        case Compression::None:
            // A stream coded anew is the file already; a copy would cost as much as the coding.
            if (!coded.empty()) {
                file = std::move(coded);
                stream = file;
            } else {
                file.assign(stream.begin(), stream.end());
            }
            break;
        case Compression::Gzip:
            if (std::equal(stream.begin(), stream.end(), m_loadedStream.begin(),
                           m_loadedStream.end())) {
                file.assign(m_file.begin(), m_file.end());
            } else {
                encoded = EncodeGzip(m_gzipHeader, stream, file);
            }
            break;
        case Compression::Rzip: {
            const RzipOriginal original{m_file, m_loadedStream, m_chunks};
            encoded = EncodeRzip(m_chunkSize, stream, file, &original);
            break;
        }
    }
    if (!encoded) {
        return Outcome<Bytes>::Refused("there was not enough memory to compress it");
    }
    if (!GivesBack(file, stream)) {
        return Outcome<Bytes>::Refused("written again, it did not give back the edited state");
    }
    return file;
}

std::string KnownStatesInWords() {
    std::string words;
    for (const FileLayout& layout : kFileLayouts) {
        words += (words.empty() ? "" : ", ") + std::string(layout.writtenBy) + " (" +
                 std::to_string(layout.size) + " bytes)";
    }
    std::vector<std::string> cores;
    for (const StateFormat& format : StateFormats()) {
        if (format.ownFileWords != nullptr) {
            words += std::string("; of ") + format.ownFileWords;
        }
        // A row may speak of several cores: "bsnes 115, bsnes-mercury 094".
        for (std::string_view rest = format.coreWords != nullptr ? format.coreWords : "";
             !rest.empty();) {
            const std::size_t comma = rest.find(", ");
            cores.emplace_back(rest.substr(0, comma));
            rest = comma == std::string_view::npos ? "" : rest.substr(comma + 2);
        }
    }
    std::string retroArch;
    for (std::size_t i = 0; i < cores.size(); ++i) {
        retroArch += (i == 0 ? "" : i + 1 == cores.size() ? " and " : ", ") + cores[i];
    }
    return words + "; and of RetroArch with its " + retroArch + " cores, compressed or not";
}

}  // namespace orvane
