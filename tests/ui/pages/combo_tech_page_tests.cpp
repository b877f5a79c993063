// SPDX-License-Identifier: GPL-3.0-or-later
// The Dual Tech and Triple Tech pages: one byte per pair or trio, each save touching only its
// own bytes, and the small pictures that show who takes part.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "artwork.h"
#include "dual_tech_page.h"
#include "page_harness.h"
#include "triple_tech_page.h"

namespace orvane::test {

namespace {

constexpr std::size_t kFirstPair = 13393;
constexpr std::size_t kFirstTriple = 13408;
constexpr std::size_t kMarleFrog = 13400;  // pair 8
constexpr std::size_t kTwister = 13416;    // triple 9

// Every pair byte legal (0x80) and every triple byte 0x00, changed by the given bytes. The
// bytes around the block keep the fixture's pattern.
Patch ComboState(const Patch& changes = {}) {
    Patch bytes;
    for (std::size_t i = 0; i < 15; ++i) {
        bytes[kFirstPair + i] = 0x80;
    }
    for (std::size_t i = 0; i < 9; ++i) {
        bytes[kFirstTriple + i] = 0x00;
    }
    for (const auto& [offset, value] : changes) {
        bytes[offset] = value;
    }
    return bytes;
}

QRgb AverageColour(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    long long red = 0, green = 0, blue = 0, weight = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int alpha = qAlpha(pixel);
            red += qRed(pixel) * alpha;
            green += qGreen(pixel) * alpha;
            blue += qBlue(pixel) * alpha;
            weight += alpha;
        }
    }
    return weight ? qRgb(int(red / weight), int(green / weight), int(blue / weight)) : 0;
}

int Distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

}  // namespace

class ComboTechPageTest : public QObject {
    Q_OBJECT

private slots:
    void dualLevelsDecodeAndOnlyTheChangedPairByteIsSaved() {
        PageHarness<DualTechPage> harness(
            ComboState({{kMarleFrog, 0xC0}, {kFirstPair + 14, 0xE0}}));
        DualTechPage& page = harness.Show();
        QComboBox* marleFrog = page.LevelList(7);
        QCOMPARE(marleFrog->objectName(), QStringLiteral("dualMarleFrog"));
        QCOMPARE(marleFrog->currentText(), QStringLiteral("2 - Glacier"));
        QCOMPARE(page.LevelList(14)->currentText(), QStringLiteral("3 - Frog Flame"));
        QCOMPARE(page.LevelList(0)->itemText(0), QStringLiteral("0 - None"));
        QCOMPARE(page.LevelList(0)->currentText(), QStringLiteral("1 - Aura Whirl"));

        marleFrog->setCurrentIndex(3);
        QVERIFY(harness.Save());
        QVERIFY(harness.messages.shown.empty());
        QCOMPARE(harness.ChangedOffsets(), std::vector<long>{long(kMarleFrog)});
        QCOMPARE(harness.SavedByte(kMarleFrog), 0xE0);
    }

