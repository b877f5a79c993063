// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_page.h"

#include <QDir>
#include <QFile>
#include <QLabel>

namespace orvane {

namespace {
constexpr Qt::Alignment kLabelAlignment = Qt::AlignRight | Qt::AlignTop;
}

MainPage::MainPage(StateDocument& document, Messages& messages)
    : StatePage(document, messages, Title()) {
    m_path = tr("No File Loaded...");
    m_banner = AddLabel(m_path, {7, 7, 226, 18}, Qt::AlignLeft | Qt::AlignVCenter);
    m_banner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    AddControl(m_banner);

    AddGroup(tr("General"), {7, 30, 226, 63});
    QLabel* goldLabel = AddLabel(tr("&Gold:"), {58, 41, 62, 10}, kLabelAlignment);
    QLabel* silverLabel = AddLabel(tr("&Silver Points:"), {58, 53, 62, 10}, kLabelAlignment);
    QLabel* savesLabel = AddLabel(tr("&Number of Saves:"), {58, 65, 62, 10}, kLabelAlignment);
    QLabel* timeLabel = AddLabel(tr("&Time:"), {57, 77, 62, 10}, kLabelAlignment);
    AddLabel(QStringLiteral(":"), {141, 77, 8, 10}, Qt::AlignHCenter | Qt::AlignTop);

    m_goldEdit = AddNumericEdit({122, 38, 44, 12}, 7);
    m_silverPointsEdit = AddNumericEdit({122, 50, 20, 12}, 3);
    m_savesEdit = AddNumericEdit({122, 62, 20, 12}, 3);
    m_hourTensEdit = AddNumericEdit({122, 75, 9, 12}, 1, Qt::AlignHCenter);
    m_hourUnitsEdit = AddNumericEdit({132, 75, 9, 12}, 1, Qt::AlignHCenter);
    m_minuteTensEdit = AddNumericEdit({149, 75, 9, 12}, 1, Qt::AlignHCenter);
    m_minuteUnitsEdit = AddNumericEdit({159, 75, 9, 12}, 1, Qt::AlignHCenter);

    m_banner->setObjectName(QStringLiteral("banner"));
    m_goldEdit->setObjectName(QStringLiteral("gold"));
    m_silverPointsEdit->setObjectName(QStringLiteral("silverPoints"));
    m_savesEdit->setObjectName(QStringLiteral("saves"));
    m_hourTensEdit->setObjectName(QStringLiteral("hourTens"));
    m_hourUnitsEdit->setObjectName(QStringLiteral("hourUnits"));
    m_minuteTensEdit->setObjectName(QStringLiteral("minuteTens"));
    m_minuteUnitsEdit->setObjectName(QStringLiteral("minuteUnits"));

    goldLabel->setBuddy(m_goldEdit);
    silverLabel->setBuddy(m_silverPointsEdit);
    savesLabel->setBuddy(m_savesEdit);
    timeLabel->setBuddy(m_hourTensEdit);
    NameAfterLabel(m_goldEdit, goldLabel->text());
    NameAfterLabel(m_silverPointsEdit, silverLabel->text());
    NameAfterLabel(m_savesEdit, savesLabel->text());
    // "Time:" and ":" stand for all four digits; each needs its own name.
    m_hourTensEdit->setAccessibleName(tr("Hours, tens digit"));
    m_hourUnitsEdit->setAccessibleName(tr("Hours, units digit"));
    m_minuteTensEdit->setAccessibleName(tr("Minutes, tens digit"));
    m_minuteUnitsEdit->setAccessibleName(tr("Minutes, units digit"));
    SetTabChain({m_goldEdit, m_silverPointsEdit, m_savesEdit, m_hourTensEdit, m_hourUnitsEdit,
                 m_minuteTensEdit, m_minuteUnitsEdit});
}

void MainPage::Fill() {
    const StateDocument& document = Document();
    m_path = QDir::toNativeSeparators(QFile::decodeName(document.GetPath().string().c_str()));
    // A file of several states shows which one the pages edit.
    const std::vector<StoredStateSummary> states = document.StoredStates();
    if (document.OpenState() < states.size()) {
        m_path =
            tr("%1 of %2").arg(QString::fromStdString(states[document.OpenState()].title), m_path);
    }
    m_gold = document.GetGeneral(kGeneralGold);
    m_silverPoints = document.GetGeneral(kGeneralSilverPoints);
    m_saves = document.GetGeneral(kGeneralSaves);
    m_minuteUnits = document.GetGeneral(kGeneralMinuteUnits);
    m_hourUnits = document.GetGeneral(kGeneralHourUnits);
    m_minuteTens = document.GetGeneral(kGeneralMinuteTens);
    m_hourTens = document.GetGeneral(kGeneralHourTens);
}

void MainPage::ExchangeToControls() {
    m_banner->setText(m_path);
    m_goldEdit->SetValue(m_gold);
    m_silverPointsEdit->SetValue(m_silverPoints);
    m_savesEdit->SetValue(m_saves);
    m_hourTensEdit->SetValue(m_hourTens);
    m_hourUnitsEdit->SetValue(m_hourUnits);
    m_minuteTensEdit->SetValue(m_minuteTens);
    m_minuteUnitsEdit->SetValue(m_minuteUnits);
}

bool MainPage::ReadControls() {
    const QString time = tr("Time");
    return ReadNumber(m_goldEdit, m_gold, tr("Gold")) &&
           ReadNumber(m_silverPointsEdit, m_silverPoints, tr("Silver Points")) &&
           ReadNumber(m_savesEdit, m_saves, tr("Number of Saves")) &&
           ReadNumber(m_hourTensEdit, m_hourTens, time) &&
           ReadNumber(m_hourUnitsEdit, m_hourUnits, time) &&
           ReadNumber(m_minuteTensEdit, m_minuteTens, time) &&
           ReadNumber(m_minuteUnitsEdit, m_minuteUnits, time) &&
           CheckRange(m_silverPointsEdit, m_silverPoints, 0, 255, tr("Silver Points"));
}

void MainPage::WriteBack() {
    StateDocument& document = Document();
    document.SetGeneral(kGeneralGold, m_gold);
    document.SetGeneral(kGeneralSilverPoints, m_silverPoints);
    document.SetGeneral(kGeneralSaves, m_saves);
    document.SetGeneral(kGeneralMinuteUnits, m_minuteUnits);
    document.SetGeneral(kGeneralMinuteTens, m_minuteTens);
    document.SetGeneral(kGeneralHourUnits, m_hourUnits);
    document.SetGeneral(kGeneralHourTens, m_hourTens);
}

}  // namespace orvane
