// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One row of the table of every format the programs open: how the format is recognised by its
// content, where its work RAM and battery RAM lie, how it is written back, and its name in words.
// Recognising a file is a walk over the table; a format is one file and one row.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "body_coding.h"
#include "byte_view.h"
#include "outcome.h"
#include "stream_layout.h"

namespace orvane {

// Whose files a format's are: the filter a file dialog starts on for them.
enum class Emulator {
    Zsnes,
    Snes9x,
    RetroArch,
    Mednafen,
    Mesen,
    Bsnes,
    BatterySave,  // no emulator's own: the game's, which every emulator and cartridge keeps
};

// What a format found in the data it was given: where work RAM lies in it, or, for a state kept
// coded in it, how to open that state.
struct FormatFound {
    StreamLayout layout;
    std::shared_ptr<const BodyCoding> body;
    // The state the body's coding opens first, where finding the format opened it already.
    std::optional<Body> opened = std::nullopt;
};

// Where a format's data is found, as flags.
enum FormatPlace : unsigned {
    kOwnFile = 1,        // an emulator's own file, not compressed
    kGzipped = 2,        // the same file compressed with gzip
    kRetroArchCore = 4,  // a RetroArch core's data: in RetroArch's wrapper, or bare, or in RZIP
};

struct StateFormat {
    std::string_view key;  // short and fixed, for tests and fuzz targets
    Emulator emulator;     // for a RetroArch core's data, RetroArch
    unsigned places;
    // Whether the data is of this format at all (its signature, its size): the first row that
    // claims data decides whether it is taken.
    bool (*claims)(ByteSpan data);
    Outcome<FormatFound> (*read)(ByteSpan data);
    // The name of an own file of the format, from what read found: "snes9x state, format 12".
    // A core's data is named by RetroArch's wrapper from the layout's writer and detail.
    std::string (*name)(const StreamLayout& layout);
    // What the programs open of it, in words for a refusal: its emulator's own files ("snes9x
    // (state formats 7 to 12)", following "of") and a RetroArch core's data ("snes9x", among
    // RetroArch's cores, several of them apart by ", "); null where it is neither.
    const char* ownFileWords;
    const char* coreWords;
};

// Every format, in the order they are tried; ZSNES's layouts, which claim any file, last.
std::span<const StateFormat> StateFormats();

}  // namespace orvane
