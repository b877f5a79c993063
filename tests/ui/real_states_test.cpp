// SPDX-License-Identifier: GPL-3.0-or-later
// The editor on states that real emulator builds wrote: the pages show the cartridge's markers,
// and edits made on the pages land where each layout keeps the fields.

#include "editor_fixtures.h"

namespace orvane::test {
namespace {

class RealStatesTest : public QObject {
    Q_OBJECT

private slots:
    void pagesEditEveryLayout_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("workRam");  // file offset of console address 0x7E0000
        for (const RealState& s : kRealStates) {
            QTest::newRow(s.file) << QString(s.file) << int(s.workRam);
        }
    }

    void pagesEditEveryLayout() {
        QFETCH(QString, file);
        QFETCH(int, workRam);
        Session session;
        const Bytes before = ReadBytes(TestData(file.toStdString()));
        const QString path = WriteFile(session.dir, file, before);
        session.Open(path);
        QCOMPARE(session.messages.Take(), QStringList());
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "gold")->text(), QStringLiteral("1234567"));
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "saves")->text(), QStringLiteral("4660"));
        session.Type(kMainTab, "gold", QStringLiteral("4321"));
        session.ShowTab(kMagusTab);  // whose marker weapon 0x56 is no catalogue item
        QCOMPARE(session.messages.Take(), QStringList{QStringLiteral("Item ID not found!")});
        QCOMPARE(session.Find<QLineEdit>(kMagusTab, "name")->text(), QStringLiteral("Gizmo"));
        QCOMPARE(session.Find<QLineEdit>(kMagusTab, "level")->text(), QStringLiteral("26"));
        session.Type(kMagusTab, "level", QStringLiteral("50"));
        QCOMPARE(session.Save(), QStringList{QStringLiteral("File Saved Successful!")});

        // Gold at 7E2C53 (3 bytes), Magus's level at 7E2600 + 6 * 80 + 18.
        const std::size_t gold = std::size_t(workRam) + 0x2C53;
        QCOMPARE(Changes(before, ReadFile(path)),
                 (Patch{{gold, 0xE1},
                        {gold + 1, 0x10},
                        {gold + 2, 0x00},
                        {std::size_t(workRam) + 0x2600 + 498, 50}}));
    }
};

}  // namespace
}  // namespace orvane::test

QTEST_MAIN(orvane::test::RealStatesTest)

#include "real_states_test.moc"
