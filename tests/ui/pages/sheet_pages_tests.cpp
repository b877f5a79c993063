// SPDX-License-Identifier: GPL-3.0-or-later
// The four pages inside the sheet: their tabs, and Save writing back only the pages shown since
// the last Open.

#include <QCheckBox>
#include <QPushButton>

#include "dual_tech_page.h"
#include "editor_fixtures.h"
#include "inventory_list_box.h"
#include "items_page.h"
#include "tech_page.h"
#include "triple_tech_page.h"

namespace orvane::test {

namespace {

constexpr std::size_t kInventoryIds = 12307;
constexpr std::size_t kInventoryAmounts = 12563;
constexpr std::size_t kMarleFrog = 13400;
constexpr std::size_t kTwister = 13416;

}  // namespace

class SheetPagesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void theFourPagesFollowTheCharacterTabs() {
        Session session;
        EditorSheet& sheet = session.Sheet();
        QCOMPARE(sheet.PageCount(), 12);
        QStringList captions;
        for (int tab = 0; tab < sheet.PageCount(); ++tab) {
            captions << sheet.Tabs()->Caption(tab);
        }
        QCOMPARE(captions.mid(kItemsTab),
                 (QStringList{"Items", "Tech", "Dual Tech", "Triple Tech"}));
        QVERIFY(qobject_cast<ItemsPage*>(sheet.Page(kItemsTab)));
        QVERIFY(qobject_cast<TechPage*>(sheet.Page(kTechTab)));
        QVERIFY(qobject_cast<DualTechPage*>(sheet.Page(kDualTechTab)));
        QVERIFY(qobject_cast<TripleTechPage*>(sheet.Page(kTripleTechTab)));
        QCOMPARE(sheet.Page(kDualTechTab)->SizeInUnits(), QSize(242, 166));
        QCOMPARE(sheet.Page(kTripleTechTab)->SizeInUnits(), QSize(239, 166));
    }

    void everyTabShownAndLeftAloneSavesTheFileUnchanged() {
        Session session;
        const QString path = WriteState(m_dir, "quiet.zst", QuietState());
        const QByteArray before = ReadFile(path);
        session.Open(path);
        for (int tab = 1; tab < session.Sheet().PageCount(); ++tab) {
            session.ShowTab(tab);
            QCOMPARE(session.Sheet().CurrentIndex(), tab);
        }
        session.Sheet().Save();
        QCOMPARE(session.messages.Take(), QStringList{"File Saved Successful!"});
        QCOMPARE(DiffOffsets(before, ReadFile(path)), std::vector<long>{});
    }

    void saveWritesBackOnlyThePagesFilledSinceTheLastOpen() {
        Session session;
        const QString first = WriteState(m_dir, "first.zst", QuietState());
        const QString second = WriteState(m_dir, "second.zst", QuietState());
        const QByteArray firstBefore = ReadFile(first);
        const QByteArray secondBefore = ReadFile(second);

        session.Open(first);
        session.ShowTab(kDualTechTab);
        session.Choose(kDualTechTab, "dualMarleFrog", QStringLiteral("3 - Double Cure"));
        session.ShowTab(kItemsTab);
        auto* items = qobject_cast<ItemsPage*>(session.Sheet().Page(kItemsTab));
        QTest::mouseClick(items->ClearAllButton(), Qt::LeftButton);
        session.Sheet().Save();
        QCOMPARE(session.messages.Take(), QStringList{"File Saved Successful!"});
        QCOMPARE(
            DiffOffsets(firstBefore, ReadFile(first)),
            (std::vector<long>{long(kInventoryIds), long(kInventoryAmounts), long(kMarleFrog)}));
        QCOMPARE(static_cast<std::uint8_t>(ReadFile(first).at(kMarleFrog)), 0xE0);

        // Opening from the Items tab empties it; the pages filled for the first file stay silent.
        session.Open(second);
        QCOMPARE(session.Sheet().CurrentIndex(), 0);
        QCOMPARE(items->List()->count(), 0);
        session.ShowTab(kTripleTechTab);
        session.Find<QCheckBox>(kTripleTechTab, "tripleTwister")->setChecked(true);
        session.Sheet().Save();
        QCOMPARE(DiffOffsets(secondBefore, ReadFile(second)), std::vector<long>{long(kTwister)});
        QCOMPARE(static_cast<std::uint8_t>(ReadFile(second).at(kTwister)), 0x80);
    }
};

ORVANE_UI_TEST(SheetPagesTest);

}  // namespace orvane::test

#include "sheet_pages_tests.moc"
