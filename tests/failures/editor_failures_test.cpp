// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's Save and Save As under every failure a disk can offer: each must warn "Error Saving
// File!" and leave the target exactly as it was, with nothing left beside it.

#include <QDir>
#include <QFile>
#include <QLineEdit>

#include "editor_fixtures.h"
#include "state_page.h"

namespace orvane::test {
namespace {

enum class Failure { ReadOnly, DirectoryRemoved, ReplacedByDirectory, DiskFull };

class EditorSaveFailures : public QObject {
    Q_OBJECT

private slots:
    void FailedSaveWarnsAndKeepsTheTarget_data() {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<bool>("newerLayout");
        QTest::addColumn<QString>("reason");  // what the box says below its text
        struct Row {
            const char* name;
            Failure failure;
            const char* reason;
        };
        const Row rows[] = {
            {"read-only", Failure::ReadOnly, "The file is read-only."},
            {"directory removed", Failure::DirectoryRemoved, "The folder does not exist"},
            {"replaced by a directory", Failure::ReplacedByDirectory,
             "a folder, a device or a pipe"},
            {"disk full", Failure::DiskFull, "Writing failed: File too large."},
        };
        for (const Row& row : rows) {
            const QString reason = QString::fromUtf8(row.reason);
            QTest::addRow("Save, %s", row.name) << row.failure << false << false << reason;
            QTest::addRow("Save As, %s", row.name) << row.failure << true << false << reason;
            QTest::addRow("Save, %s, fork 2.2 state", row.name)
                << row.failure << false << true << reason;
        }
    }

    void FailedSaveWarnsAndKeepsTheTarget() {
        QFETCH(Failure, failure);
        QFETCH(bool, saveAs);
        QFETCH(bool, newerLayout);
        QFETCH(QString, reason);

        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkdir(QStringLiteral("saves")));
        const QString dir = root.filePath(QStringLiteral("saves"));
        const QString loaded =
            newerLayout ? CopyRealState(root, QStringLiteral("state-2.2.3.zst"),
                                        QStringLiteral("saves/state.zst"))
                        : WriteState(root, QStringLiteral("saves/state.zst"), {{14438, 1}});
        const QString other = WriteState(root, QStringLiteral("saves/copy.zs1"), {{14438, 2}});
        const QString target = saveAs ? other : loaded;

        Session session;
        session.Open(loaded);
        QCOMPARE(session.messages.Take(), QStringList());
        session.Type(0, "gold", QStringLiteral("4321"));

        switch (failure) {
            case Failure::ReadOnly:
                QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
                break;
            case Failure::DirectoryRemoved:
                QVERIFY(QDir(dir).removeRecursively());
                break;
            case Failure::ReplacedByDirectory:
                QVERIFY(QFile::remove(target));
                QVERIFY(QDir().mkdir(target));
                break;
            case Failure::DiskFull:
                break;
        }
        const Snapshot before = Snapshot::Of(FsPath(target));
        const Snapshot loadedBefore = Snapshot::Of(FsPath(loaded));
        const std::vector<std::string> entriesBefore = Entries(FsPath(dir));

        auto save = [&] {
            if (saveAs) {
                session.SaveAs(target);
            } else {
                session.Sheet().Save();
            }
            const bool warned = session.messages.shown.size() == 1 &&
                                session.messages.shown[0].text == "Error Saving File!" &&
                                session.messages.shown[0].icon == Messages::Icon::Warning &&
                                session.messages.shown[0].detail.contains(reason) &&
                                session.messages.shown[0].detail.endsWith(
                                    QStringLiteral("The file on disk is as it was."));
            return warned;
        };
        if (failure == Failure::DiskFull) {
            const auto warned = RunWithFileSizeLimit(100000, save);
            QVERIFY2(warned.has_value(), "the save crashed under a full disk");
            QVERIFY2(*warned, "a full disk must be reported as \"Error Saving File!\"");
        } else {
            QVERIFY2(save(), qPrintable(session.messages.Take().join(QLatin1Char('|'))));
        }

        QVERIFY(Snapshot::Of(FsPath(target)) == before);
        QVERIFY(Snapshot::Of(FsPath(loaded)) == loadedBefore);
        QCOMPARE(Entries(FsPath(dir)), entriesBefore);
    }

    // Files of no known layout are refused at Open, the open file and the pages stay, and the
    // refused file is left alone.
    void UnknownLayoutsAreRefusedAtOpen_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("found");
        const QByteArray v143 = ReadFile(QStringLiteral(ORVANE_TEST_DATA "/state-1.51.zst"));
        QByteArray noHeader = v143;
        noHeader.replace(0, 28, QByteArray(28, 'x'));
        // A byte either side of each newer layout's size.
        for (const int near : {282458, 282460, 282488, 282490, 282492, 282494}) {
            QTest::addRow("%d bytes with the newer header", near)
                << v143.left(282400).leftJustified(near, '\0')
                << QStringLiteral("with the header of a state of ZSNES 1.50 and later");
        }
        QTest::addRow("known size without the header")
            << noHeader << QStringLiteral("does not start with the header of a save state");
        QTest::addRow("newer state cut short")
            << v143.left(150000) << QStringLiteral("so it may have been cut short");
        QTest::addRow("header shifted by a byte")
            << QByteArray(1, '\0') + v143.left(v143.size() - 1)
            << QStringLiteral("does not start with the header of a save state");
    }

