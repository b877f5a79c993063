// SPDX-License-Identifier: GPL-3.0-or-later
// The Tech page: decoding and encoding of the level bytes, the Tech Left checks and the bytes a
// save touches.

#include <QComboBox>

#include "page_harness.h"
#include "tech_page.h"

namespace orvane::test {

namespace {

// Tech Left (2 bytes) and level byte by row: Crono, Marle, Lucca, Robo, Frog, Ayla, Magus.
constexpr std::size_t kTechLeft[] = {12864, 12944, 13024, 13104, 13184, 13264, 13344};
constexpr std::size_t kLevel = 13386;
constexpr std::size_t kCronoRow = 0;
constexpr std::size_t kAylaRow = 5;

// Every member with Tech Left 10 + row and level byte 0x80, changed by the given bytes.
Patch TechState(const Patch& changes = {}) {
    Patch bytes;
    for (std::size_t row = 0; row < 7; ++row) {
        bytes[kTechLeft[row]] = static_cast<std::uint8_t>(10 + row);
        bytes[kTechLeft[row] + 1] = 0;
        bytes[kLevel + row] = 0x80;
    }
    for (const auto& [offset, value] : changes) {
        bytes[offset] = value;
    }
    return bytes;
}

void Retype(NumericEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
}

}  // namespace

class TechPageTest : public QObject {
    Q_OBJECT

private slots:
    void levelBytesDecodeToListIndicesAndEncodeBack() {
        PageHarness<TechPage> harness(TechState({{kLevel, 0xE0}, {kLevel + 6, 0xFF}}));
        TechPage& page = harness.Show();
        QCOMPARE(page.LevelList(kCronoRow)->currentIndex(), 3);
        QCOMPARE(page.LevelList(kCronoRow)->currentText(), QStringLiteral("3 - *Lightning"));
        QCOMPARE(page.LevelList(6)->currentText(), QStringLiteral("8 - *Dark Matter"));
        QCOMPARE(page.LevelList(1)->itemText(0), QStringLiteral("0 - No Tech"));
        QCOMPARE(page.LevelList(4)->count(), 9);
        QCOMPARE(page.TechLeftEdit(2)->text(), QStringLiteral("12"));
        QVERIFY(harness.messages.shown.empty());

        page.LevelList(kCronoRow)->setCurrentIndex(8);
        page.LevelList(1)->setCurrentIndex(0);
        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(), (std::vector<long>{long(kLevel), long(kLevel + 1)}));
        QCOMPARE(harness.SavedByte(kLevel), 0xFF);
        QCOMPARE(harness.SavedByte(kLevel + 1), 0x00);
    }

    void illegalLevelBytesWarnOnceEachAndAreSavedAsNone() {
        PageHarness<TechPage> harness(TechState({{kLevel + 1, 0x40}, {kLevel + 6, 0x81}}));
        TechPage& page = harness.Show();
        QCOMPARE(harness.messages.Take(),
                 QStringList(2, QStringLiteral("Illegal Tech Level Value!")));
        QCOMPARE(page.LevelList(1)->currentIndex(), 0);
        QCOMPARE(page.LevelList(6)->currentIndex(), 0);

        // Showing the page again neither warns nor reads again.
        page.OnActivate();
        QVERIFY(harness.messages.shown.empty());
        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(), (std::vector<long>{long(kLevel + 1), long(kLevel + 6)}));
        QCOMPARE(harness.SavedByte(kLevel + 1), 0x00);
    }

    void aListWithoutSelectionIsReportedAndStoresNone() {
        PageHarness<TechPage> harness(TechState({{kLevel + 3, 0xF8}}));
        TechPage& page = harness.Show();
        page.LevelList(3)->setCurrentIndex(-1);
        QVERIFY(harness.Save());
        QCOMPARE(harness.messages.Take(),
                 QStringList{QStringLiteral("Illegal ComboBox selection!")});
        QCOMPARE(harness.ChangedOffsets(), std::vector<long>{long(kLevel + 3)});
        QCOMPARE(harness.SavedByte(kLevel + 3), 0x00);
    }

    void techLeftAboveTheLimitIsShownInFullAndRefusedUntilCorrected() {
        PageHarness<TechPage> harness(
            TechState({{kTechLeft[kCronoRow], 0xFF}, {kTechLeft[kCronoRow] + 1, 0xFF}}));
        TechPage& page = harness.Show();
        NumericEdit* crono = page.TechLeftEdit(kCronoRow);
        QCOMPARE(crono->text(), QStringLiteral("65535"));

        QVERIFY(!page.ReadControls());
        QCOMPARE(harness.messages.Take(),
                 QStringList{QStringLiteral("Crono's Tech Left must lie between 0 and 9999.")});

        Retype(crono, QStringLiteral("300"));
        QVERIFY(harness.Save());
        QVERIFY(harness.messages.shown.empty());
        QCOMPARE(harness.ChangedOffsets(),
                 (std::vector<long>{long(kTechLeft[kCronoRow]), long(kTechLeft[kCronoRow] + 1)}));
        QCOMPARE(harness.SavedByte(kTechLeft[kCronoRow]), 0x2C);
        QCOMPARE(harness.SavedByte(kTechLeft[kCronoRow] + 1), 0x01);
    }

    void aylasEditTakesAnyTextButOnlyNumbersInRangePass() {
        PageHarness<TechPage> harness(TechState());
        TechPage& page = harness.Show();
        NumericEdit* ayla = page.TechLeftEdit(kAylaRow);

        Retype(ayla, QStringLiteral("-5"));
        QCOMPARE(ayla->text(), QStringLiteral("-5"));
        QVERIFY(!page.ReadControls());
        QCOMPARE(harness.messages.Take(),
                 QStringList{QStringLiteral("Ayla's Tech Left must lie between 0 and 9999.")});
        QCOMPARE(QApplication::focusWidget(), ayla);

        Retype(ayla, QStringLiteral("ab"));
        QVERIFY(!page.ReadControls());
        QCOMPARE(harness.messages.Take(),
                 QStringList{QStringLiteral("Ayla's Tech Left must be a whole number.")});

        // The five other members' edits take digits only, four at most.
        NumericEdit* crono = page.TechLeftEdit(kCronoRow);
        Retype(crono, QStringLiteral("-5x12345"));
        QCOMPARE(crono->text(), QStringLiteral("5123"));

        Retype(ayla, QStringLiteral("300"));
        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(),
                 (std::vector<long>{long(kTechLeft[kCronoRow]), long(kTechLeft[kCronoRow] + 1),
                                    long(kTechLeft[kAylaRow]), long(kTechLeft[kAylaRow] + 1)}));
        QCOMPARE(harness.SavedByte(kTechLeft[kAylaRow]), 0x2C);
        QCOMPARE(harness.SavedByte(kTechLeft[kAylaRow] + 1), 0x01);
    }
};

ORVANE_UI_TEST(TechPageTest);

}  // namespace orvane::test

#include "tech_page_tests.moc"
