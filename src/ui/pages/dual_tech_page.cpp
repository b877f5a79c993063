// SPDX-License-Identifier: GPL-3.0-or-later
#include "dual_tech_page.h"

#include <QComboBox>
#include <QLabel>

#include "artwork.h"
#include "technique_levels.h"

namespace orvane {

namespace {

struct PairRow {
    int x;  // the left picture's
    int y;
};

// By pair, in byte order: pairs 1 to 8 down the left column, 9 to 15 down the right.
constexpr std::array<PairRow, kDualTechCount> kPairRows{{
    {5, 5},
    {5, 25},
    {5, 45},
    {5, 65},
    {5, 85},
    {5, 105},
    {5, 125},
    {5, 145},
    {125, 5},
    {125, 25},
    {125, 45},
    {125, 65},
    {125, 85},
    {125, 105},
    {125, 125},
}};

constexpr int kSpacing = 20;
constexpr int kListWidth = 70;
constexpr int kListDropped = 60;

}  // namespace

DualTechPage::DualTechPage(StateDocument& document, Messages& messages)
    : StatePage(document, messages, Title(), kDualTechPageUnits) {
    for (std::size_t i = 0; i < kDualTechCount; ++i) {
        const PairRow& row = kPairRows[i];
        const DualTechInfo& pair = kDualTechs[i];
        for (std::size_t side = 0; side < pair.members.size(); ++side) {
            QLabel* picture =
                AddPicture(SmallPortrait(SmallPictureId(pair.members[side])),
                           {row.x + kSpacing * static_cast<int>(side), row.y, 20, 18});
            picture->setFrameStyle(QFrame::NoFrame);
        }
        QComboBox* list = AddDropList(row.x + 2 * kSpacing, row.y, kListWidth, kListDropped);
        list->setObjectName(QStringLiteral("dual") + MemberName(pair.members[0]) +
                            MemberName(pair.members[1]));
        // The pair's two portraits stand for a label.
        list->setAccessibleName(
            tr("%1 and %2").arg(MemberName(pair.members[0]), MemberName(pair.members[1])));
        AddLevelEntries(list, tr("None"), pair.names);
        m_lists[i] = list;
    }
    for (std::size_t i = 0; i + 1 < kDualTechCount; ++i) {
        SetTabChain({m_lists[i], m_lists[i + 1]});
    }
}

void DualTechPage::Fill() {
    const StateDocument& document = Document();
    for (std::size_t i = 0; i < kDualTechCount; ++i) {
        m_levels[i] = HeldLevel(DecodeDualTechLevel(document.GetComboTech(kDualTechs[i].key)),
                                Message(), tr("Illegal Dual Tech Level Value!"));
    }
}

void DualTechPage::ExchangeToControls() {
    for (std::size_t i = 0; i < kDualTechCount; ++i) {
        m_lists[i]->setCurrentIndex(m_levels[i]);
    }
}

bool DualTechPage::ReadControls() {
    for (std::size_t i = 0; i < kDualTechCount; ++i) {
        m_levels[i] = m_lists[i]->currentIndex();
    }
    return true;
}

void DualTechPage::WriteBack() {
    StateDocument& document = Document();
    for (std::size_t i = 0; i < kDualTechCount; ++i) {
        document.SetComboTech(kDualTechs[i].key,
                              LevelByte(m_levels[i], kDualTechLevels, Message()));
    }
}

}  // namespace orvane
