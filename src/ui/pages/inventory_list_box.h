// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Items page's list: one text line per inventory slot, with the line operations that add,
// remove and clear amounts while keeping line i standing for slot i.

#include <QListWidget>
#include <QString>
#include <cstdint>
#include <optional>

#include "item_catalog.h"

namespace orvane {

class InventoryListBox : public QListWidget {
    Q_OBJECT

public:
    enum class AddResult { Added, Full };

    explicit InventoryListBox(QWidget* parent);

    // The amount in decimal, padded with blanks to the five characters before a name.
    static QString FormatAmountField(std::uint32_t amount);

    // The first line whose name equals name exactly, or -1.
    int FindItemLine(const QString& name) const;
    // The first "<empty>" line, or -1.
    int FirstEmptyLine() const;
    // The leading decimal digits of the line's amount field; 0 for "<empty>".
    std::uint32_t AmountAt(int line) const;
    // "<empty>" gives amount 0 and leaves name as it was.
    void ReadSlotLine(int line, std::uint32_t& amount, QString& name) const;
    // Amounts outside 1 to 99 and a missing name give "<empty>".
    void AppendSlotLine(std::uint32_t amount, const QString& name);
    // A slot whose item ID the catalogue lacks: the line names the ID, and the ID travels with
    // the line until the line is replaced.
    void AppendUnknownItemLine(std::uint32_t amount, ItemId id);
    // The ID of a line made by AppendUnknownItemLine that no operation has replaced since.
    std::optional<ItemId> KeptItemId(int line) const;

    // amountText as typed in the Amount edit. A new line keeps it as typed; a found one is capped
    // at 99.
    AddResult AddAmount(const QString& amountText, const QString& name);
    void RemoveAmount(const QString& amountText, const QString& name);
    // Replaces the item's first line with "<empty>" and selects it; false when no line holds it.
    bool RemoveItem(const QString& name);
    void ClearAll();
    // Exchanges the selected line with its neighbour (by -1 or +1); nothing without a selection
    // or at the list's edge.
    void MoveSelected(int by);

    int SelectedLine() const;
    void SelectLine(int line);

private:
    QString LineText(int line) const;
    void ReplaceLine(int line, const QString& text);
};

}  // namespace orvane
