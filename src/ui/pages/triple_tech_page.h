// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Triple Tech tab: which of the nine triple techniques are learned.

#include <array>

#include "state_page.h"
#include "technique_tables.h"

class QCheckBox;

namespace orvane {

inline constexpr QSize kTripleTechPageUnits{239, 166};

class TripleTechPage : public StatePage {
    Q_OBJECT

public:
    TripleTechPage(StateDocument& document, Messages& messages);
    // The tab caption, known before the page is built.
    static QString Title() { return tr("Triple Tech"); }

    bool ReadControls() override;
    void WriteBack() override;

    // In the order of the techniques' bytes.
    QCheckBox* LearnedBox(std::size_t tech) const { return m_boxes.at(tech); }

protected:
    void Fill() override;
    void ExchangeToControls() override;

private:
    std::array<bool, kTripleTechCount> m_learned{};
    std::array<QCheckBox*, kTripleTechCount> m_boxes{};
};

}  // namespace orvane
