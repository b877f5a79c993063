// SPDX-License-Identifier: GPL-3.0-or-later
// The Items page over real widgets: its lines, its buttons and what a save writes.

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>

#include "inventory_list_box.h"
#include "items_page.h"
#include "page_harness.h"

namespace orvane::test {

namespace {

constexpr std::size_t kIds = 12307;
constexpr std::size_t kAmounts = 12563;
constexpr int kSlots = 243;

constexpr std::uint8_t kTonic = 0xBD;
constexpr std::uint8_t kEther = 0xC0;
constexpr std::uint8_t kElixir = 0xC3;
constexpr std::uint8_t kFist = 0x44;
constexpr std::uint8_t kBronzeFist = 0x48;
constexpr std::uint8_t kUnknown = 0x1B;

// An inventory of empty slots with the given (slot, ID, amount) rows.
Patch Inventory(std::initializer_list<std::array<int, 3>> rows) {
    Patch bytes;
    for (int slot = 0; slot < kSlots; ++slot) {
        bytes[kIds + static_cast<std::size_t>(slot)] = 0;
        bytes[kAmounts + static_cast<std::size_t>(slot)] = 0;
    }
    for (const auto& [slot, id, amount] : rows) {
        bytes[kIds + static_cast<std::size_t>(slot)] = static_cast<std::uint8_t>(id);
        bytes[kAmounts + static_cast<std::size_t>(slot)] = static_cast<std::uint8_t>(amount);
    }
    return bytes;
}

// The ID and amount offsets of the slots, as ChangedOffsets lists them.
std::vector<long> BothBytesOf(std::initializer_list<std::size_t> slotIndices) {
    std::vector<long> offsets;
    for (std::size_t start : {kIds, kAmounts}) {
        for (std::size_t slot : slotIndices) {
            offsets.push_back(static_cast<long>(start + slot));
        }
    }
    return offsets;
}

QString Line(const ItemsPage& page, int line) {
    return page.List()->item(line)->text();
}

void SetAmount(ItemsPage& page, const QString& text) {
    page.AmountEdit()->clear();
    QTest::keyClicks(page.AmountEdit(), text);
}

void Choose(ItemsPage& page, const QString& name) {
    const int index = page.ItemBox()->findText(name);
    QVERIFY2(index >= 0, qPrintable(name));
    page.ItemBox()->setCurrentIndex(index);
}

void Click(QPushButton* button) {
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class ItemsPageTest : public QObject {
    Q_OBJECT

private slots:
    void fillShowsOneLinePerSlotAndEmptiesBadAmountsOnSave() {
        PageHarness<ItemsPage> harness(
            Inventory({{0, kTonic, 5}, {1, kEther, 12}, {2, 0x33, 0}, {3, kTonic, 100}}));
        ItemsPage& page = harness.Show();

        QCOMPARE(page.List()->count(), kSlots);
        QCOMPARE(Line(page, 0), QStringLiteral("5    Tonic"));
        QCOMPARE(Line(page, 1), QStringLiteral("12   Ether"));
        QCOMPARE(Line(page, 2), QStringLiteral("<empty>"));
        QCOMPARE(Line(page, 3), QStringLiteral("<empty>"));
        QCOMPARE(page.List()->SelectedLine(), 0);
        QVERIFY(harness.messages.shown.empty());

        // The ID byte behind an amount of 0 and the amount above 99 are saved as empty slots.
        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(),
                 (std::vector<long>{long(kIds + 2), long(kIds + 3), long(kAmounts + 3)}));
        QCOMPARE(harness.SavedByte(kIds + 3), 0);
        QCOMPARE(harness.SavedByte(kAmounts + 3), 0);
    }

    void itemBoxOffersSortedNamesWithoutFistsAndStartsAtTonic() {
        PageHarness<ItemsPage> harness(Inventory({}));
        ItemsPage& page = *harness.page;
        QComboBox* box = page.ItemBox();
        QVERIFY(!box->isEnabled());
        QCOMPARE(box->currentIndex(), -1);
        QCOMPARE(box->currentText(), QString());
        QVERIFY(!page.ClearAllButton()->isEnabled());
        harness.Show();
        QVERIFY(page.ClearAllButton()->isEnabled());

        QCOMPARE(box->count(), 207);
        for (int i = 1; i < box->count(); ++i) {
            QVERIFY2(
                QString::compare(box->itemText(i - 1), box->itemText(i), Qt::CaseInsensitive) < 0,
                qPrintable(box->itemText(i)));
        }
        for (const char* name :
             {"<empty>", "Fist", "Fist II", "Fist III", "Iron Fist", "Bronze Fist"}) {
            QCOMPARE(box->findText(QString::fromLatin1(name)), -1);
        }
        QCOMPARE(box->currentIndex(), 193);
        QCOMPARE(box->currentText(), QStringLiteral("Tonic"));
        QCOMPARE(page.AmountEdit()->text(), QStringLiteral("1"));
        QCOMPARE(page.AmountEdit()->maxLength(), 2);
        // By the advances: some monospaced faces do not call themselves fixed-pitch.
        const QFontMetrics list(page.List()->font());
        QCOMPARE(list.horizontalAdvance(u'i'), list.horizontalAdvance(u'W'));
    }

    void addAmountCapsAtNinetyNineAndFillsTheFirstEmptyLine() {
        PageHarness<ItemsPage> harness(Inventory({{0, kTonic, 50}, {2, kEther, 3}}));
        ItemsPage& page = harness.Show();

        SetAmount(page, QStringLiteral("60"));
        Click(page.AddAmountButton());
        QCOMPARE(Line(page, 0), QStringLiteral("99   Tonic"));
        Click(page.AddAmountButton());
        QCOMPARE(Line(page, 0), QStringLiteral("99   Tonic"));

        // A new item keeps the amount as typed, until an addition reformats it.
        Choose(page, QStringLiteral("Elixir"));
        SetAmount(page, QStringLiteral("05"));
        Click(page.AddAmountButton());
        QCOMPARE(Line(page, 1), QStringLiteral("05   Elixir"));
        QCOMPARE(page.List()->SelectedLine(), 1);
        SetAmount(page, QStringLiteral("3"));
        Click(page.AddAmountButton());
        QCOMPARE(Line(page, 1), QStringLiteral("8    Elixir"));
        QCOMPARE(page.List()->count(), kSlots);

        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(),
                 (std::vector<long>{long(kIds + 1), long(kAmounts), long(kAmounts + 1)}));
        QCOMPARE(harness.SavedByte(kAmounts), 99);
        QCOMPARE(harness.SavedByte(kIds + 1), kElixir);
        QCOMPARE(harness.SavedByte(kAmounts + 1), 8);
    }

