// SPDX-License-Identifier: GPL-3.0-or-later
// The two programs keep the facts they share apart on purpose, each in its own code: the file
// layouts, the name slots and the play-time digits. They must still say the same.

#include <gtest/gtest.h>

#include "field_map.h"
#include "file_layouts.h"
#include "module1.h"

TEST(TablesAgree, LayoutsNameSlotsAndPlayTime) {
    ASSERT_EQ(Module1::kStateLayouts.size(), orvane::kFileLayouts.size());
    for (std::size_t i = 0; i < orvane::kFileLayouts.size(); ++i) {
        const orvane::FileLayout& editor = orvane::kFileLayouts[i];
        const Module1::StateLayout& companion = Module1::kStateLayouts[i];
        const orvane::StateHeader& header = orvane::kStateHeaders[editor.header];
        std::string bytes(header.text);
        bytes.append({static_cast<char>(header.tail[0]), static_cast<char>(header.tail[1])});
        EXPECT_EQ(std::string(companion.header.begin(), companion.header.end()), bytes) << i;
        EXPECT_EQ(std::size_t(companion.size), editor.size) << i;
        EXPECT_EQ(std::size_t(companion.workRam), editor.workRamStart) << i;
        EXPECT_EQ(companion.headerOptional, editor.headerOptional) << i;
    }
    EXPECT_EQ(std::size_t(Module1::kFieldsWorkRam), orvane::kFieldMapWorkRamStart);
    // The companion's boxes in form order, Frog's before Robo's; its time boxes HH:MM.
    const orvane::CharacterId boxes[] = {orvane::kCrono, orvane::kMarle, orvane::kLucca,
                                         orvane::kFrog,  orvane::kRobo,  orvane::kAyla,
                                         orvane::kMagus};
    for (std::size_t box = 0; box < std::size(boxes); ++box) {
        EXPECT_EQ(std::size_t(Module1::kNameSlots[box]), orvane::FindMember(boxes[box])->nameSlot);
    }
    const orvane::GeneralField digits[] = {orvane::kGeneralHourTens, orvane::kGeneralHourUnits,
                                           orvane::kGeneralMinuteTens, orvane::kGeneralMinuteUnits};
    for (std::size_t box = 0; box < std::size(digits); ++box) {
        EXPECT_EQ(std::size_t(Module1::kTimeOffsets[box]),
                  orvane::kGeneralFields[std::size_t(digits[box])].offset);
    }
}
