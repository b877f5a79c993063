// SPDX-License-Identifier: GPL-3.0-or-later
// The table of formats.

#include <array>

#include "battery_save.h"
#include "bsnes_bsz.h"
#include "bsnes_state.h"
#include "mednafen_state.h"
#include "mesen_state.h"
#include "snes9x2005_state.h"
#include "snes9x_state.h"
#include "state_format.h"
#include "zsnes_state.h"

namespace orvane {

namespace {

// A format whose work RAM lies in its data as plain bytes.
template <Outcome<StreamLayout> (*Parse)(ByteSpan)>
Outcome<FormatFound> InData(ByteSpan data) {
    auto layout = Parse(data);
    if (!layout) {
        return Outcome<FormatFound>::Refused(layout);
    }
    return FormatFound{std::move(*layout), nullptr};
}

bool Anything(ByteSpan) {
    return true;
}

// "snes9x state, format 12".
std::string WriterState(const StreamLayout& layout) {
    return layout.writer + " state, " + layout.detail;
}

std::string StateOf(const StreamLayout& layout) {
    return "state of " + layout.writer;
}

std::string Writer(const StreamLayout& layout) {
    return layout.writer;
}

// "bsnes 115 states (.bsz)".
std::string BszStates(const StreamLayout& layout) {
    return layout.writer + " states (.bsz)";
}

std::string NoOwnFile(const StreamLayout&) {
    return {};
}

constexpr std::array<StateFormat, 10> kFormats{{
    {"snes9x", Emulator::Snes9x, kOwnFile | kGzipped | kRetroArchCore, IsSnes9xStream,
     InData<ParseSnes9xStream>, WriterState, "snes9x (state formats 7 to 12)",
     "snes9x, snes9x2010"},
    // Measured in RetroArch's snes9x2002 core only.
    {"snes9x2002", Emulator::RetroArch, kRetroArchCore, IsOldSnes9xStream,
     InData<ParseSnes9xStream>, NoOwnFile, nullptr, "snes9x2002"},
    {"bsnes", Emulator::RetroArch, kRetroArchCore, IsBsnesImage, InData<ParseBsnesImage>, NoOwnFile,
     nullptr, "bsnes 115, bsnes-mercury 094"},
    {"mednafen", Emulator::Mednafen, kOwnFile | kGzipped, IsMednafenState,
     InData<ParseMednafenState>, WriterState, "mednafen's snes and snes_faust modules", nullptr},
    {"mesen-s", Emulator::RetroArch, kRetroArchCore, IsMesenSState, ReadMesenSState, NoOwnFile,
     nullptr, "Mesen-S"},
    {"mesen2", Emulator::Mesen, kOwnFile, IsMesen2State, ReadMesen2State, WriterState,
     "Mesen2 (up to 2.1.1)", nullptr},
    // Before the battery save, which takes any file of its size.
    {"bsz", Emulator::Bsnes, kOwnFile, IsZipFile, ReadBsz, BszStates, "bsnes 115 (its .bsz files)",
     nullptr},
    // Known by its size alone, so after every format with a signature.
    {"snes9x2005", Emulator::RetroArch, kRetroArchCore, IsSnes9x2005Data,
     InData<ParseSnes9x2005Data>, NoOwnFile, nullptr, "snes9x2005, snes9x2005 plus"},
    // The game's own, which the programs' messages name apart from the emulators' states.
    {"battery", Emulator::BatterySave, kOwnFile, IsBatterySaveSize, ReadBatterySave, Writer,
     nullptr, nullptr},
    // Its layouts are listed with their sizes.
    {"zsnes", Emulator::Zsnes, kOwnFile, Anything, InData<ParseZsnesState>, StateOf, nullptr,
     nullptr},
}};

}  // namespace

std::span<const StateFormat> StateFormats() {
    return kFormats;
}

}  // namespace orvane