    void dualBytesBeyondThreeLevelsAreIllegalAndTheTriplesStayAsRead() {
        PageHarness<DualTechPage> harness(ComboState(
            {{kFirstPair, 0xF0}, {kFirstPair + 5, 0x20}, {kFirstTriple, 0xFF}, {kTwister, 0x80}}));
        DualTechPage& page = harness.Show();
        QCOMPARE(harness.messages.Take(),
                 QStringList(2, QStringLiteral("Illegal Dual Tech Level Value!")));
        QCOMPARE(page.LevelList(0)->currentIndex(), 0);
        QCOMPARE(page.LevelList(5)->currentIndex(), 0);

        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(),
                 (std::vector<long>{long(kFirstPair), long(kFirstPair + 5)}));
        QCOMPARE(harness.SavedByte(kFirstPair), 0x00);
    }

    void dualListsStandInTwoColumnsInTheirIdOrder() {
        PageHarness<DualTechPage> harness(ComboState());
        DualTechPage& page = harness.Show();
        const char* right[] = {"dualMarleAyla", "dualLuccaRobo", "dualLuccaAyla", "dualRoboFrog",
                               "dualRoboAyla",  "dualFrogAyla",  "dualFrogLucca"};
        const QComboBox* top = page.findChild<QComboBox*>(QStringLiteral("dualCronoMarle"));
        for (std::size_t row = 0; row < std::size(right); ++row) {
            const QComboBox* list = page.findChild<QComboBox*>(QString::fromLatin1(right[row]));
            QVERIFY2(list, right[row]);
            QCOMPARE(list, page.LevelList(8 + row));
            QVERIFY(list->x() > top->x() + top->width());
            QVERIFY(row == 0 || list->y() > page.LevelList(8 + row - 1)->y());
        }
        QCOMPARE(page.findChildren<QComboBox*>().size(), 15);
    }

    void tripleBytesAreLearnedOnlyAtTheHighBit() {
        PageHarness<TripleTechPage> harness(
            ComboState({{kFirstTriple, 0x80}, {kFirstTriple + 1, 0xFF}, {kFirstTriple + 2, 0x01}}));
        TripleTechPage& page = harness.Show();
        QVERIFY(harness.messages.shown.empty());
        QVERIFY(page.LearnedBox(0)->isChecked());
        QVERIFY(!page.LearnedBox(1)->isChecked());
        QVERIFY(!page.LearnedBox(2)->isChecked());

        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(),
                 (std::vector<long>{long(kFirstTriple + 1), long(kFirstTriple + 2)}));
        QCOMPARE(harness.SavedByte(kFirstTriple + 1), 0x00);
        QCOMPARE(harness.SavedByte(kFirstTriple), 0x80);
    }

    void checkingTwisterStoresOnlyItsByte() {
        PageHarness<TripleTechPage> harness(ComboState({{kFirstPair, 0xF0}}));
        TripleTechPage& page = harness.Show();
        QCheckBox* twister = page.LearnedBox(8);
        QCOMPARE(twister->objectName(), QStringLiteral("tripleTwister"));
        QCOMPARE(twister->text(), QStringLiteral("Twister"));
        QTest::mouseClick(twister, Qt::LeftButton, {}, QPoint(4, twister->height() / 2));
        QVERIFY(twister->isChecked());

        QVERIFY(harness.Save());
        QCOMPARE(harness.ChangedOffsets(), std::vector<long>{long(kTwister)});
        QCOMPARE(harness.SavedByte(kTwister), 0x80);
    }

    void tripleGroupsNameTheirMembers() {
        PageHarness<TripleTechPage> harness(ComboState());
        TripleTechPage& page = *harness.page;
        QStringList captions;
        for (const QGroupBox* group : page.findChildren<QGroupBox*>()) {
            captions << group->title();
        }
        QCOMPARE(captions.size(), 9);
        QVERIFY(captions.contains(QStringLiteral("Crono/Lucca/Robo")));
        QVERIFY(captions.contains(QStringLiteral("Crono/Robo/Ayla")));
        QCOMPARE(page.LearnedBox(4)->text(), QStringLiteral("Fire Zone"));
        QVERIFY(!page.LearnedBox(4)->isEnabled());
    }

    void smallPicturesShowTheSameMembersAsThePortraits() {
        // Small id and portrait id per member: Ayla, Crono, Frog, Lucca, Magus, Marle, Robo.
        const std::pair<int, int> members[] = {{123, 104}, {124, 105}, {125, 106}, {126, 107},
                                               {127, 108}, {128, 109}, {129, 103}};
        for (const auto& [small, large] : members) {
            const QRgb colour = AverageColour(SmallPortrait(small));
            int closest = 0;
            for (int candidate = 103; candidate <= 109; ++candidate) {
                if (closest == 0 || Distance(colour, AverageColour(Portrait(candidate))) <
                                        Distance(colour, AverageColour(Portrait(closest)))) {
                    closest = candidate;
                }
            }
            QCOMPARE(closest, large);
        }
    }
};

ORVANE_UI_TEST(ComboTechPageTest);

}  // namespace orvane::test

#include "combo_tech_page_tests.moc"
