// SPDX-License-Identifier: GPL-3.0-or-later
#include "character_page.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <span>

#include "artwork.h"

namespace orvane {

namespace {

constexpr Qt::Alignment kRightLabel = Qt::AlignRight | Qt::AlignTop;
constexpr int kLabelHeight = 10;
constexpr int kFaceCount = static_cast<int>(kPartyMembers.size());

struct NumberControl {
    CharacterStat stat;
    const char* objectName;
    const char* label;  // also names the field in refusals
    int textLimit;
    UnitRect edit;
};

// The level and experience edits of the Character group.
constexpr NumberControl kProgressControls[] = {
    {kStatLevel, "level", "Level:", 2, {103, 41, 16, 12}},
    {kStatExperience, "experience", "Experience:", 7, {103, 54, 38, 12}},
    {kStatExperienceToNext,
     "experienceToNext",
     "Experience Until Next Level:",
     7,
     {103, 67, 38, 12}},
};

// The Statistics group, top to bottom.
constexpr NumberControl kStatisticControls[] = {
    {kStatCurrentHp, "currentHp", "Current HP:", 3, {211, 15, 17, 12}},
    {kStatMaxHp, "maxHp", "Max HP:", 3, {211, 28, 17, 12}},
    {kStatCurrentMp, "currentMp", "Current MP:", 2, {211, 41, 17, 12}},
    {kStatMaxMp, "maxMp", "Max MP:", 2, {211, 54, 17, 12}},
    {kStatPower, "power", "Power:", 2, {211, 67, 17, 12}},
    {kStatStamina, "stamina", "Stamina:", 2, {211, 80, 17, 12}},
    {kStatSpeed, "speed", "Speed:", 2, {211, 93, 17, 12}},
    {kStatMagic, "magic", "Magic:", 2, {211, 106, 17, 12}},
    {kStatHit, "hit", "Hit:", 2, {211, 119, 17, 12}},
    {kStatEvade, "evade", "Evade:", 2, {211, 132, 17, 12}},
    {kStatMagicDefence, "magicDefence", "Magic Defence:", 2, {211, 145, 17, 12}},
};

// The order in which the numbers are read from the record and written back; face comes first.
// Reads and writes have no visible order, so this one need not match the others below.
constexpr CharacterStat kRecordOrder[] = {
    kStatMaxHp,        kStatMaxMp,
    kStatCurrentHp,    kStatCurrentMp,
    kStatPower,        kStatStamina,
    kStatSpeed,        kStatMagic,
    kStatHit,          kStatEvade,
    kStatMagicDefence, kStatLevel,
    kStatExperience,   kStatExperienceToNext,
};

// The order in which the edits are taken from the controls: of several edits that are not whole
// numbers, the first in this order is the one named, so it is kept as it is, odd as it looks.
constexpr CharacterStat kExchangeOrder[] = {
    kStatMaxHp,        kStatCurrentHp,
    kStatMaxMp,        kStatCurrentMp,
    kStatPower,        kStatStamina,
    kStatSpeed,        kStatMagic,
    kStatHit,          kStatEvade,
    kStatMagicDefence, kStatExperience,
    kStatLevel,        kStatExperienceToNext,
};

// Range checks come after every edit was taken, in this order, which again decides which of
// several values out of range is named.
struct RangeCheck {
    CharacterStat stat;
    std::uint32_t high;
};

constexpr RangeCheck kRangeChecks[] = {
    {kStatMaxHp, 999}, {kStatCurrentHp, 999}, {kStatMaxMp, 99},        {kStatCurrentMp, 99},
    {kStatPower, 99},  {kStatStamina, 99},    {kStatSpeed, 99},        {kStatMagic, 99},
    {kStatHit, 99},    {kStatEvade, 99},      {kStatMagicDefence, 99},
};

struct SlotControl {
    EquipmentSlot slot;
    CharacterStat stat;
    const char* objectName;
    const char* label;
    int labelY;
    int listY;
    int droppedHeight;
};

// Armor, helmet, weapon, accessory: the order of filling, locating and writing back.
constexpr SlotControl kSlotControls[] = {
    {EquipmentSlot::Armor, kStatArmor, "armor", "Armor:", 100, 98, 61},
    {EquipmentSlot::Helmet, kStatHelmet, "helmet", "Helmet:", 113, 111, 64},
    {EquipmentSlot::Weapon, kStatWeapon, "weapon", "Weapon:", 126, 124, 71},
    {EquipmentSlot::Accessory, kStatAccessory, "accessory", "Accessory:", 138, 137, 65},
};

// The order in which the slot positions are taken from the controls, by kSlotControls index.
constexpr int kSlotExchangeOrder[] = {1, 2, 3, 0};

// Offers the items the member may wear in the slot, through the document's fill for it.
void FillSlotList(const StateDocument& document, EquipmentSlot slot, int portraitId,
                  QComboBox* list) {
    const NameAppender append = [list](const std::string& name) {
        list->addItem(QString::fromStdString(name));
    };
    switch (slot) {
        case EquipmentSlot::Armor:
            document.FillArmorList(append, portraitId);
            break;
        case EquipmentSlot::Helmet:
            document.FillHelmetList(append, portraitId);
            break;
        case EquipmentSlot::Weapon:
            document.FillWeaponList(append, portraitId);
            break;
        case EquipmentSlot::Accessory:
            document.FillAccessoryList(append, portraitId);
            break;
    }
}

// The field a refusal names: the edit's label without its colon.
QString StatFieldName(CharacterStat stat) {
    for (std::span<const NumberControl> controls :
         {std::span<const NumberControl>(kProgressControls),
          std::span<const NumberControl>(kStatisticControls)}) {
        for (const NumberControl& control : controls) {
            if (control.stat == stat) {
                return QString::fromLatin1(control.label).chopped(1);
            }
        }
    }
    return {};
}

}  // namespace

CharacterPage::CharacterPage(StateDocument& document, Messages& messages, const QString& caption,
                             CharacterId character, int portraitId)
    : StatePage(document, messages, caption), m_character(character), m_portraitId(portraitId) {
    if (const PartyMember* member = FindPartyMember(character)) {
        m_face = member->index;
    }

    AddGroup(tr("Character"), {6, 7, 140, 76});
    AddGroup(tr("Equipment"), {5, 86, 140, 74});
    AddGroup(tr("Statistics"), {149, 7, 84, 153});
    AddPicture(Portrait(portraitId), {17, 18, 34, 31});

    AddLabel(tr("Name:"), {71, 16, 30, kLabelHeight}, kRightLabel);
    AddLabel(tr("Face:"), {71, 29, 30, kLabelHeight}, kRightLabel);
    AddLabel(tr("Level:"), {71, 42, 30, kLabelHeight}, kRightLabel);
    AddLabel(tr("Experience:"), {11, 55, 90, kLabelHeight}, kRightLabel);
    AddLabel(tr("Experience Until Next Level:"), {11, 68, 90, kLabelHeight});
    for (std::size_t i = 0; i < std::size(kStatisticControls); ++i) {
        AddLabel(tr(kStatisticControls[i].label),
                 {155, 16 + 13 * static_cast<int>(i), 53, kLabelHeight}, kRightLabel);
    }
    for (const SlotControl& slot : kSlotControls) {
        AddLabel(tr(slot.label), {12, slot.labelY, 41, kLabelHeight}, kRightLabel);
    }

    m_nameEdit = AddTextEdit({103, 15, 38, 12}, 5);
    m_nameEdit->setObjectName(QStringLiteral("name"));
    NameAfterLabel(m_nameEdit, tr("Name:"));
    m_faceList = AddDropList(103, 28, 38, 45);
    m_faceList->setObjectName(QStringLiteral("face"));
    NameAfterLabel(m_faceList, tr("Face:"));
    for (const PartyMember& member : kPartyMembers) {
        m_faceList->addItem(
            QString::fromUtf8(member.name.data(), static_cast<qsizetype>(member.name.size())));
    }
    const auto addNumbers = [this](const auto& controls) {
        for (const NumberControl& control : controls) {
            NumericEdit* edit = AddNumericEdit(control.edit, control.textLimit);
            edit->setObjectName(QString::fromLatin1(control.objectName));
            NameAfterLabel(edit, tr(control.label));
            m_numberEdits[control.stat] = edit;
        }
    };
    addNumbers(kProgressControls);
    addNumbers(kStatisticControls);

    for (std::size_t i = 0; i < std::size(kSlotControls); ++i) {
        const SlotControl& slot = kSlotControls[i];
        QComboBox* list = AddDropList(55, slot.listY, 75, slot.droppedHeight);
        list->setObjectName(QString::fromLatin1(slot.objectName));
        NameAfterLabel(list, tr(slot.label));
        FillSlotList(Document(), slot.slot, portraitId, list);
        m_slotLists[i] = list;
    }

    SetTabChain({m_nameEdit,
                 m_faceList,
                 m_numberEdits[kStatLevel],
                 m_numberEdits[kStatExperience],
                 m_numberEdits[kStatExperienceToNext],
                 m_numberEdits[kStatCurrentHp],
                 m_numberEdits[kStatMaxHp],
                 m_numberEdits[kStatCurrentMp],
                 m_numberEdits[kStatMaxMp],
                 m_numberEdits[kStatPower],
                 m_numberEdits[kStatStamina],
                 m_numberEdits[kStatSpeed],
                 m_numberEdits[kStatMagic],
                 m_numberEdits[kStatHit],
                 m_numberEdits[kStatEvade],
                 m_numberEdits[kStatMagicDefence],
                 m_slotLists[0],
                 m_slotLists[1],
                 m_slotLists[2],
                 m_slotLists[3]});
    ExchangeToControls();
}

void CharacterPage::Fill() {
    const StateDocument& document = Document();
    m_face = static_cast<int>(document.GetStat(m_character, kStatFace));
    for (CharacterStat stat : kRecordOrder) {
        m_numbers[stat] = document.GetStat(m_character, stat);
    }
    m_name = QString::fromStdString(document.GetName(m_character));
    m_nameAsRead = m_name;
    for (std::size_t i = 0; i < std::size(kSlotControls); ++i) {
        const ItemId id = document.GetStat(m_character, kSlotControls[i].stat);
        const std::string* name = document.GetItemName(id);
        m_slots[i] =
            name ? m_slotLists[i]->findText(QString::fromStdString(*name), Qt::MatchFixedString)
                 : -1;
    }
}

void CharacterPage::ExchangeToControls() {
    m_nameEdit->setText(m_name);
    m_faceList->setCurrentIndex(m_face < kFaceCount ? m_face : -1);
    for (CharacterStat stat : kRecordOrder) {
        m_numberEdits[stat]->SetValue(m_numbers[stat]);
    }
    for (std::size_t i = 0; i < std::size(kSlotControls); ++i) {
        m_slotLists[i]->setCurrentIndex(m_slots[i]);
    }
}

bool CharacterPage::ReadControls() {
    static const QRegularExpression kNameLetters(QStringLiteral("^[A-Za-z ]*$"));
    const QString name = m_nameEdit->text().left(5);
    if (!kNameLetters.match(name).hasMatch()) {
        return Refuse(m_nameEdit, tr("Name may hold only the letters A to Z, a to z and spaces."));
    }
    m_name = name;

    for (CharacterStat stat : kExchangeOrder) {
        if (!ReadNumber(m_numberEdits[stat], m_numbers[stat], StatFieldName(stat))) {
            return false;
        }
    }
    m_face = m_faceList->currentIndex();
    for (int i : kSlotExchangeOrder) {
        m_slots[static_cast<std::size_t>(i)] =
            m_slotLists[static_cast<std::size_t>(i)]->currentIndex();
    }
    for (const RangeCheck& check : kRangeChecks) {
        if (!CheckRange(m_numberEdits[check.stat], m_numbers[check.stat], 0, check.high,
                        StatFieldName(check.stat))) {
            return false;
        }
    }
    return true;
}

void CharacterPage::WriteBack() {
    StateDocument& document = Document();
    // No selection keeps the stored byte: a face or item the lists cannot show is not lost.
    if (m_face >= 0 && m_face < kFaceCount) {
        document.SetStat(m_character, kStatFace, static_cast<std::uint32_t>(m_face));
    }
    for (CharacterStat stat : kRecordOrder) {
        document.SetStat(m_character, stat, m_numbers[stat]);
    }
    for (std::size_t i = 0; i < std::size(kSlotControls); ++i) {
        if (m_slots[i] >= 0) {
            const QString item = m_slotLists[i]->itemText(m_slots[i]);
            document.SetStat(m_character, kSlotControls[i].stat,
                             document.GetItemId(item.toStdString()));
        }
    }
    // An untouched name keeps its bytes, also those that read as blanks.
    if (m_name != m_nameAsRead) {
        document.SetName(m_character, m_name.toStdString());
    }
}

}  // namespace orvane
