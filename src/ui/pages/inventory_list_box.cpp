// SPDX-License-Identifier: GPL-3.0-or-later
#include "inventory_list_box.h"

#include <algorithm>

namespace orvane {

namespace {

// An empty slot's line shows the name of the catalogue's empty entry.
QString EmptyLine() {
    return QString::fromLatin1(kEmptyItemName.data(),
                               static_cast<qsizetype>(kEmptyItemName.size()));
}

constexpr int kAmountFieldWidth = 5;
constexpr std::uint32_t kMaxAmount = 99;
constexpr int kKeptIdRole = Qt::UserRole;

// The decimal value of the leading digits after leading blanks, as the game's amounts are read.
std::uint32_t LeadingNumber(QStringView text) {
    qsizetype at = 0;
    while (at < text.size() && text[at] == u' ') {
        ++at;
    }
    std::uint32_t value = 0;
    for (; at < text.size() && text[at].isDigit() && value <= 0xFFFFFFu; ++at) {
        value = value * 10 + static_cast<std::uint32_t>(text[at].digitValue());
    }
    return value;
}

QString UnknownItemName(ItemId id) {
    return InventoryListBox::tr("Unknown item 0x%1")
        .arg(QString::number(id, 16).toUpper().rightJustified(2, u'0'));
}

}  // namespace

InventoryListBox::InventoryListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUniformItemSizes(true);
}

QString InventoryListBox::FormatAmountField(std::uint32_t amount) {
    return QString::number(amount).leftJustified(kAmountFieldWidth, u' ');
}

QString InventoryListBox::LineText(int line) const {
    const QListWidgetItem* entry = item(line);
    return entry ? entry->text() : QString();
}

int InventoryListBox::FindItemLine(const QString& name) const {
    for (int line = 0; line < count(); ++line) {
        if (QStringView(LineText(line)).mid(kAmountFieldWidth) == name) {
            return line;
        }
    }
    return -1;
}

int InventoryListBox::FirstEmptyLine() const {
    for (int line = 0; line < count(); ++line) {
        if (LineText(line).startsWith(u'<')) {
            return line;
        }
    }
    return -1;
}

std::uint32_t InventoryListBox::AmountAt(int line) const {
    return LeadingNumber(QStringView(LineText(line)).left(kAmountFieldWidth));
}

void InventoryListBox::ReadSlotLine(int line, std::uint32_t& amount, QString& name) const {
    const QString text = LineText(line);
    if (text == EmptyLine()) {
        amount = 0;
        return;
    }
    amount = AmountAt(line);
    name = text.mid(kAmountFieldWidth);
}

void InventoryListBox::AppendSlotLine(std::uint32_t amount, const QString& name) {
    const bool item = amount >= 1 && amount <= kMaxAmount && !name.isEmpty();
    addItem(item ? FormatAmountField(amount) + name : EmptyLine());
}

void InventoryListBox::AppendUnknownItemLine(std::uint32_t amount, ItemId id) {
    if (amount < 1 || amount > kMaxAmount) {
        AppendSlotLine(0, {});
        return;
    }
    AppendSlotLine(amount, UnknownItemName(id));
    item(count() - 1)->setData(kKeptIdRole, static_cast<uint>(id));
}

std::optional<ItemId> InventoryListBox::KeptItemId(int line) const {
    const QListWidgetItem* entry = item(line);
    if (!entry || !entry->data(kKeptIdRole).isValid()) {
        return std::nullopt;
    }
    return static_cast<ItemId>(entry->data(kKeptIdRole).toUInt());
}

InventoryListBox::AddResult InventoryListBox::AddAmount(const QString& amountText,
                                                        const QString& name) {
    int line = FindItemLine(name);
    QString text;
    if (line >= 0) {
        const std::uint32_t total = LeadingNumber(amountText) + AmountAt(line);
        text = FormatAmountField(std::min(total, kMaxAmount)) + name;
    } else {
        line = FirstEmptyLine();
        if (line < 0) {
            return AddResult::Full;
        }
        text = amountText.leftJustified(kAmountFieldWidth, u' ') + name;
    }
    ReplaceLine(line, text);
    SelectLine(line);
    return AddResult::Added;
}

void InventoryListBox::RemoveAmount(const QString& amountText, const QString& name) {
    const int line = FindItemLine(name);
    if (line < 0) {
        return;
    }
    const auto left =
        static_cast<long long>(AmountAt(line)) - static_cast<long long>(LeadingNumber(amountText));
    ReplaceLine(
        line, left >= 1 ? FormatAmountField(static_cast<std::uint32_t>(left)) + name : EmptyLine());
    SelectLine(line);
}

bool InventoryListBox::RemoveItem(const QString& name) {
    const int line = FindItemLine(name);
    if (line < 0) {
        return false;
    }
    ReplaceLine(line, EmptyLine());
    SelectLine(line);
    return true;
}

void InventoryListBox::ClearAll() {
    for (int line = 0; line < count(); ++line) {
        if (!LineText(line).startsWith(u'<')) {
            ReplaceLine(line, EmptyLine());
        }
    }
    SelectLine(0);
}

void InventoryListBox::MoveSelected(int by) {
    const int from = SelectedLine();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= count()) {
        return;
    }
    // The whole entry moves, so a kept item ID stays with its line.
    QListWidgetItem* entry = takeItem(from);
    insertItem(to, entry);
    SelectLine(to);
}

int InventoryListBox::SelectedLine() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void InventoryListBox::SelectLine(int line) {
    setCurrentRow(line, QItemSelectionModel::ClearAndSelect);
}

void InventoryListBox::ReplaceLine(int line, const QString& text) {
    delete takeItem(line);
    insertItem(line, text);
}

}  // namespace orvane
