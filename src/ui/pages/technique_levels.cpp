#include "technique_levels.h"

#include <QComboBox>

#include "equipment_lists.h"
#include "messages.h"

namespace orvane {

namespace {

struct MemberPictures {
    CharacterId member;
    int portrait;
    int small;
};

constexpr MemberPictures kMemberPictures[] = {
    {kCrono, portrait::kCrono, 124}, {kMarle, portrait::kMarle, 128},
    {kLucca, portrait::kLucca, 126}, {kRobo, portrait::kRobo, 129},
    {kFrog, portrait::kFrog, 125},   {kAyla, portrait::kAyla, 123},
    {kMagus, portrait::kMagus, 127},
};

const MemberPictures* FindPictures(CharacterId member) {
    for (const MemberPictures& pictures : kMemberPictures) {
        if (pictures.member == member) {
            return &pictures;
        }
    }
    return nullptr;
}

}  // namespace

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
    const MemberInfo* info = FindMember(member);
    return info ? QString::fromLatin1(info->name.data(), static_cast<qsizetype>(info->name.size()))
                : QString();
}

int SmallPictureId(CharacterId member) {
    const MemberPictures* pictures = FindPictures(member);
    return pictures ? pictures->small : 0;
}

int PortraitId(CharacterId member) {
    const MemberPictures* pictures = FindPictures(member);
    return pictures ? pictures->portrait : 0;
}

}  // namespace orvane