    void removingLeavesEmptyLinesInPlaceAndActsOnTheUpperDouble() {
        PageHarness<ItemsPage> harness(
            Inventory({{0, kTonic, 5}, {1, kEther, 3}, {2, kTonic, 20}, {3, kElixir, 9}}));
        ItemsPage& page = harness.Show();

        SetAmount(page, QStringLiteral("2"));
        Click(page.AddAmountButton());
        QCOMPARE(Line(page, 0), QStringLiteral("7    Tonic"));
        QCOMPARE(Line(page, 2), QStringLiteral("20   Tonic"));

        SetAmount(page, QStringLiteral("7"));
        Click(page.RemoveAmountButton());
        QCOMPARE(Line(page, 0), QStringLiteral("<empty>"));
        QCOMPARE(Line(page, 2), QStringLiteral("20   Tonic"));

        Choose(page, QStringLiteral("Ether"));
        SetAmount(page, QStringLiteral("10"));
        Click(page.RemoveAmountButton());
        QCOMPARE(Line(page, 1), QStringLiteral("<empty>"));
        QCOMPARE(page.List()->count(), kSlots);

        // Nothing to remove: no line changes and nothing is said.
        Choose(page, QStringLiteral("Revive"));
        Click(page.RemoveAmountButton());
        Click(page.RemoveItemButton());
        QCOMPARE(Line(page, 3), QStringLiteral("9    Elixir"));

        // Remove Item goes by the Item box, whichever line is selected.
        page.List()->SelectLine(2);
        Choose(page, QStringLiteral("Elixir"));
        Click(page.RemoveItemButton());
        QCOMPARE(Line(page, 3), QStringLiteral("<empty>"));
        QCOMPARE(Line(page, 2), QStringLiteral("20   Tonic"));
        QCOMPARE(page.List()->SelectedLine(), 3);
        QVERIFY(harness.messages.shown.empty());

        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(), BothBytesOf({0, 1, 3}));
    }

