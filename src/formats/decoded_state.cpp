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

Outcome<DecodedState> DecodedState::Decode(ByteSpan file) {
    auto state = Unpack(file);
    if (state && state->m_compression != Compression::None) {
        state->m_file.assign(file.begin(), file.end());
        state->m_loadedStream = state->m_stream;
    }
    return state;
}

Outcome<DecodedState> DecodedState::Unpack(ByteSpan file) {
    using Result = Outcome<DecodedState>;
    DecodedState state;
    Outcome<StreamLayout> layout = Outcome<StreamLayout>::Refused("");
    bool wrapped = true;
    if (IsGzip(file)) {
        auto member = DecodeGzip(file);
        if (!member) {
            return Result::Refused(member);
        }
        state.m_compression = Compression::Gzip;
        state.m_gzipHeader = std::move(member->header);
        state.m_stream = std::move(member->stream);
        if (IsSnes9xStream(state.m_stream)) {
            layout = ParseSnes9xStream(state.m_stream);
            state.m_writer = Emulator::Snes9x;
        } else if (IsMednafenState(state.m_stream)) {
            layout = ParseMednafenState(state.m_stream);
            state.m_writer = Emulator::Mednafen;
        } else {
            return Result::Refused(
                "it is a gzip-compressed file that holds no snes9x or mednafen state");
        }
    } else if (IsRzip(file)) {
        auto rzip = DecodeRzip(file);
        if (!rzip) {
            return Result::Refused(rzip);
        }
        state.m_compression = Compression::Rzip;
        state.m_chunkSize = rzip->chunkSize;
        state.m_chunks = std::move(rzip->chunks);
        state.m_stream = std::move(rzip->stream);
        layout = ParseRetroArch(state.m_stream, wrapped, "a compressed RetroArch state");
        state.m_writer = Emulator::RetroArch;
    } else {
        state.m_stream.assign(file.begin(), file.end());
        if (IsRaState(file) || IsBsnesImage(file)) {
            layout = ParseRetroArch(file, wrapped, "a RetroArch state");
            state.m_writer = Emulator::RetroArch;
        } else if (IsSnes9xStream(file)) {
            layout = ParseSnes9xStream(file);
            state.m_writer = Emulator::Snes9x;
        } else if (IsMednafenState(file)) {
            layout = ParseMednafenState(file);
            state.m_writer = Emulator::Mednafen;
        } else {
            layout = ParseZsnesState(file);
            state.m_writer = Emulator::Zsnes;
        }
    }
    if (!layout) {
        return Result::Refused(layout);
    }
    state.m_layout = std::move(*layout);

    const StreamLayout& found = state.m_layout;
    switch (state.m_writer) {
        case Emulator::Zsnes:
            state.m_name = "state of " + found.writer;
            break;
        case Emulator::Snes9x:
            state.m_name = found.writer + " state, " + found.detail;
            break;
        case Emulator::RetroArch:
            state.m_name = "RetroArch state, " + Core(found);
            if (!wrapped) {
                state.m_name += ", core data only";
            }
            break;
        case Emulator::Mednafen:
            state.m_name = found.writer + " state, " + found.detail;
            break;
    }
    if (state.m_compression != Compression::None) {
        state.m_name += ", compressed";
    }
    return state;
}

ByteSpan DecodedState::BatteryRam() const {
    if (!m_layout.batteryRam) {
        return {};
    }
    return ByteSpan(m_stream).subspan(*m_layout.batteryRam, kBatteryRamSize);
}

Outcome<Bytes> DecodedState::Encode() const {
    Bytes file;
    bool encoded = true;
    switch (m_compression) {
        case Compression::None:
            file = m_stream;
            break;
        case Compression::Gzip:
            if (m_stream == m_loadedStream) {
                file = m_file;
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
    const auto again = Unpack(file);
    if (!again || again->m_stream != m_stream || again->m_layout.workRam != m_layout.workRam ||
        again->m_name != m_name) {
        return Outcome<Bytes>::Refused("compressed again, it did not give back the edited state");
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
