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

// What RetroArch holds, with or without its wrapper: the snes9x core's stream or a bsnes image.
Outcome<StreamLayout> ParseRetroArchCore(ByteSpan core, const char* whatItIs) {
    if (IsSnes9xStream(core)) {
        return ParseSnes9xStream(core);
    }
    if (IsBsnesImage(core)) {
        return ParseBsnesImage(core);
    }
    return Outcome<StreamLayout>::Refused(std::string("it is ") + whatItIs +
                                          " of a core that this program does not know");
}

Outcome<StreamLayout> ParseRetroArch(ByteSpan stream, bool& wrapped, const char* whatItIs) {
    wrapped = IsRaState(stream);
    if (!wrapped) {
        return ParseRetroArchCore(stream, whatItIs);
    }
    const auto memory = FindRaStateMemory(stream);
    if (!memory) {
        return Outcome<StreamLayout>::Refused(memory);
    }
    const auto core = ParseRetroArchCore(stream.subspan(memory->at, memory->length), whatItIs);
    return core ? core->MovedBy(memory->at) : core;
}

// "snes9x core (format 12)", "bsnes 115 core".
std::string Core(const StreamLayout& layout) {
    const std::string core = layout.writer + " core";
    return layout.detail.empty() ? core : core + " (" + layout.detail + ")";
}

}  // namespace

// What a decoded stream is: where its work RAM lies, who wrote it, its name. The stream is only
// read, so a plain file is looked at where it lies.
Outcome<DecodedState::Identity> DecodedState::Identify(ByteSpan stream, Compression compression) {
    Outcome<StreamLayout> layout = Outcome<StreamLayout>::Refused("");
    Identity found;
    bool wrapped = true;
    // RZIP is RetroArch's alone; gzip snes9x's and mednafen's; plain files anyone's.
    if (compression == Compression::Rzip ||
        (compression == Compression::None && (IsRaState(stream) || IsBsnesImage(stream)))) {
        const bool compressed = compression == Compression::Rzip;
        layout = ParseRetroArch(stream, wrapped,
                                compressed ? "a compressed RetroArch state" : "a RetroArch state");
        found.writer = Emulator::RetroArch;
    } else if (IsSnes9xStream(stream)) {
        layout = ParseSnes9xStream(stream);
        found.writer = Emulator::Snes9x;
    } else if (IsMednafenState(stream)) {
        layout = ParseMednafenState(stream);
        found.writer = Emulator::Mednafen;
    } else if (compression == Compression::Gzip) {
        return Outcome<Identity>::Refused(
            "it is a gzip-compressed file that holds no snes9x or mednafen state");
    } else {
        layout = ParseZsnesState(stream);
        found.writer = Emulator::Zsnes;
    }
    if (!layout) {
        return Outcome<Identity>::Refused(layout);
    }
    found.layout = std::move(*layout);
    switch (found.writer) {
        case Emulator::Zsnes:
            found.name = "state of " + found.layout.writer;
            break;
        case Emulator::Snes9x:
        case Emulator::Mednafen:
            found.name = found.layout.writer + " state, " + found.layout.detail;
            break;
        case Emulator::RetroArch:
            found.name = "RetroArch state, " + Core(found.layout);
            if (!wrapped) {
                found.name += ", core data only";
            }
            break;
    }
    if (compression != Compression::None) {
        found.name += ", compressed";
    }
    return found;
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
    if (compressed && keepOriginal) {
        state.m_file.assign(file.begin(), file.end());
        state.m_loadedStream = state.m_stream;
    } else if (!compressed) {
        if (storage != nullptr) {
            state.m_stream = std::move(*storage);
        }
        state.m_stream.assign(file.begin(), file.end());
    }
    return state;
}

ByteSpan DecodedState::BatteryRam() const {
    if (!m_layout.batteryRam) {
        return {};
    }
    return ByteSpan(m_stream).subspan(*m_layout.batteryRam, kBatteryRamSize);
}

Outcome<Bytes> DecodedState::Encode(Bytes* storage) const {
    Bytes file;
    if (storage != nullptr) {
        file = std::move(*storage);
    }
    bool encoded = true;
    switch (m_compression) {
        case Compression::None:
            file.assign(m_stream.begin(), m_stream.end());
            break;
        case Compression::Gzip:
            if (m_stream == m_loadedStream) {
                file.assign(m_file.begin(), m_file.end());
            } else {
                encoded = EncodeGzip(m_gzipHeader, m_stream, file);
            }
            break;
        case Compression::Rzip: {
            const RzipOriginal original{m_file, m_loadedStream, m_chunks};
            encoded = EncodeRzip(m_chunkSize, m_stream, file, &original);
            break;
        }
    }
    if (!encoded) {
        return Outcome<Bytes>::Refused("there was not enough memory to compress it");
    }
    // A plain file is the stream: looking at it again is enough, and copies nothing.
    const bool same = [&] {
        if (m_compression == Compression::None) {
            const auto again = Identify(file, m_compression);
            return again && again->layout.workRam == m_layout.workRam && again->name == m_name;
        }
        const auto again = Read(file, nullptr, false);
        return again && again->m_stream == m_stream &&
               again->m_layout.workRam == m_layout.workRam && again->m_name == m_name;
    }();
    if (!same) {
        return Outcome<Bytes>::Refused("written again, it did not give back the edited state");
    }
    return file;
}

std::string KnownStatesInWords() {
    std::string zsnes;
    for (const FileLayout& layout : kFileLayouts) {
        zsnes += (zsnes.empty() ? "" : ", ") + std::string(layout.writtenBy) + " (" +
                 std::to_string(layout.size) + " bytes)";
    }
    return zsnes +
           "; of snes9x (state formats 11 and 12); of RetroArch with its snes9x, bsnes 115 and "
           "bsnes-mercury 094 cores; and of mednafen's snes and snes_faust modules, compressed "
           "or not";
}

}  // namespace orvane