    void amountEditOfNothingOrZerosDisablesTheAmountButtons() {
        PageHarness<ItemsPage> harness(Inventory({{0, kTonic, 5}}));
        ItemsPage& page = harness.Show();
        const auto amountButtons = {page.AddAmountButton(), page.RemoveAmountButton(),
                                    page.RemoveItemButton()};

        for (const QString& text : {QString(), QStringLiteral("0"), QStringLiteral("00")}) {
            SetAmount(page, text);
            for (QPushButton* button : amountButtons) {
                QVERIFY2(!button->isEnabled(), qPrintable(text));
            }
            QVERIFY(page.ClearAllButton()->isEnabled());
            QVERIFY(page.MoveDownButton()->isEnabled());
        }
        SetAmount(page, QStringLiteral("0x7-"));
        QCOMPARE(page.AmountEdit()->text(), QStringLiteral("07"));
        for (QPushButton* button : amountButtons) {
            QVERIFY(button->isEnabled());
        }
    }

    void moveButtonsFollowTheSelectionAndReorderSlots() {
        PageHarness<ItemsPage> harness(
            Inventory({{0, kTonic, 1}, {2, kEther, 2}, {3, kElixir, 3}, {242, kTonic, 4}}));
        ItemsPage& page = harness.Show();
        QVERIFY(!page.MoveUpButton()->isEnabled());

        page.List()->SelectLine(3);
        QVERIFY(page.MoveUpButton()->isEnabled());
        Click(page.MoveUpButton());
        QCOMPARE(page.List()->SelectedLine(), 2);
        QCOMPARE(Line(page, 2), QStringLiteral("3    Elixir"));
        QCOMPARE(Line(page, 3), QStringLiteral("2    Ether"));

        page.List()->SelectLine(242);
        QVERIFY(!page.MoveDownButton()->isEnabled());
        QVERIFY(page.MoveUpButton()->isEnabled());

        // Without a selected line there is nothing to move.
        page.List()->clearSelection();
        QVERIFY(!page.MoveUpButton()->isEnabled());
        QVERIFY(!page.MoveDownButton()->isEnabled());

        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(), BothBytesOf({2, 3}));
        QCOMPARE(harness.SavedByte(kIds + 2), kElixir);
        QCOMPARE(harness.SavedByte(kAmounts + 2), 3);
        QCOMPARE(harness.SavedByte(kIds + 3), kEther);
        QCOMPARE(harness.SavedByte(kAmounts + 3), 2);
    }

    void clearAllEmptiesEveryLineAndSelectsTheFirst() {
        PageHarness<ItemsPage> harness(Inventory({{0, kTonic, 1}, {100, kEther, 2}}));
        ItemsPage& page = harness.Show();
        page.List()->SelectLine(100);
        Click(page.ClearAllButton());

        QCOMPARE(page.List()->count(), kSlots);
        for (int line = 0; line < kSlots; ++line) {
            QCOMPARE(Line(page, line), QStringLiteral("<empty>"));
        }
        QCOMPARE(page.List()->SelectedLine(), 0);
        QVERIFY(!page.MoveUpButton()->isEnabled());
        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(), BothBytesOf({0, 100}));
    }

    void addingANewItemToAFullInventoryWarnsAndChangesNothing() {
        Patch bytes = Inventory({});
        for (std::size_t slot = 0; slot < kSlots; ++slot) {
            bytes[kIds + slot] = kEther;
            bytes[kAmounts + slot] = 1;
        }
        PageHarness<ItemsPage> harness(bytes);
        ItemsPage& page = harness.Show();
        page.List()->SelectLine(7);
        Click(page.AddAmountButton());

        QCOMPARE(harness.messages.Take(), QStringList{QStringLiteral("Inventory is full!")});
        QCOMPARE(page.List()->FindItemLine(QStringLiteral("Tonic")), -1);
        QCOMPARE(page.List()->SelectedLine(), 7);

        // An item already held still grows.
        Choose(page, QStringLiteral("Ether"));
        Click(page.AddAmountButton());
        QCOMPARE(Line(page, 0), QStringLiteral("2    Ether"));
    }

    void fistsInTheFileSurviveASave() {
        PageHarness<ItemsPage> harness(Inventory({{0, kFist, 1}, {5, kBronzeFist, 2}}));
        ItemsPage& page = harness.Show();
        QCOMPARE(Line(page, 0), QStringLiteral("1    Fist"));
        QCOMPARE(Line(page, 5), QStringLiteral("2    Bronze Fist"));
        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(), std::vector<long>{});
    }

    void unknownItemIdsAreNamedAndSavedAsTheyWere() {
        PageHarness<ItemsPage> harness(
            Inventory({{0, kUnknown, 7}, {1, 0xF0, 100}, {2, 0xE8, 3}, {3, kTonic, 1}}));
        ItemsPage& page = harness.Show();

        QCOMPARE(harness.messages.Take(), QStringList(3, QStringLiteral("Item ID not found!")));
        QCOMPARE(Line(page, 0), QStringLiteral("7    Unknown item 0x1B"));
        QCOMPARE(Line(page, 1), QStringLiteral("<empty>"));
        QCOMPARE(Line(page, 2), QStringLiteral("3    Unknown item 0xE8"));

        // The kept ID moves with its line.
        page.List()->SelectLine(2);
        Click(page.MoveDownButton());
        QVERIFY(harness.Save());
        QVERIFY(harness.messages.shown.empty());
        QCOMPARE(harness.ChangedOffsets(), BothBytesOf({1, 2, 3}));
        QCOMPARE(harness.SavedByte(kIds), kUnknown);
        QCOMPARE(harness.SavedByte(kAmounts), 7);
        QCOMPARE(harness.SavedByte(kIds + 2), kTonic);
        QCOMPARE(harness.SavedByte(kIds + 3), 0xE8);
        QCOMPARE(harness.SavedByte(kAmounts + 3), 3);
    }

    void removeItemGoesByTheItemBoxEvenOnAnUnknownLineAndClearAllEmptiesIt() {
        PageHarness<ItemsPage> harness(Inventory({{0, kUnknown, 7}, {1, kTonic, 2}, {2, 0xE8, 1}}));
        ItemsPage& page = harness.Show();
        page.List()->SelectLine(2);
        Click(page.RemoveItemButton());
        QCOMPARE(Line(page, 1), QStringLiteral("<empty>"));
        QCOMPARE(Line(page, 2), QStringLiteral("1    Unknown item 0xE8"));
        QCOMPARE(page.List()->SelectedLine(), 1);
        Click(page.RemoveItemButton());
        QCOMPARE(Line(page, 0), QStringLiteral("7    Unknown item 0x1B"));
        Click(page.ClearAllButton());
        QCOMPARE(Line(page, 0), QStringLiteral("<empty>"));
        QCOMPARE(Line(page, 2), QStringLiteral("<empty>"));

        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(), BothBytesOf({0, 1, 2}));
    }

    void resetEmptiesTheListAndTheNextShowRefills() {
        PageHarness<ItemsPage> harness(Inventory({{0, kTonic, 5}}));
        ItemsPage& page = harness.Show();
        SetAmount(page, QStringLiteral("9"));
        Click(page.AddAmountButton());
        Choose(page, QStringLiteral("Ether"));

        page.Reset();
        QVERIFY(!page.IsLoaded());
        QCOMPARE(page.List()->count(), 0);
        page.OnActivate();
        QCOMPARE(page.List()->count(), kSlots);
        QCOMPARE(Line(page, 0), QStringLiteral("5    Tonic"));
        QCOMPARE(page.ItemBox()->currentText(), QStringLiteral("Tonic"));
        QCOMPARE(page.AmountEdit()->text(), QStringLiteral("1"));
    }

    void keyboardReachesEveryControl() {
        PageHarness<ItemsPage> harness(Inventory({{0, kTonic, 5}}));
        ItemsPage& page = harness.Show();
        const auto press = [&page](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : &page, key, modifiers);
        };

        press(Qt::Key_I, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), page.ItemBox());
        QTest::keyClicks(page.ItemBox(), QStringLiteral("eli"));
        QCOMPARE(page.ItemBox()->currentText(), QStringLiteral("Elixir"));

        press(Qt::Key_M, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), page.AmountEdit());
        page.AmountEdit()->selectAll();
        QTest::keyClicks(page.AmountEdit(), QStringLiteral("4"));

        press(Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(Line(page, 1), QStringLiteral("4    Elixir"));
        press(Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(Line(page, 1), QStringLiteral("<empty>"));
        press(Qt::Key_U, Qt::AltModifier);
        QTRY_COMPARE(Line(page, 0), QStringLiteral("<empty>"));
        QCOMPARE(Line(page, 1), QStringLiteral("5    Tonic"));
        press(Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(Line(page, 0), QStringLiteral("5    Tonic"));
        QCOMPARE(page.List()->SelectedLine(), 1);
        Choose(page, QStringLiteral("Tonic"));
        press(Qt::Key_V, Qt::AltModifier);
        QTRY_COMPARE(Line(page, 0), QStringLiteral("<empty>"));

        SetAmount(page, QStringLiteral("1"));
        Click(page.AddAmountButton());
        QCOMPARE(Line(page, 0), QStringLiteral("1    Tonic"));
        press(Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(Line(page, 0), QStringLiteral("<empty>"));
    }
};

ORVANE_UI_TEST(ItemsPageTest);

}  // namespace orvane::test

#include "items_page_tests.moc"
