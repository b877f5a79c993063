// SPDX-License-Identifier: GPL-3.0-or-later
// A battery save in the editor: a player's values on the pages, the Slot menu in words, choosing
// another slot (asking first where the open one was edited) and copying the open slot into
// another, each seen in the bytes of the file.

#include "editor_fixtures.h"
#include "inventory_list_box.h"
#include "items_page.h"

namespace orvane::test {

namespace {

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QAction* Item(EditorSheet& sheet, const QString& text) {
    for (QAction* action : sheet.SlotMenu()->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    qFatal("no Slot menu item %s", qPrintable(text));
}

QStringList MenuBar(EditorSheet& sheet) {
    QStringList titles;
    for (const QAction* action : sheet.menuBar()->actions()) {
        titles << action->text();
    }
    return titles;
}

// The player's file with slot 1 copied into slots 2 and 3, slot 3 then damaged, and slot 2's
// gold made 500.
Bytes TwoSavedOneDamaged() {
    Bytes file = WithSlotCopied(WithSlotCopied(ReadBytes(TestData(kOneSlot)), 0, 1), 0, 2);
    file = Patched(file, LittleEndian(*InSlot(0x7E2C53, 1), 500, 3));
    file = Patched(file, SlotSeal(file, 1));
    file[0x1FF4] ^= 0xFF;
    return file;
}

}  // namespace

class SlotsTest : public QObject {
    Q_OBJECT

private slots:
    void thePlayersValuesOnThePages() {
        Session session;
        QCOMPARE(MenuBar(session.Sheet()), (QStringList{"&File", "&Help"}));
        const QString path =
            WriteFile(session.dir, "Chrono Trigger.srm", ReadBytes(TestData(kOneSlot)));
        session.Open(path);
        QCOMPARE(session.messages.Take(), QStringList());
        QCOMPARE(session.Find<QLabel>(kMainTab, "banner")->text(),
                 "Slot 1 of " + QDir::toNativeSeparators(path));
        const std::pair<const char*, const char*> main[] = {
            {"gold", "21962"},  {"silverPoints", "15"}, {"saves", "15"},     {"hourTens", "0"},
            {"hourUnits", "7"}, {"minuteTens", "4"},    {"minuteUnits", "2"}};
        for (const auto& [edit, text] : main) {
            QCOMPARE(session.Find<QLineEdit>(kMainTab, edit)->text(), text);
        }
        const std::pair<int, const char*> names[] = {
            {kCronoTab, "Lee"}, {kMarleTab, "Marle"}, {kLuccaTab, "Lucca"}, {kRoboTab, "Robo"},
            {kFrogTab, "Frog"}, {kAylaTab, "Ayla"},   {kMagusTab, "Magus"}};
        for (const auto& [tab, name] : names) {
            session.ShowTab(tab);
            QCOMPARE(session.Find<QLineEdit>(tab, "name")->text().trimmed(), name);
        }
        session.ShowTab(kItemsTab);
        auto* items = qobject_cast<ItemsPage*>(session.Sheet().CurrentPage());
        const std::pair<int, const char*> firstLines[] = {
            {1, "Bike Key"}, {1, "Pendant"}, {11, "Heal"},     {1, "Bandana"},
            {5, "Shelter"},  {14, "Tonic"},  {1, "Magic Tab"}, {1, "Bent Sword"}};
        for (int line = 0; line < 8; ++line) {
            const QString text = items->List()->item(line)->text();
            QCOMPARE(text.section(u' ', 0, 0, QString::SectionSkipEmpty).toInt(),
                     firstLines[line].first);
            QVERIFY2(text.endsWith(firstLines[line].second), qPrintable(text));
        }
        QCOMPARE(MenuBar(session.Sheet()), (QStringList{"&File", "&Slot", "&Help"}));
        QCOMPARE(MenuTexts(session.Sheet().SlotMenu()),
                 (QStringList{"Slot 1: Lee, 07:42", "Slot 2: never saved", "Slot 3: never saved",
                              "-", "Copy to Slot 2...", "Copy to Slot 3..."}));

        // A save state again: no Slot menu.
        session.Open(WriteFile(session.dir, "state.zst", FillerBytes(kClassicSize)));
        QCOMPARE(MenuBar(session.Sheet()), (QStringList{"&File", "&Help"}));
    }

    void choosingAnotherSlotAsksWhereTheOpenOneWasEdited() {
        Session session;
        const Bytes file = TwoSavedOneDamaged();
        session.path = WriteFile(session.dir, "game.srm", file);
        session.Open(session.path);
        EditorSheet& sheet = session.Sheet();
        QCOMPARE(MenuTexts(sheet.SlotMenu()).mid(0, 3),
                 (QStringList{"Slot 1: Lee, 07:42", "Slot 2: Lee, 07:42",
                              "Slot 3: damaged, the game shows it as empty"}));
        QVERIFY(Item(sheet, "Slot 1: Lee, 07:42")->isChecked());
        QVERIFY(!Item(sheet, "Slot 3: damaged, the game shows it as empty")->isEnabled());

        // Edited, and the question answered No: slot 1 stays, with the edit.
        session.Type(kMainTab, "gold", "1234");
        Item(sheet, "Slot 2: Lee, 07:42")->trigger();
        QCOMPARE(session.messages.asked,
                 QStringList{"Slot 1 has changes that are not saved. Open Slot 2 without them?"});
        QVERIFY(Item(sheet, "Slot 1: Lee, 07:42")->isChecked());
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "gold")->text(), "1234");

