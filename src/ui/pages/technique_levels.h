// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the technique pages share: level lists whose index is the level, the checked decoding
// and encoding between a held list index and a technique byte, and each member's pictures.

#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "field_map.h"

class QComboBox;

namespace orvane {

class Messages;

// Appends "0 - noneText" and "n - name" for the names, level 1 first.
void AddLevelEntries(QComboBox* list, const QString& noneText,
                     std::span<const std::string_view> names);

// The list index of a decoded byte; an illegal byte warns with illegalText and gives 0.
int HeldLevel(std::optional<int> decoded, Messages& messages, const QString& illegalText);

// The byte for a held index from 0 to maxLevel; any other index warns and gives 0x00.
std::uint8_t LevelByte(int index, int maxLevel, Messages& messages);

QString MemberName(CharacterId member);

// The member's small picture id (123 to 129) and portrait id (103 to 109).
int SmallPictureId(CharacterId member);
int PortraitId(CharacterId member);

}  // namespace orvane
