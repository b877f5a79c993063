// SPDX-License-Identifier: GPL-3.0-or-later
#include "items_page.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "inventory_list_box.h"
#include "offered_items.h"

namespace orvane {

namespace {

constexpr Qt::Alignment kLabelAlignment = Qt::AlignRight | Qt::AlignTop;
constexpr int kListFontPoints = 10;
constexpr int kAmountLimit = 2;
const QString kDefaultItem = QStringLiteral("Tonic");

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QFont InventoryListFont() {
    const QString family = QStringLiteral("Courier New");
    QFont font = QFontDatabase::hasFamily(family)
                     ? QFont(family)
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(kListFontPoints);
    font.setFixedPitch(true);
    return font;
}

ItemsPage::ItemsPage(StateDocument& document, Messages& messages)
    : StatePage(document, messages, Title()) {
    m_list = new InventoryListBox(this);
    m_list->setAccessibleName(tr("Inventory"));
    m_list->setFont(InventoryListFont());
    Place(m_list, {7, 7, 114, 152});
    AddControl(m_list);

    AddGroup(tr("Items"), {127, 7, 106, 99});
    QLabel* itemLabel = AddLabel(tr("&Item:"), {137, 18, 21, 8}, kLabelAlignment);
    m_itemBox = AddDropList(162, 16, 65, 81);
    QLabel* amountLabel = AddLabel(tr("A&mount:"), {130, 32, 29, 8}, kLabelAlignment);
    m_amountEdit = AddNumericEdit({162, 30, 23, 12}, kAmountLimit);
    m_amountEdit->clear();
    m_addAmount = AddButton(tr("&Add Amount"), {132, 47, 95, 13});
    m_removeAmount = AddButton(tr("&Remove Amount"), {132, 60, 95, 13});
    m_removeItem = AddButton(tr("Remo&ve Item"), {132, 74, 95, 13});
    m_clearAll = AddButton(tr("&Clear All"), {132, 87, 95, 13});
    AddGroup(tr("Item Move"), {128, 111, 105, 48});
    m_moveUp = AddButton(tr("Move &Up"), {132, 124, 95, 13});
    m_moveDown = AddButton(tr("Move &Down"), {132, 137, 95, 13});

    itemLabel->setBuddy(m_itemBox);
    amountLabel->setBuddy(m_amountEdit);
    NameAfterLabel(m_itemBox, itemLabel->text());
    NameAfterLabel(m_amountEdit, amountLabel->text());
    SetTabChain({m_list, m_itemBox, m_amountEdit, m_addAmount, m_removeAmount, m_removeItem,
                 m_clearAll, m_moveUp, m_moveDown});
    FillItemBox();

    connect(m_list, &QListWidget::itemSelectionChanged, this, &ItemsPage::UpdateMoveButtons);
    connect(m_amountEdit, &QLineEdit::textChanged, this, &ItemsPage::UpdateAmountButtons);
    connect(m_addAmount, &QPushButton::clicked, this, &ItemsPage::AddAmount);
    connect(m_removeAmount, &QPushButton::clicked, this, &ItemsPage::RemoveAmount);
    connect(m_removeItem, &QPushButton::clicked, this, &ItemsPage::RemoveItem);
    connect(m_clearAll, &QPushButton::clicked, this, &ItemsPage::ClearAll);
    connect(m_moveUp, &QPushButton::clicked, this, [this] { m_list->MoveSelected(-1); });
    connect(m_moveDown, &QPushButton::clicked, this, [this] { m_list->MoveSelected(+1); });
}

QPushButton* ItemsPage::AddButton(const QString& caption, const UnitRect& rect) {
    auto* button = new QPushButton(caption, this);
    button->setAutoDefault(false);
    Place(button, rect);
    AddControl(button);
    return button;
}

void ItemsPage::FillItemBox() {
    QStringList names;
    for (const ItemIdRange& range : kOfferedItemRanges) {
        for (ItemId id = range.first; id <= range.last; ++id) {
            if (const std::string* name = Document().GetItemName(id)) {
                names << ToQString(*name);
            }
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    m_itemBox->addItems(names);
    // The box would select its first name on its own; it shows nothing until the page fills.
    m_itemBox->setCurrentIndex(-1);
}

void ItemsPage::Reset() {
    if (IsLoaded()) {
        m_list->clear();
    }
    StatePage::Reset();
}

void ItemsPage::Fill() {
    m_itemBox->setCurrentIndex(m_itemBox->findText(kDefaultItem));
    m_amountEdit->setText(QStringLiteral("1"));

    StateDocument& document = Document();
    m_list->clear();
    for (int slot = 0; slot < document.GetInventorySize(); ++slot) {
        std::uint32_t amount = 0;
        std::string name;
        document.GetInventorySlot(slot, amount, name);
        if (amount != 0 && name.empty()) {
            m_list->AppendUnknownItemLine(amount, document.GetInventoryItemId(slot));
        } else {
            m_list->AppendSlotLine(amount, ToQString(name));
        }
    }
    m_list->SelectLine(0);
    UpdateMoveButtons();
    UpdateAmountButtons();
}

void ItemsPage::WriteBack() {
    StateDocument& document = Document();
    for (int slot = 0; slot < document.GetInventorySize() && slot < m_list->count(); ++slot) {
        std::uint32_t amount = 0;
        QString name;
        m_list->ReadSlotLine(slot, amount, name);
        if (const std::optional<ItemId> kept = m_list->KeptItemId(slot)) {
            document.SetInventorySlotById(slot, amount, *kept);
        } else {
            document.SetInventorySlot(slot, amount, name.toStdString());
        }
    }
}

void ItemsPage::AddAmount() {
    if (m_list->AddAmount(m_amountEdit->text(), m_itemBox->currentText()) ==
        InventoryListBox::AddResult::Full) {
        Message().Warning(tr("Inventory is full!"));
    }
    UpdateMoveButtons();
}

void ItemsPage::RemoveAmount() {
    m_list->RemoveAmount(m_amountEdit->text(), m_itemBox->currentText());
    UpdateMoveButtons();
}

void ItemsPage::RemoveItem() {
    // The Item box names the item, never the list's selected line.
    if (m_list->RemoveItem(m_itemBox->currentText())) {
        UpdateMoveButtons();
    }
}

void ItemsPage::ClearAll() {
    m_list->ClearAll();
    UpdateMoveButtons();
}

void ItemsPage::UpdateAmountButtons() {
    if (!IsLoaded()) {
        return;
    }
    const bool amount = m_amountEdit->text().left(4).toUInt() != 0;
    m_addAmount->setEnabled(amount);
    m_removeAmount->setEnabled(amount);
    m_removeItem->setEnabled(amount);
}

void ItemsPage::UpdateMoveButtons() {
    if (!IsLoaded()) {
        return;
    }
    // Without a selected line neither button has a line to move.
    const int line = m_list->SelectedLine();
    m_moveUp->setEnabled(line > 0);
    m_moveDown->setEnabled(line >= 0 && line < m_list->count() - 1);
}

}  // namespace orvane