    void UnknownLayoutsAreRefusedAtOpen() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, found);
        QTemporaryDir root;
        const QString loaded = CopyRealState(root, QStringLiteral("state-2.1.0.zst"));
        const QString refused = root.filePath(QStringLiteral("refused.zst"));
        QFile file(refused);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();

        Session session;
        session.Open(loaded);
        QCOMPARE(session.messages.Take(), QStringList());
        session.Open(refused);
        const QStringList shown = session.messages.Take();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(QDir::toNativeSeparators(refused)), qPrintable(shown[0]));
        QVERIFY2(shown[0].contains(QStringLiteral("it is %1 bytes long").arg(bytes.size())),
                 qPrintable(shown[0]));
        QVERIFY2(shown[0].contains(found), qPrintable(shown[0]));
        QVERIFY2(shown[0].contains(QStringLiteral("the Linux fork 2.2 and later (282493 bytes)")),
                 qPrintable(shown[0]));
        QCOMPARE(ReadFile(refused), bytes);
        QCOMPARE(session.Document().GetPath().string(), loaded.toStdString());
        QCOMPARE(session.Find<QLineEdit>(0, "gold")->text(), QStringLiteral("1234567"));
    }

    // The emulator writes the same slot file whenever the player saves there: Save must not
    // silently replace that newer state.
    void SaveAsksBeforeReplacingAFileChangedOnDisk() {
        QTemporaryDir root;
        const QString path = CopyRealState(root, QStringLiteral("state-1.51.zst"));
        Session session;
        session.Open(path);
        session.Type(0, "gold", QStringLiteral("4321"));
        session.Sheet().Save();
        QCOMPARE(session.messages.asked, QStringList());
        QCOMPARE(session.messages.Take(), QStringList{QStringLiteral("File Saved Successful!")});

        const QByteArray ours = ReadFile(path);
        QByteArray newer = ours;
        newer[0x1000] = static_cast<char>(newer[0x1000] ^ 0x7F);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(newer) == newer.size());
        file.close();
        session.Type(0, "saves", QStringLiteral("77"));
        session.messages.answers = {false};
        session.Sheet().Save();
        QCOMPARE(session.messages.asked.size(), 1);
        QVERIFY(session.messages.asked.takeFirst().contains(QDir::toNativeSeparators(path)));
        QCOMPARE(session.messages.Take(), QStringList());
        QCOMPARE(ReadFile(path), newer);
        QCOMPARE(session.Find<QLineEdit>(0, "saves")->text(), QStringLiteral("77"));

        session.messages.answers = {false};
        session.SaveAs(path);  // Save As onto the loaded file asks too
        QCOMPARE(session.messages.asked.size(), 1);
        session.messages.asked.clear();
        QCOMPARE(ReadFile(path), newer);

        session.messages.answers = {true};
        session.Sheet().Save();
        QCOMPARE(session.messages.asked.size(), 1);
        QCOMPARE(session.messages.Take(), QStringList{QStringLiteral("File Saved Successful!")});
        const QByteArray saved = ReadFile(path);
        // Yes replaces the newer file with the edited state, whole.
        QCOMPARE(saved[0x1000], ours[0x1000]);
        QCOMPARE(saved.mid(0xC13 + 0x299C, 2), QByteArray("\x4D\x00", 2));
    }

    void LongAndNonAsciiPathsOpenAndSave() {
        QTemporaryDir root;
        QString relative = QStringLiteral("Spielstände");
        while (root.filePath(relative).toUtf8().size() < 300) {
            relative += QStringLiteral("/時の旅-Überfahrt");
        }
        QVERIFY(QDir(root.path()).mkpath(relative));
        const QString path = WriteState(root, relative + QStringLiteral("/Zeit ✓.zst"));
        QVERIFY(path.toUtf8().size() > 255);
        const QByteArray before = ReadFile(path);

        Session session;
        session.Open(path);
        QCOMPARE(session.messages.Take(), QStringList());
        session.Type(0, "gold", QStringLiteral("4321"));  // 0x0010E1
        session.Sheet().Save();
        QCOMPARE(session.messages.Take(), QStringList{QStringLiteral("File Saved Successful!")});
        QCOMPARE(DiffOffsets(before, ReadFile(path)), (std::vector<long>{14438, 14439, 14440}));

        const QString copy = root.filePath(relative + QStringLiteral("/Kopie — zwei.zs2"));
        session.SaveAs(copy);
        QCOMPARE(session.messages.Take(), QStringList{QStringLiteral("File Saved Successful!")});
        QCOMPARE(ReadFile(copy), ReadFile(path));
    }

    void RandomBytesFillEveryPageWithoutACrash() {
        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("noise.zst"));
        WriteBytes(FsPath(path), RandomBytes(kClassicSize, 20261207));

        Session session;
        session.Show();
        session.Open(path);
        for (int i = 0; i < session.Sheet().PageCount(); ++i) {
            session.Sheet().Page(i)->OnActivate();
            QVERIFY2(session.Sheet().Page(i)->IsLoaded(), qPrintable(QString::number(i)));
        }
        qInfo("%lld messages while filling every page from noise",
              static_cast<long long>(session.messages.Take().size()));
    }
};

}  // namespace
}  // namespace orvane::test

using orvane::test::EditorSaveFailures;
ORVANE_UI_TEST(EditorSaveFailures);

#include "editor_failures_test.moc"
