// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Items tab: the 243 inventory slots as list lines, edited by adding and removing amounts of
// items chosen by name, clearing and reordering; the lines are the page's only copy.

#include "state_page.h"

class QPushButton;

namespace orvane {

class InventoryListBox;

class ItemsPage : public StatePage {
    Q_OBJECT

public:
    ItemsPage(StateDocument& document, Messages& messages);
    // The tab caption, known before the page is built.
    static QString Title() { return tr("Items"); }

    void Reset() override;
    bool ReadControls() override { return true; }
    void WriteBack() override;

    InventoryListBox* List() const { return m_list; }
    QComboBox* ItemBox() const { return m_itemBox; }
    NumericEdit* AmountEdit() const { return m_amountEdit; }
    QPushButton* AddAmountButton() const { return m_addAmount; }
    QPushButton* RemoveAmountButton() const { return m_removeAmount; }
    QPushButton* RemoveItemButton() const { return m_removeItem; }
    QPushButton* ClearAllButton() const { return m_clearAll; }
    QPushButton* MoveUpButton() const { return m_moveUp; }
    QPushButton* MoveDownButton() const { return m_moveDown; }

protected:
    void Fill() override;
    void ExchangeToControls() override {}

private:
    QPushButton* AddButton(const QString& caption, const UnitRect& rect);
    void FillItemBox();
    void AddAmount();
    void RemoveAmount();
    void RemoveItem();
    void ClearAll();
    void UpdateAmountButtons();
    void UpdateMoveButtons();

    NumericEdit* m_amountEdit;
    QPushButton* m_moveUp;
    QPushButton* m_moveDown;
    QPushButton* m_addAmount;
    QPushButton* m_removeAmount;
    QPushButton* m_removeItem;
    QPushButton* m_clearAll;
    InventoryListBox* m_list;
    QComboBox* m_itemBox;
};

// "Courier New" 10 points where installed, else the system's fixed font at that size.
QFont InventoryListFont();

}  // namespace orvane
