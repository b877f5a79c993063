// SPDX-License-Identifier: GPL-3.0-or-later
#include "triple_tech_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

#include "artwork.h"
#include "technique_levels.h"

namespace orvane {

namespace {

struct TripleGroup {
    int column;  // 0 to 2
    int row;     // 0 to 2
};

// By technique, in byte order.
constexpr std::array<TripleGroup, kTripleTechCount> kGroups{{
    {0, 0},
    {0, 1},
    {0, 2},
    {2, 2},
    {1, 0},
    {1, 1},
    {1, 2},
    {2, 0},
    {2, 1},
}};

constexpr int kColumnX[] = {5, 84, 161};
constexpr int kRowY[] = {9, 59, 110};
// Where the pictures and the check box stand inside a group, by column and by row.
constexpr int kPictureInsetX[] = {8, 7, 7};
constexpr int kPictureInsetY[] = {10, 10, 8};
constexpr int kBoxInsetX[] = {8, 7, 6};
constexpr int kBoxInsetY[] = {29, 29, 27};
constexpr int kSpacing = 20;

QString GroupCaption(const TripleTechInfo& tech) {
    QStringList names;
    for (CharacterId member : tech.members) {
        names << MemberName(member);
    }
    return names.join(u'/');
}

}  // namespace

TripleTechPage::TripleTechPage(StateDocument& document, Messages& messages)
    : StatePage(document, messages, Title(), kTripleTechPageUnits) {
    for (std::size_t i = 0; i < kTripleTechCount; ++i) {
        const TripleTechInfo& tech = kTripleTechs[i];
        const auto column = static_cast<std::size_t>(kGroups[i].column);
        const auto row = static_cast<std::size_t>(kGroups[i].row);
        const int x = kColumnX[column];
        const int y = kRowY[row];

        QGroupBox* group = AddGroup(GroupCaption(tech), {x, y, 73, 42});
        group->setAlignment(Qt::AlignHCenter);
        for (std::size_t at = 0; at < tech.members.size(); ++at) {
            QLabel* picture =
                AddPicture(SmallPortrait(SmallPictureId(tech.members[at])),
                           {x + kPictureInsetX[column] + kSpacing * static_cast<int>(at),
                            y + kPictureInsetY[row], 20, 18});
            picture->setFrameStyle(QFrame::NoFrame);
        }

        const QString name =
            QString::fromUtf8(tech.name.data(), static_cast<qsizetype>(tech.name.size()));
        auto* box = new QCheckBox(name, this);
        box->setObjectName(QStringLiteral("triple") + QString(name).remove(u' '));
        // Named by its technique like any check box; the group's caption says who learns it.
        box->setAccessibleDescription(tr("%1, %2 and %3")
                                          .arg(MemberName(tech.members[0]),
                                               MemberName(tech.members[1]),
                                               MemberName(tech.members[2])));
        Place(box, {x + kBoxInsetX[column], y + kBoxInsetY[row], 51, 11});
        AddControl(box);
        m_boxes[i] = box;
    }
    for (std::size_t i = 0; i + 1 < kTripleTechCount; ++i) {
        SetTabChain({m_boxes[i], m_boxes[i + 1]});
    }
}

void TripleTechPage::Fill() {
    const StateDocument& document = Document();
    for (std::size_t i = 0; i < kTripleTechCount; ++i) {
        m_learned[i] = document.GetComboTech(kTripleTechs[i].key) == kTripleTechLearned;
    }
}

void TripleTechPage::ExchangeToControls() {
    for (std::size_t i = 0; i < kTripleTechCount; ++i) {
        m_boxes[i]->setChecked(m_learned[i]);
    }
}

bool TripleTechPage::ReadControls() {
    for (std::size_t i = 0; i < kTripleTechCount; ++i) {
        m_learned[i] = m_boxes[i]->isChecked();
    }
    return true;
}

void TripleTechPage::WriteBack() {
    StateDocument& document = Document();
    for (std::size_t i = 0; i < kTripleTechCount; ++i) {
        document.SetComboTech(kTripleTechs[i].key, m_learned[i] ? kTripleTechLearned : 0x00);
    }
}

}  // namespace orvane