        // Yes: slot 2's values, the edit dropped and nothing written.
        session.messages.answers = {true};
        session.ShowTab(kMagusTab);
        Item(sheet, "Slot 2: Lee, 07:42")->trigger();
        QCOMPARE(sheet.CurrentIndex(), kMainTab);
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "gold")->text(), "500");
        QVERIFY(session.Find<QLabel>(kMainTab, "banner")->text().startsWith("Slot 2 of "));
        QVERIFY(Item(sheet, "Slot 2: Lee, 07:42")->isChecked());
        QCOMPARE(ReadFile(session.path), file);

        // Unedited, no question; a save writes the open slot with its checksum.
        session.messages.asked.clear();
        Item(sheet, "Slot 1: Lee, 07:42")->trigger();
        Item(sheet, "Slot 2: Lee, 07:42")->trigger();
        QCOMPARE(session.messages.asked, QStringList());
        session.Type(kMainTab, "gold", "777");
        QCOMPARE(session.Save(), kSaved);
        Bytes saved = Patched(file, LittleEndian(*InSlot(0x7E2C53, 1), 777, 3));
        QCOMPARE(ReadFile(session.path), Patched(saved, SlotSeal(saved, 1)));
    }

    void copyingAsksBeforeReplacingASlotThatHoldsAnything() {
        Session session;
        const Bytes file = TwoSavedOneDamaged();
        session.path = WriteFile(session.dir, "game.srm", file);
        session.Open(session.path);
        EditorSheet& sheet = session.Sheet();
        session.Type(kMainTab, "gold", "42");

        // The damaged slot may still be a player's: the question comes first, and No writes
        // nothing.
        Item(sheet, "Copy to Slot 3...")->trigger();
        QCOMPARE(session.messages.asked,
                 QStringList{"Replace Slot 3 with a copy of Slot 1 and save the file?\n\nSlot 3: "
                             "damaged, the game shows it as empty"});
        QCOMPARE(session.messages.Take(), QStringList());
        QCOMPARE(ReadFile(session.path), file);

        // Yes: slot 3 is slot 1 as edited, marked and checksummed; slot 1 is saved with it.
        session.messages.answers = {true};
        Item(sheet, "Copy to Slot 3...")->trigger();
        QCOMPARE(session.messages.Take(), kSaved);
        Bytes expected = file;
        std::copy_n(file.begin(), kSlotBytes, expected.begin() + 2 * kSlotBytes);
        for (const std::size_t slot : {0u, 2u}) {
            expected = Patched(expected, LittleEndian(*InSlot(0x7E2C53, slot), 42, 3));
            expected = Patched(expected, SlotSeal(expected, slot));
        }
        QCOMPARE(ReadFile(session.path), expected);
        QCOMPARE(MenuTexts(sheet.SlotMenu()).mid(0, 3),
                 (QStringList{"Slot 1: Lee, 07:42", "Slot 2: Lee, 07:42", "Slot 3: Lee, 07:42"}));
    }

    // bsnes's .bsz: its quick states by name, the newer open, the other chosen and saved into
    // its own entry alone.
    void aBszOpensItsNewestQuickSaveAndAnyOther() {
        Session session;
        const Bytes file = ReadBytes(TestData("bsnes-115.bsz"));
        session.path = WriteFile(session.dir, "game.bsz", file);
        session.Open(session.path);
        QCOMPARE(session.messages.Take(), QStringList());
        EditorSheet& sheet = session.Sheet();
        const QList<QAction*> actions = sheet.SlotMenu()->actions();
        QCOMPARE(MenuTexts(sheet.SlotMenu()),
                 (QStringList{"Quick save 1: Aleph, 223:6090", "Quick save 2: Aleph, 223:6090", "-",
                              "Copy to Quick save 1..."}));
        QVERIFY(actions[1]->isChecked());
        QVERIFY(session.Find<QLabel>(kMainTab, "banner")->text().startsWith("Quick save 2 of "));

        actions[0]->trigger();
        QVERIFY(sheet.SlotMenu()->actions()[0]->isChecked());
        QVERIFY(session.Find<QLabel>(kMainTab, "banner")->text().startsWith("Quick save 1 of "));
        session.Type(kMainTab, "gold", "777");
        QCOMPARE(session.Save(), kSaved);
        const std::vector<ZipRecord> before = ReadZip(file);
        const std::vector<ZipRecord> after = ReadZip(ReadFile(session.path));
        QCOMPARE(after.size(), std::size_t(2));
        QVERIFY(after[1].data == before[1].data);
        QVERIFY(after[0].data != before[0].data);
        QCOMPARE(Changes(DecodedBody(WriteZip({before[0]})), DecodedBody(WriteZip({after[0]}))),
                 LittleEndian(8836 + 0x2C53, 777, 3));
    }

    void copyingIntoANeverSavedSlotAsksNothing() {
        Session session;
        session.path = WriteFile(session.dir, "game.srm", ReadBytes(TestData(kOneSlot)));
        session.Open(session.path);
        Item(session.Sheet(), "Copy to Slot 2...")->trigger();
        QCOMPARE(session.messages.asked, QStringList());
        QCOMPARE(session.messages.Take(), kSaved);
        QCOMPARE(ReadFile(session.path), WithSlotCopied(ReadBytes(TestData(kOneSlot)), 0, 1));
    }
};

}  // namespace orvane::test

QTEST_MAIN(orvane::test::SlotsTest)

#include "slots_test.moc"
