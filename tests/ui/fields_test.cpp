// SPDX-License-Identifier: GPL-3.0-or-later
// Every value the pages edit: typed or chosen on its page it lands in exactly its bytes of the
// file, every range check holds at both bounds and refuses just past them, the Items page keeps
// one line per inventory slot with amounts of 1 to 99, and the pages edit the states that real
// emulator builds wrote where each layout keeps the fields.

#include <map>

#include "editor_fixtures.h"
#include "inventory_list_box.h"
#include "items_page.h"

namespace orvane::test {

namespace {

struct NumberField {
    int tab;
    const char* edit;
    std::size_t offset;
    int width;           // bytes
    int limit;           // characters that can be typed
    std::uint32_t high;  // the range check's upper bound, the lower being 0; 0 for no check
    bool anyText = false;
};

// Character records start at 12819 + 80 × the member's index; each page gets some fields.
constexpr NumberField kNumberFields[] = {
    {kMainTab, "gold", 14438, 3, 7, 0},
    {kMainTab, "silverPoints", 68709, 1, 3, 255},
    {kMainTab, "saves", 13743, 2, 3, 0},
    {kMainTab, "hourTens", 4120, 1, 1, 0},
    {kMainTab, "hourUnits", 4119, 1, 1, 0},
    {kMainTab, "minuteTens", 4118, 1, 1, 0},
    {kMainTab, "minuteUnits", 4117, 1, 1, 0},
    {kCronoTab, "currentHp", 12819 + 3, 2, 3, 999},
    {kMarleTab, "maxHp", 12899 + 5, 2, 3, 999},
    {kLuccaTab, "currentMp", 12979 + 7, 1, 2, 99},
    {kRoboTab, "maxMp", 13059 + 9, 1, 2, 99},
    {kFrogTab, "power", 13139 + 11, 1, 2, 99},
    {kAylaTab, "stamina", 13219 + 12, 1, 2, 99},
    {kMagusTab, "speed", 13299 + 13, 1, 2, 99},
    {kCronoTab, "magic", 12819 + 14, 1, 2, 99},
    {kMarleTab, "hit", 12899 + 15, 1, 2, 99},
    {kLuccaTab, "evade", 12979 + 16, 1, 2, 99},
    {kRoboTab, "magicDefence", 13059 + 17, 1, 2, 99},
    {kFrogTab, "level", 13139 + 18, 1, 2, 0},
    {kAylaTab, "experience", 13219 + 19, 3, 7, 0},
    {kMagusTab, "experienceToNext", 13299 + 43, 2, 7, 0},
    {kTechTab, "techLeftCrono", 12864, 2, 4, 9999},
    {kTechTab, "techLeftMarle", 12944, 2, 4, 9999},
    {kTechTab, "techLeftLucca", 13024, 2, 4, 9999},
    {kTechTab, "techLeftRobo", 13104, 2, 4, 9999},
    {kTechTab, "techLeftFrog", 13184, 2, 4, 9999},
    {kTechTab, "techLeftAyla", 13264, 2, 4, 9999, true},
    {kTechTab, "techLeftMagus", 13344, 2, 4, 9999, true},
};

// A list entry or check box: what its stored byte shows, and the byte the choice stores.
struct Choice {
    int tab;
    const char* control;
    std::size_t offset;
    std::uint8_t stored;
    int shown;         // entry index or check state; -1 for no selection
    const char* text;  // the entry shown, or the check box's caption
    int chosen;
    std::uint8_t saved;
};

constexpr Choice kChoices[] = {
    {kCronoTab, "face", 12819, 0, 0, "Crono", 4, 4},
    {kMarleTab, "helmet", 12899 + 39, 124, 0, "Hide Cap", 17, 127},   // Beret
    {kLuccaTab, "armor", 12979 + 40, 91, 0, "Hide Tunic", 18, 94},    // Maiden Suit
    {kRoboTab, "accessory", 13059 + 42, 149, 0, "Bandana", 24, 175},  // Blue Rock
    {kFrogTab, "weapon", 13139 + 41, 59, 0, "Bronze Edge", 2, 61},    // Masamune
    // A face of no member, item 0 that no list holds and an ID the catalogue lacks are kept.
    {kMagusTab, "face", 13299, 9, -1, "", -1, 9},
    {kMagusTab, "armor", 13299 + 40, 0, -1, "", -1, 0},
    {kMagusTab, "weapon", 13299 + 41, 0xFF, -1, "", -1, 0xFF},
    {kTechTab, "singleTechCrono", 13386, 0xE0, 3, "3 - *Lightning", 8, 0xFF},
    {kTechTab, "singleTechMarle", 13387, 0x40, 0, "0 - No Tech", 7, 0xFE},
    {kTechTab, "singleTechLucca", 13388, 0x81, 0, "0 - No Tech", 0, 0x00},
    {kTechTab, "singleTechRobo", 13389, 0xFC, 6, "6 - Uzzi Punch", 4, 0xF0},
    {kTechTab, "singleTechFrog", 13390, 0xF8, 5, "5 - Leap Slash", 6, 0xFC},
    {kTechTab, "singleTechAyla", 13391, 0xFE, 7, "7 - Dino Tail", 2, 0xC0},
    {kTechTab, "singleTechMagus", 13392, 0xFF, 8, "8 - *Dark Matter", 1, 0x80},
    {kDualTechTab, "dualCronoMarle", 13393, 0xF0, 0, "0 - None", 0, 0x00},
    {kDualTechTab, "dualMarleFrog", 13400, 0xC0, 2, "2 - Glacier", 3, 0xE0},
    {kDualTechTab, "dualFrogAyla", 13406, 0x80, 1, "1 - Slurp Kiss", -1, 0x00},  // reported
    {kDualTechTab, "dualFrogLucca", 13407, 0xE0, 3, "3 - Frog Flame", 1, 0x80},
    {kTripleTechTab, "tripleDeltaForce", 13408, 0xFF, 0, "Delta Force", 0, 0x00},
    {kTripleTechTab, "tripleLifeline", 13409, 0x80, 1, "Lifeline", 1, 0x80},
    {kTripleTechTab, "tripleTwister", 13416, 0x00, 0, "Twister", 1, 0x80},
};

// Leaves the field's page and comes back; or, when a refusal is expected, checks that the page
// stays with a warning that says it, the focus on the field, and that Save and Save As then write
// nothing.
void ExpectLeave(Session& session, const NumberField& field, const QString& refusal = {}) {
    const int away = field.tab == kMainTab ? kTechTab : kMainTab;
    session.ShowTab(away);
    if (refusal.isEmpty()) {
        QCOMPARE(session.Sheet().CurrentIndex(), away);
        QCOMPARE(session.messages.Take(), QStringList());
        session.ShowTab(field.tab);
        return;
    }
    QCOMPARE(session.Sheet().CurrentIndex(), field.tab);
    const auto& warned = session.messages.shown;
    QVERIFY(warned.size() == 1 && warned[0].icon == Messages::Icon::Warning);
    const QStringList shown = session.messages.Take();
    QVERIFY2(shown[0].contains(refusal), qPrintable(shown[0]));
    auto* edit = session.Find<QLineEdit>(field.tab, field.edit);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectedText(), edit->text());
    const Bytes before = ReadFile(session.path);
    const QString copy = session.dir.filePath(QStringLiteral("copy.zst"));
    QCOMPARE(session.Save(), shown);
    session.SaveAs(copy);
    QCOMPARE(session.messages.Take(), shown);
    QCOMPARE(Changes(before, ReadFile(session.path)), Patch{});
    QVERIFY(!QFile::exists(copy));
}

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
const Slots kFull = [slot = 0]() mutable {
    Slots full(243);
    std::generate(full.begin(), full.end(), [&] { return std::array{slot++, kEther, 1}; });
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

class FieldsTest : public QObject {
    Q_OBJECT

private slots:
    void everyNumberLandsInItsBytesWithinItsRange_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kNumberFields)); ++row) {
            QTest::newRow(kNumberFields[row].edit) << row;
        }
    }

    void everyNumberLandsInItsBytesWithinItsRange() {
        QFETCH(int, row);
        const NumberField& field = kNumberFields[row];
        // A stored value one digit longer than can be typed, where the field holds it.
        const auto longer = static_cast<std::uint64_t>(std::pow(10, field.limit));
        const bool storable = longer >> (8 * field.width) == 0;
        Session session;
        session.Show();
        session.OpenQuiet(storable ? LittleEndian(field.offset, longer, field.width) : Patch{});
        session.ShowTab(field.tab);
        auto* edit = session.Find<QLineEdit>(field.tab, field.edit);
        const QString range = QStringLiteral("between 0 and %1").arg(field.high);
        if (storable) {
            // Shown in full; refused past the range, else saved as it was.
            QCOMPARE(edit->text(), QString::number(longer));
            ExpectLeave(session, field, field.high && longer > field.high ? range : QString());
            if (field.high == 0) {
                QCOMPARE(session.Save(), kSaved);
                QCOMPARE(session.SavedChanges(), Patch{});
            }
        }

        const QString typed = QStringLiteral("-9x") + QString(field.limit, u'9');
        session.Type(field.tab, field.edit, typed);
        QCOMPARE(edit->text(),
                 field.anyText ? typed.left(field.limit) : QString(field.limit, u'9'));
        session.Type(field.tab, field.edit, QString());
        ExpectLeave(session, field, QStringLiteral("whole number"));

        // Both bounds (the largest value that can be typed where there is no range) are saved,
        // cut to the field's width.
        for (const std::uint64_t value : {std::uint64_t{0}, field.high ? field.high : longer - 1}) {
            session.Type(field.tab, field.edit, QString::number(value));
            ExpectLeave(session, field);
            QCOMPARE(session.Save(), kSaved);
            QCOMPARE(session.SavedChanges(),
                     session.Changing(LittleEndian(field.offset, value, field.width)));
        }
        // Just past the bounds, where that can be typed.
        const QString pastHigh = QString::number(field.high + 1);
        if (field.high != 0 && pastHigh.size() <= field.limit) {
            session.Type(field.tab, field.edit, pastHigh);
            ExpectLeave(session, field, range);
        }
        if (field.anyText) {
            session.Type(field.tab, field.edit, QStringLiteral("-1"));
            ExpectLeave(session, field, range);
        }
        QVERIFY(field.high == 0 || storable || pastHigh.size() <= field.limit);
    }

    void everyListAndBoxShowsItsByteAndStoresTheChoice() {
        Patch stored, saved;
        for (const Choice& choice : kChoices) {
            stored[choice.offset] = choice.stored;
            saved[choice.offset] = choice.saved;
        }
        Session session;
        session.Show();
        session.OpenQuiet(stored);
        for (const Choice& choice : kChoices) {
            session.ShowTab(choice.tab);
            QWidget* control = session.Find(choice.tab, choice.control);
            if (auto* list = qobject_cast<QComboBox*>(control)) {
                QCOMPARE(list->currentIndex(), choice.shown);
                QCOMPARE(list->currentText(), QString::fromLatin1(choice.text));
                list->setCurrentIndex(choice.chosen);
            } else {
                auto* box = qobject_cast<QCheckBox*>(control);
                QCOMPARE(box->text(), QString::fromLatin1(choice.text));
                QCOMPARE(int(box->isChecked()), choice.shown);
                if (int(box->isChecked()) != choice.chosen) {
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
                }
            }
        }
        QCOMPARE(session.messages.Take(),
                 (QStringList{"Item ID not found!", "Illegal Tech Level Value!",
                              "Illegal Tech Level Value!", "Illegal Dual Tech Level Value!"}));
        QCOMPARE(session.Save(), (QStringList{"Illegal ComboBox selection!", kSaved[0]}));
        QCOMPARE(session.SavedChanges(), session.Changing(saved));
    }

    void theNameTakesFiveLettersOrSpaces() {
        Session session;
        session.Show();
        session.OpenQuiet();
        session.ShowTab(kLuccaTab);
        session.Type(kLuccaTab, "name", QStringLiteral("Lu z3y"));
        QCOMPARE(session.Find<QLineEdit>(kLuccaTab, "name")->text(), QStringLiteral("Lu z3"));
        session.ShowTab(kMainTab);
        QCOMPARE(session.Sheet().CurrentIndex(), kLuccaTab);
        QCOMPARE(session.messages.Take(),
                 QStringList{"Name may hold only the letters A to Z, a to z and spaces."});

        session.Type(kLuccaTab, "name", QStringLiteral("Lu z"));
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(session.SavedChanges(),
                 session.Changing(
                     {{14402, 0xAB}, {14403, 0xCE}, {14404, 0}, {14405, 0xD3}, {14406, 0}}));
    }

    void pagesEditEveryRealState_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("workRam");  // offset of console address 0x7E0000 in the stream
        for (const RealState& s : EveryRealState()) {
            QTest::newRow(s.file) << QString(s.file) << int(s.workRam);
        }
    }

    void pagesEditEveryRealState() {
        QFETCH(QString, file);
        QFETCH(int, workRam);
        Session session;
        const Bytes before = ReadBytes(TestData(file.toStdString()));
        const QString path = WriteFile(session.dir, file, before);
        session.Open(path);
        QCOMPARE(session.messages.Take(), QStringList());
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "gold")->text(), "1234567");
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "saves")->text(), "4660");
        session.Type(kMainTab, "gold", "4321");
        session.ShowTab(kMagusTab);  // whose marker weapon 0x56 is no catalogue item
        QCOMPARE(session.messages.Take(), QStringList{"Item ID not found!"});
        QCOMPARE(session.Find<QLineEdit>(kMagusTab, "name")->text(), "Gizmo");
        QCOMPARE(session.Find<QLineEdit>(kMagusTab, "level")->text(), "26");
        session.Type(kMagusTab, "level", "50");
        QCOMPARE(session.Save(), kSaved);
        // Gold at 7E2C53 (3 bytes), Magus's level at 7E2600 + 6 * 80 + 18, in the stream the
        // file holds, compressed or not.
        Patch changed = LittleEndian(std::size_t(workRam) + 0x2C53, 4321, 3);
        changed[std::size_t(workRam) + 0x2600 + 498] = 50;
        QCOMPARE(Changes(DecodedBody(before), DecodedBody(ReadFile(path))), changed);
    }

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
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(session.SavedChanges(), session.Changing(Inventory(SlotsOf(c.lines))));
    }

    void theItemBoxAndAmountEditAndAnotherOpen() {
        Session session;
        session.ShowTab(kItemsTab);
        auto* page = qobject_cast<ItemsPage*>(session.Sheet().CurrentPage());
        QComboBox* box = page->ItemBox();
        QCOMPARE(box->currentIndex(), -1);  // nothing chosen before the page fills
        session.OpenQuiet();
        session.ShowTab(kItemsTab);
        QCOMPARE(box->count(), 207);
        for (int i = 1; i < box->count(); ++i) {
            QVERIFY(box->itemText(i - 1).compare(box->itemText(i), Qt::CaseInsensitive) < 0);
        }
        for (const char* absent : {"<empty>", "Fist", "Fist II", "Fist III", "Iron Fist"}) {
            QCOMPARE(box->findText(absent), -1);
        }
        QCOMPARE(box->currentText(), "Tonic");
        QCOMPARE(page->AmountEdit()->text(), "1");
        const QFontMetrics font(page->List()->font());  // fixed pitch, by its advances
        QCOMPARE(font.horizontalAdvance(u'i'), font.horizontalAdvance(u'W'));

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

QTEST_MAIN(orvane::test::FieldsTest)

#include "fields_test.moc"
