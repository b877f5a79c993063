// SPDX-License-Identifier: GPL-3.0-or-later
#include "technique_levels.h"

#include <QComboBox>

#include "messages.h"
#include "party_members.h"

namespace orvane {

void AddLevelEntries(QComboBox* list, const QString& noneText,
                     std::span<const std::string_view> names) {
    list->addItem(QStringLiteral("0 - %1").arg(noneText));
    int level = 1;
    for (std::string_view name : names) {
        list->addItem(QStringLiteral("%1 - %2").arg(level++).arg(
            QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
    }
}

int HeldLevel(std::optional<int> decoded, Messages& messages, const QString& illegalText) {
    if (!decoded) {
        messages.Warning(illegalText);
        return 0;
    }
    return *decoded;
}

std::uint8_t LevelByte(int index, int maxLevel, Messages& messages) {
    if (index < 0 || index > maxLevel) {
        messages.Warning(QStringLiteral("Illegal ComboBox selection!"));
        return 0x00;
    }
    return EncodeTechLevel(index);
}

QString MemberName(CharacterId member) {
    const PartyMember* found = FindPartyMember(member);
    return found
               ? QString::fromLatin1(found->name.data(), static_cast<qsizetype>(found->name.size()))
               : QString();
}

int SmallPictureId(CharacterId member) {
    const PartyMember* found = FindPartyMember(member);
    return found ? found->smallPictureId : 0;
}

int PortraitId(CharacterId member) {
    const PartyMember* found = FindPartyMember(member);
    return found ? found->portraitId : 0;
}

}  // namespace orvane
