// SPDX-License-Identifier: GPL-3.0-or-later
// The two programs keep the facts they share apart on purpose, each in its own code: the file
// layouts, the name slots and the play-time digits. They must still say the same.

#include <gtest/gtest.h>

#include "field_map.h"
#include "file_layouts.h"
#include "module1.h"
#include "name_codec.h"

namespace {

TEST(TablesAgree, FileLayouts) {
    ASSERT_EQ(Module1::kStateLayouts.size(), orvane::kFileLayouts.size());
    for (std::size_t i = 0; i < orvane::kFileLayouts.size(); ++i) {
        const orvane::FileLayout& editor = orvane::kFileLayouts[i];
        const Module1::StateLayout& companion = Module1::kStateLayouts[i];
        EXPECT_EQ(static_cast<std::size_t>(companion.size), editor.size) << i;
        EXPECT_EQ(static_cast<std::size_t>(companion.workRam), editor.workRamStart) << i;
        EXPECT_EQ(companion.headerOptional, editor.headerOptional) << i;
        const orvane::StateHeader& header = orvane::kStateHeaders[editor.header];
        std::vector<std::uint8_t> bytes(header.text.begin(), header.text.end());
        bytes.insert(bytes.end(), std::begin(header.tail), std::end(header.tail));
        EXPECT_EQ(bytes,
                  std::vector<std::uint8_t>(companion.header.begin(), companion.header.end()))
            << i;
    }
    EXPECT_EQ(static_cast<std::size_t>(Module1::kFieldsWorkRam), orvane::kFieldMapWorkRamStart);
}

TEST(TablesAgree, NameSlotsAndPlayTime) {
    EXPECT_EQ(static_cast<std::size_t>(Module1::kNameLength), orvane::NameCodec::kNameLength);
    // The companion's boxes in form order: Frog's box comes before Robo's.
    const orvane::CharacterId boxes[] = {orvane::kCrono, orvane::kMarle, orvane::kLucca,
                                         orvane::kFrog,  orvane::kRobo,  orvane::kAyla,
                                         orvane::kMagus};
    for (std::size_t box = 0; box < std::size(boxes); ++box) {
        EXPECT_EQ(static_cast<std::size_t>(Module1::kNameSlots[box]),
                  orvane::FindMember(boxes[box])->nameSlot)
            << box;
    }
    const orvane::GeneralField digits[] = {orvane::kGeneralHourTens, orvane::kGeneralHourUnits,
                                           orvane::kGeneralMinuteTens, orvane::kGeneralMinuteUnits};
    for (std::size_t box = 0; box < std::size(digits); ++box) {
        const orvane::Field& field = orvane::kGeneralFields[static_cast<std::size_t>(digits[box])];
        EXPECT_EQ(static_cast<std::size_t>(Module1::kTimeOffsets[box]), field.offset) << box;
        EXPECT_EQ(field.width, 1u);
    }
}

}  // namespace
