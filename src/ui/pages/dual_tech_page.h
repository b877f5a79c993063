// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Dual Tech tab: how many of each pair's three dual techniques are learned, for the fifteen
// pairs of the six members who have them.

#include <array>

#include "state_page.h"
#include "technique_tables.h"

namespace orvane {

inline constexpr QSize kDualTechPageUnits{242, 166};

class DualTechPage : public StatePage {
    Q_OBJECT

public:
    DualTechPage(StateDocument& document, Messages& messages);
    // The tab caption, known before the page is built.
    static QString Title() { return tr("Dual Tech"); }

    bool ReadControls() override;
    void WriteBack() override;

    // In the order of the pairs' bytes.
    QComboBox* LevelList(std::size_t pair) const { return m_lists.at(pair); }

protected:
    void Fill() override;
    void ExchangeToControls() override;

private:
    std::array<int, kDualTechCount> m_levels{};
    std::array<QComboBox*, kDualTechCount> m_lists{};
};

}  // namespace orvane
