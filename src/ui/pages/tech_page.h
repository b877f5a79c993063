// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Tech tab: for each of the seven members, how many single techniques are learned and the
// tech points still needed for the next one.

#include <array>

#include "state_page.h"

namespace orvane {

class TechPage : public StatePage {
    Q_OBJECT

public:
    static constexpr std::size_t kRows = 7;

    TechPage(StateDocument& document, Messages& messages);
    // The tab caption, known before the page is built.
    static QString Title() { return tr("Tech"); }

    bool ReadControls() override;
    void WriteBack() override;

    NumericEdit* TechLeftEdit(std::size_t row) const { return m_techLeftEdits.at(row); }
    QComboBox* LevelList(std::size_t row) const { return m_levelLists.at(row); }

protected:
    void Fill() override;
    void ExchangeToControls() override;

private:
    std::array<std::int32_t, kRows> m_techLeft{};
    std::array<int, kRows> m_levels{};
    std::array<NumericEdit*, kRows> m_techLeftEdits{};
    std::array<QComboBox*, kRows> m_levelLists{};
};

}  // namespace orvane
