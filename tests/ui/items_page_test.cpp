// SPDX-License-Identifier: GPL-3.0-or-later
// The Items page: one line per inventory slot, amounts kept within 1 to 99, the buttons, and the
// slot bytes a save writes.

#include <map>

#include "editor_fixtures.h"
#include "inventory_list_box.h"
#include "items_page.h"

namespace orvane::test {

namespace {

constexpr int kTonic = 0xBD, kEther = 0xC0, kElixir = 0xC3;

using Slots = std::vector<std::array<int, 3>>;  // slot, item ID, amount

// The slots' bytes: IDs from 12307, amounts from 12563. The quiet state's other slots are empty.
Patch Inventory(const Slots& held) {
    Patch bytes;
    for (const auto& [slot, id, amount] : held) {
        bytes[12307 + std::size_t(slot)] = std::uint8_t(id);
        bytes[12563 + std::size_t(slot)] = std::uint8_t(amount);
    }
    return bytes;
}

enum Act { kShow, kAdd, kRemove, kRemoveItem, kClearAll, kUp, kDown };
// The buttons' captions, which stand on the page in this order.
const char* const kActs[] = {"",           "&Add Amount", "&Remove Amount", "Remo&ve Item",
                             "&Clear All", "Move &Up",    "Move &Down"};

// From a file holding start: select a line, choose an item (Tonic when none is named), type an
// amount and press a button. The lines that change, the first being the one selected then; a
// save stores exactly what they show.
struct Case {
    Slots start;
    int select;
    const char* item;
    const char* amount;
    Act act;
    std::vector<std::pair<int, const char*>> lines;
    const char* said = nullptr;
};

const char* const kEmpty = "<empty>";
const Slots kTonics = {{0, kEther, 3}, {2, kTonic, 5}, {3, kTonic, 20}};
const Slots kKept = {{0, 0x1B, 7}, {1, 0xE8, 3}, {2, 0x44, 1}, {3, 0x48, 2}};
const Slots kFull = [] {
    Slots full;
    for (int slot = 0; slot < 243; ++slot) {
        full.push_back({slot, kEther, 1});
    }
    return full;
}();

const Case kCases[] = {
    {{{0, kTonic, 0}}, 0, "", "", kShow, {{0, kEmpty}}},
    {{{0, kTonic, 1}}, 0, "", "", kShow, {{0, "1    Tonic"}}},
    {{{0, kTonic, 12}}, 0, "", "", kShow, {{0, "12   Tonic"}}},
    {{{0, kTonic, 99}}, 0, "", "", kShow, {{0, "99   Tonic"}}},
    {{{0, kTonic, 100}}, 0, "", "", kShow, {{0, kEmpty}}},
    {{{0, kTonic, 98}}, 0, "", "1", kAdd, {{0, "99   Tonic"}}},
    {{{0, kTonic, 99}}, 0, "", "1", kAdd, {{0, "99   Tonic"}}},
    {{{0, kTonic, 50}}, 0, "", "60", kAdd, {{0, "99   Tonic"}}},
    {{{0, kTonic, 6}}, 0, "", "5", kRemove, {{0, "1    Tonic"}}},
    {{{0, kTonic, 5}}, 0, "", "5", kRemove, {{0, kEmpty}}},
    {{{0, kTonic, 3}}, 0, "", "10", kRemove, {{0, kEmpty}}},
    // Of two lines of an item the upper one changes; a new item takes the first empty line.
    {kTonics, 0, "", "2", kAdd, {{2, "7    Tonic"}}},
    {kTonics, 0, "", "7", kRemove, {{2, kEmpty}}},
    {kTonics, 3, "Elixir", "05", kAdd, {{1, "05   Elixir"}}},
    // Remove Item goes by the Item box, not by the selected line.
    {kTonics, 0, "", "1", kRemoveItem, {{2, kEmpty}}},
    {kTonics, 3, "Revive", "1", kRemove, {}},
    {kTonics, 3, "Revive", "1", kRemoveItem, {}},
    {kTonics, 2, "", "1", kClearAll, {{0, kEmpty}, {2, kEmpty}, {3, kEmpty}}},
    {kTonics, 2, "", "1", kUp, {{1, "5    Tonic"}, {2, kEmpty}}},
    {kTonics, 0, "", "1", kDown, {{1, "3    Ether"}, {0, kEmpty}}},
    {kFull, 242, "", "1", kAdd, {}, "Inventory is full!"},
    {kFull, 242, "Ether", "1", kAdd, {{0, "2    Ether"}}},
    // Items the Item box does not offer, or the catalogue does not know, are kept.
    {kKept, 0, "", "", kShow, {{0, "7    Unknown item 0x1B"}, {3, "2    Bronze Fist"}}},
    {kKept, 1, "", "1", kDown, {{2, "3    Unknown item 0xE8"}, {1, "1    Fist"}}},
};

// The slot bytes that lines stand for; "<empty>" gives neither an amount nor a name.
Slots SlotsOf(const std::vector<std::pair<int, const char*>>& lines) {
    const std::map<QString, int> ids = {{"Tonic", kTonic},
                                        {"Ether", kEther},
                                        {"Elixir", kElixir},
                                        {"Fist", 0x44},
                                        {"Bronze Fist", 0x48}};
    Slots held;
    for (const auto& [line, text] : lines) {
        const QString name = QString(text).mid(5);
        const int id = name.startsWith("Unknown item ") ? name.mid(13).toInt(nullptr, 16)
                                                        : (ids.count(name) ? ids.at(name) : 0);
        held.push_back({line, id, QString(text).left(5).trimmed().toInt()});
    }
    return held;
}

}  // namespace

class ItemsPageTest : public QObject {
    Q_OBJECT

private slots:
    void linesAndButtons_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kCases)); ++row) {
            const Case& c = kCases[row];
            QTest::addRow("%d: %s %s %s", row, kActs[c.act], c.amount, c.item) << row;
        }
    }

    void linesAndButtons() {
        QFETCH(int, row);
        const Case& c = kCases[row];
        Session session;
        session.Show();
        session.OpenQuiet(Inventory(c.start));
        session.ShowTab(kItemsTab);
        auto* page = qobject_cast<ItemsPage*>(session.Sheet().CurrentPage());
        InventoryListBox* list = page->List();
        const int unknown = c.start == kKept ? 2 : 0;  // 0x1B and 0xE8 are no catalogue item
        QCOMPARE(session.messages.Take(), QStringList(unknown, "Item ID not found!"));
        QCOMPARE(list->SelectedLine(), 0);
        QVERIFY(!page->MoveUpButton()->isEnabled());
        if (c.act != kShow) {
            list->SelectLine(c.select);
            page->ItemBox()->setCurrentText(*c.item ? c.item : "Tonic");
            page->AmountEdit()->clear();
            QTest::keyClicks(page->AmountEdit(), c.amount);
            QPushButton* button = page->findChildren<QPushButton*>().value(c.act - 1);
            QCOMPARE(button->text(), kActs[c.act]);
            QVERIFY(button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(session.messages.Take(), c.said ? QStringList{c.said} : QStringList());
        }
        for (const auto& [line, text] : c.lines) {
            QCOMPARE(list->item(line)->text(), text);
        }
        QCOMPARE(list->count(), 243);
        const int selected = c.lines.empty() ? c.select : c.lines.front().first;
        QCOMPARE(list->SelectedLine(), selected);
        QCOMPARE(page->MoveUpButton()->isEnabled(), selected > 0);
        QCOMPARE(page->MoveDownButton()->isEnabled(), selected < 242);
        QCOMPARE(session.Save(), QStringList{"File Saved Successful!"});
        QCOMPARE(session.SavedChanges(), session.Changing(Inventory(SlotsOf(c.lines))));
    }

    void theItemBoxAndAmountEditAndAnotherOpen() {
        Session session;
        session.OpenQuiet();
        session.ShowTab(kItemsTab);
        auto* page = qobject_cast<ItemsPage*>(session.Sheet().CurrentPage());
        QComboBox* box = page->ItemBox();
        QCOMPARE(box->count(), 207);
        for (int i = 1; i < box->count(); ++i) {
            QVERIFY(QString::compare(box->itemText(i - 1), box->itemText(i), Qt::CaseInsensitive) <
                    0);
        }
        for (const char* absent : {"<empty>", "Fist", "Fist II", "Fist III", "Iron Fist"}) {
            QCOMPARE(box->findText(absent), -1);
        }
        QCOMPARE(box->currentIndex(), 193);
        QCOMPARE(box->currentText(), "Tonic");
        QCOMPARE(page->AmountEdit()->text(), "1");

        // No amount, or none but zeros, leaves nothing to add or remove.
        for (const char* typed : {"", "0", "00", "0x7-5"}) {
            page->AmountEdit()->clear();
            QTest::keyClicks(page->AmountEdit(), typed);
            for (QPushButton* button :
                 {page->AddAmountButton(), page->RemoveAmountButton(), page->RemoveItemButton()}) {
                QCOMPARE(button->isEnabled(), page->AmountEdit()->text() == "07");
            }
            QVERIFY(page->ClearAllButton()->isEnabled());
        }

        // Another Open empties the list; the next look fills it afresh.
        QTest::mouseClick(page->AddAmountButton(), Qt::LeftButton);
        box->setCurrentText("Ether");
        session.OpenQuiet(Inventory({{0, kElixir, 2}}), "other.zst");
        QCOMPARE(page->List()->count(), 0);
        session.ShowTab(kItemsTab);
        QCOMPARE(page->List()->item(0)->text(), "2    Elixir");
        QCOMPARE(box->currentText(), "Tonic");
        QCOMPARE(page->AmountEdit()->text(), "1");
    }
};

}  // namespace orvane::test

QTEST_MAIN(orvane::test::ItemsPageTest)

#include "items_page_test.moc"
