// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which catalogue items the inventory editor offers by name: all but "<empty>" and the five
// fists, which it keeps when a file holds them but does not hand out.

#include <array>

#include "item_catalog.h"

namespace orvane {

struct ItemIdRange {
    ItemId first;
    ItemId last;  // inclusive
};

// Ascending; the gaps are IDs the catalogue does not hold and the fists 0x44 to 0x48.
inline constexpr std::array<ItemIdRange, 9> kOfferedItemRanges{{
    {0x01, 0x1A},
    {0x1F, 0x29},
    {0x2E, 0x39},
    {0x3B, 0x43},
    {0x4B, 0x55},
    {0x5B, 0x7A},
    {0x7C, 0x93},
    {0x95, 0xBB},
    {0xBD, 0xE7},
}};

}  // namespace orvane
