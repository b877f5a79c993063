// SPDX-License-Identifier: GPL-3.0-or-later
// The editor on states that real emulator builds wrote: the pages show the cartridge's markers,
// and edits made on the pages land where each layout keeps the fields.

#include <QLineEdit>

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
        QTemporaryDir dir;
        const QString path = CopyRealState(dir, file);
        const QByteArray before = ReadFile(path);

        Session session;
        session.Open(path);
        QCOMPARE(session.messages.Take(), QStringList());
        QCOMPARE(session.Find<QLineEdit>(0, "gold")->text(), QStringLiteral("1234567"));
        QCOMPARE(session.Find<QLineEdit>(0, "saves")->text(), QStringLiteral("4660"));
        session.Type(0, "gold", QStringLiteral("4321"));
        session.ShowTab(7);  // Magus, whose marker weapon 0x56 is no catalogue item
        QCOMPARE(session.messages.Take(), QStringList{QStringLiteral("Item ID not found!")});
        QCOMPARE(session.Find<QLineEdit>(7, "name")->text(), QStringLiteral("Gizmo"));
        QCOMPARE(session.Find<QLineEdit>(7, "level")->text(), QStringLiteral("26"));
        session.Type(7, "level", QStringLiteral("50"));
        session.Sheet().Save();
        QCOMPARE(session.messages.Take(), QStringList{QStringLiteral("File Saved Successful!")});

        const QByteArray after = ReadFile(path);
        QCOMPARE(after.size(), before.size());
        // Gold at 7E2C53 (3 bytes), Magus's level at 7E2600 + 6 * 80 + 18.
        const std::vector<long> expected = {workRam + 0x2600 + 480 + 18, workRam + 0x2C53,
                                            workRam + 0x2C54, workRam + 0x2C55};
        QCOMPARE(DiffOffsets(before, after), expected);
        QCOMPARE(after.mid(workRam + 0x2C53, 3), QByteArray("\xE1\x10\x00", 3));
        QCOMPARE(static_cast<int>(after[workRam + 0x2600 + 480 + 18]), 50);
    }
};

}  // namespace
}  // namespace orvane::test

using orvane::test::RealStatesTest;
ORVANE_UI_TEST(RealStatesTest);

#include "real_states_test.moc"
