// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One party member's tab: portrait, name, face, level and experience, hit and magic points, the
// seven statistics and the four equipment slots of the member's record.

#include <array>

#include "state_page.h"

class QComboBox;
class QLineEdit;

namespace orvane {

class CharacterPage : public StatePage {
    Q_OBJECT

public:
    CharacterPage(StateDocument& document, Messages& messages, const QString& caption,
                  CharacterId character, int portraitId);

    CharacterId Character() const { return m_character; }
    bool ReadControls() override;
    void WriteBack() override;

protected:
    void Fill() override;
    void ExchangeToControls() override;

private:
    static constexpr int kNumberCount = kStatExperienceToNext + 1;  // held by CharacterStat
    static constexpr int kSlotCount = 4;  // armor, helmet, weapon, accessory

    CharacterId m_character;
    int m_portraitId;

    std::array<std::uint32_t, kNumberCount> m_numbers{};
    QString m_name;
    QString m_nameAsRead;
    int m_face;
    std::array<int, kSlotCount> m_slots{};

    QLineEdit* m_nameEdit;
    QComboBox* m_faceList;
    std::array<NumericEdit*, kNumberCount> m_numberEdits{};
    std::array<QComboBox*, kSlotCount> m_slotLists{};
};

}  // namespace orvane
