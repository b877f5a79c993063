// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serializer images of the bsnes cores that RetroArch runs: bsnes 115, and bsnes-mercury 094
// in its three profiles. Their fields carry no names, so work RAM lies at a fixed place that
// holds for the game's cartridge (8 KiB of battery RAM, no extra chip).

#include "byte_view.h"
#include "outcome.h"
#include "stream_layout.h"

namespace orvane {

inline bool IsBsnesImage(ByteSpan image) {
    return StartsWith(image, "BST1");
}

// bsnes 115: taken when the version text is "115.1" and the length field is the image's length.
// bsnes-mercury: taken when the serializer version is 27 and a SHA-256 in hex digits follows.
// Either must be long enough to hold work RAM.
Outcome<StreamLayout> ParseBsnesImage(ByteSpan image);

// All of an image that ParseBsnesImage reads: where the image is kept coded, its first bytes and
// its length are enough to tell whether it opens.
inline constexpr std::size_t kBsnesImageHead = 72;
Outcome<StreamLayout> ParseBsnesImageHead(ByteSpan head, std::size_t imageSize);

}  // namespace orvane
