// SPDX-License-Identifier: GPL-3.0-or-later
#include "tech_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>

#include "artwork.h"
#include "technique_levels.h"
#include "technique_tables.h"

namespace orvane {

namespace {

struct TechRow {
    CharacterId member;
    int x;  // the portrait's
    int y;
    int labelX;
    int editX;
    int listX;
    bool digitsOnly;
};

// In member order, which is also the order of exchange and write-back.
constexpr std::array<TechRow, TechPage::kRows> kTechRows{{
    {kCrono, 10, 15, 45, 88, 46, true},
    {kMarle, 10, 50, 45, 88, 46, true},
    {kLucca, 10, 85, 45, 88, 46, true},
    {kRobo, 10, 120, 45, 88, 46, true},
    {kFrog, 125, 15, 161, 203, 161, true},
    {kAyla, 125, 50, 161, 203, 161, false},
    {kMagus, 125, 85, 161, 203, 161, false},
}};

constexpr bool RowsFollowTechTable() {
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        if (kTechRows[i].member != kSingleTechs[i].member) {
            return false;
        }
    }
    return true;
}
static_assert(RowsFollowTechTable());

constexpr int kTechLeftLimit = 4;
constexpr std::int32_t kMaxTechLeft = 9999;
constexpr int kLevelListDropped = 90;

std::optional<std::int32_t> ParseSigned(const QString& text) {
    static const QRegularExpression kInteger(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    if (!kInteger.match(text).hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<std::int32_t>(value) : std::nullopt;
}

}  // namespace

TechPage::TechPage(StateDocument& document, Messages& messages)
    : StatePage(document, messages, Title()) {
    const QString group = tr("Single Tech");
    AddGroup(group, {5, 5, 230, 155});
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        const TechRow& row = kTechRows[i];
        // Only the portrait tells whose row it is; the names say it in words.
        const QString member = MemberName(row.member);
        AddPicture(Portrait(PortraitId(row.member)), {row.x, row.y, 33, 30});
        const QString label = tr("Tech Left:");
        AddLabel(label, {row.labelX, row.y + 1, 40, 8});

        NumericEdit* edit = AddNumericEdit({row.editX, row.y, 27, 11}, kTechLeftLimit);
        if (!row.digitsOnly) {
            // Ayla's and Magus's edits were never limited to digits, and a user may have come
            // to rely on typing a sign there; the exchange refuses what is not a number anyway.
            edit->setValidator(nullptr);
        }
        edit->setObjectName(QStringLiteral("techLeft") + member);
        NameAfterLabel(edit, label, member);
        m_techLeftEdits[i] = edit;

        QComboBox* list = AddDropList(row.listX, row.y + 15, 69, kLevelListDropped);
        list->setObjectName(QStringLiteral("singleTech") + member);
        NameAfterLabel(list, group, member);
        AddLevelEntries(list, tr("No Tech"), kSingleTechs[i].names);
        m_levelLists[i] = list;
    }
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        SetTabChain({m_techLeftEdits[i], m_levelLists[i]});
        if (i + 1 < kTechRows.size()) {
            SetTabChain({m_levelLists[i], m_techLeftEdits[i + 1]});
        }
    }
}

void TechPage::Fill() {
    const StateDocument& document = Document();
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        m_techLeft[i] =
            static_cast<std::int32_t>(document.GetStat(kTechRows[i].member, kStatTechLeft));
    }
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        m_levels[i] = HeldLevel(DecodeTechLevel(document.GetTechLevel(kTechRows[i].member)),
                                Message(), tr("Illegal Tech Level Value!"));
    }
}

void TechPage::ExchangeToControls() {
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        if (m_techLeft[i] >= 0) {
            m_techLeftEdits[i]->SetValue(static_cast<std::uint32_t>(m_techLeft[i]));
        } else {
            m_techLeftEdits[i]->setText(QString::number(m_techLeft[i]));
        }
        m_levelLists[i]->setCurrentIndex(m_levels[i]);
    }
}

bool TechPage::ReadControls() {
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        const std::optional<std::int32_t> value = ParseSigned(m_techLeftEdits[i]->text());
        if (!value) {
            return Refuse(
                m_techLeftEdits[i],
                tr("%1's Tech Left must be a whole number.").arg(MemberName(kTechRows[i].member)));
        }
        m_techLeft[i] = *value;
    }
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        m_levels[i] = m_levelLists[i]->currentIndex();
    }
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        if (m_techLeft[i] < 0 || m_techLeft[i] > kMaxTechLeft) {
            return Refuse(m_techLeftEdits[i], tr("%1's Tech Left must lie between 0 and %2.")
                                                  .arg(MemberName(kTechRows[i].member))
                                                  .arg(kMaxTechLeft));
        }
    }
    return true;
}

void TechPage::WriteBack() {
    StateDocument& document = Document();
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        document.SetStat(kTechRows[i].member, kStatTechLeft,
                         static_cast<std::uint32_t>(m_techLeft[i]));
    }
    for (std::size_t i = 0; i < kTechRows.size(); ++i) {
        document.SetTechLevel(kTechRows[i].member,
                              LevelByte(m_levels[i], kSingleTechLevels, Message()));
    }
}

}  // namespace orvane
