// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first tab: which file is open, and the general values gold, silver points, number of saves
// and play time.

#include "state_page.h"

class QLabel;

namespace orvane {

class MainPage : public StatePage {
    Q_OBJECT

public:
    MainPage(StateDocument& document, Messages& messages);
    // The tab caption, known before the page is built.
    static QString Title() { return tr("Main"); }

    bool ReadControls() override;
    void WriteBack() override;

protected:
    void Fill() override;
    void ExchangeToControls() override;

private:
    QString m_path;
    std::uint32_t m_gold = 0;
    std::uint32_t m_silverPoints = 0;
    std::uint32_t m_saves = 0;
    std::uint32_t m_hourTens = 0;
    std::uint32_t m_hourUnits = 0;
    std::uint32_t m_minuteTens = 0;
    std::uint32_t m_minuteUnits = 0;

    QLabel* m_banner;
    NumericEdit* m_goldEdit;
    NumericEdit* m_silverPointsEdit;
    NumericEdit* m_savesEdit;
    NumericEdit* m_hourTensEdit;
    NumericEdit* m_hourUnitsEdit;
    NumericEdit* m_minuteTensEdit;
    NumericEdit* m_minuteUnitsEdit;
};

}  // namespace orvane
