// SPDX-License-Identifier: GPL-3.0-or-later
// Every value the pages edit: typed or chosen on its page it lands in exactly its bytes of the
// file, every range check holds at both bounds and refuses just past them, and the pages edit the
// states that real emulator builds wrote where each layout keeps the fields.

#include "editor_fixtures.h"

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

const QStringList kSaved{QStringLiteral("File Saved Successful!")};

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
    QCOMPARE(session.messages.shown.size(), std::size_t{1});
    QCOMPARE(session.messages.shown[0].icon, Messages::Icon::Warning);
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
        std::uint64_t longer = 1;
        for (int digit = 0; digit < field.limit; ++digit) {
            longer *= 10;
        }
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
        Patch stored;
        Patch saved;
        for (const Choice& choice : kChoices) {
            stored[choice.offset] = choice.stored;
            if (choice.saved != choice.stored) {
                saved[choice.offset] = choice.saved;
            }
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
        QCOMPARE(session.SavedChanges(), saved);
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

    void pagesEditEveryRealLayout_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("workRam");  // file offset of console address 0x7E0000
        for (const RealState& s : kRealStates) {
            QTest::newRow(s.file) << QString(s.file) << int(s.workRam);
        }
    }

    void pagesEditEveryRealLayout() {
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
        // Gold at 7E2C53 (3 bytes), Magus's level at 7E2600 + 6 * 80 + 18.
        Patch changed = LittleEndian(std::size_t(workRam) + 0x2C53, 4321, 3);
        changed[std::size_t(workRam) + 0x2600 + 498] = 50;
        QCOMPARE(Changes(before, ReadFile(path)), changed);
    }
};

}  // namespace orvane::test

QTEST_MAIN(orvane::test::FieldsTest)

#include "fields_test.moc"
