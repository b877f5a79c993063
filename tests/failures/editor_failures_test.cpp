// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's Open, Save and Save As under every failure a disk or a file can offer: each must
// say so and leave the files, and what the user typed, as they were.

#include <QDir>
#include <QFile>
#include <QLineEdit>

#include "editor_fixtures.h"

namespace orvane::test {
namespace {

enum class Failure { ReadOnly, DirectoryRemoved, ReplacedByDirectory, DiskFull };

class EditorFailures : public QObject {
    Q_OBJECT

private slots:
    void FailedSaveWarnsAndKeepsTheTarget_data() {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<bool>("newerLayout");
        QTest::addColumn<QString>("reason");  // what the box says below its text
        const std::tuple<const char*, Failure, const char*> rows[] = {
            {"read-only", Failure::ReadOnly, "The file is read-only."},
            {"directory removed", Failure::DirectoryRemoved, "The folder does not exist"},
            {"replaced by a directory", Failure::ReplacedByDirectory,
             "a folder, a device or a pipe"},
            {"disk full", Failure::DiskFull, "Writing failed: File too large."},
        };
        for (const auto& [name, failure, reason] : rows) {
            QTest::addRow("Save, %s", name) << failure << false << false << QString(reason);
            QTest::addRow("Save As, %s", name) << failure << true << false << QString(reason);
            QTest::addRow("Save, %s, fork 2.2", name)
                << failure << false << true << QString(reason);
        }
    }

    void FailedSaveWarnsAndKeepsTheTarget() {
        QFETCH(Failure, failure);
        QFETCH(bool, saveAs);
        QFETCH(bool, newerLayout);
        QFETCH(QString, reason);
        Session session;
        QVERIFY(QDir(session.dir.path()).mkdir(QStringLiteral("saves")));
        const QString dir = session.dir.filePath(QStringLiteral("saves"));
        const QString loaded = newerLayout ? CopyRealState(session.dir, "state-2.2.3.zst",
                                                           QStringLiteral("saves/state.zst"))
                                           : WriteState(session.dir, "saves/state.zst");
        const QString target =
            saveAs ? WriteState(session.dir, QStringLiteral("saves/copy.zs1"), {{14438, 2}})
                   : loaded;
        session.Open(loaded);
        QCOMPARE(session.messages.Take(), QStringList());
        session.Type(kMainTab, "gold", QStringLiteral("4321"));

        switch (failure) {
            case Failure::ReadOnly:
                QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
                break;
            case Failure::DirectoryRemoved:
                QVERIFY(QDir(dir).removeRecursively());
                break;
            case Failure::ReplacedByDirectory:
                QVERIFY(QFile::remove(target) && QDir().mkdir(target));
                break;
            case Failure::DiskFull:
                break;
        }
        const Snapshot before = Snapshot::Of(FsPath(target));
        const Snapshot loadedBefore = Snapshot::Of(FsPath(loaded));
        const std::vector<std::string> entries = Entries(FsPath(dir));
        auto save = [&] {
            if (saveAs) {
                session.SaveAs(target);
            } else {
                session.Sheet().Save();
            }
            const auto& shown = session.messages.shown;
            return shown.size() == 1 && shown[0].text == "Error Saving File!" &&
                   shown[0].icon == Messages::Icon::Warning && shown[0].detail.contains(reason) &&
                   shown[0].detail.endsWith(QStringLiteral("The file on disk is as it was."));
        };
        if (failure == Failure::DiskFull) {
            const std::optional<bool> warned = RunWithFileSizeLimit(100000, save);
            QVERIFY2(warned.has_value(), "the save crashed under a full disk");
            QVERIFY2(*warned, "a full disk must be reported as \"Error Saving File!\"");
        } else {
            QVERIFY2(save(), qPrintable(session.messages.Take().join(u'|')));
        }
        QVERIFY(Snapshot::Of(FsPath(target)) == before);
        QVERIFY(Snapshot::Of(FsPath(loaded)) == loadedBefore);
        QCOMPARE(Entries(FsPath(dir)), entries);
    }

    // A file that cannot be opened is named with the reason; the open file, its pages and what
    // was typed on them stay, and the refused file is left alone.
    void FilesThatCannotBeOpenedAreRefused_data() {
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
        QTest::addRow("empty") << QByteArray() << QStringLiteral("it is 0 bytes long");
        QTest::addRow("missing") << QByteArray("-") << QStringLiteral("Cannot open");
    }

    void FilesThatCannotBeOpenedAreRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, found);
        Session session;
        session.OpenQuiet();
        session.ShowTab(kCronoTab);
        session.Type(kCronoTab, "level", QStringLiteral("50"));
        const QString refused = session.dir.filePath(QStringLiteral("refused.zst"));
        QFile file(refused);
        QVERIFY(bytes == "-" ||
                (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
        file.close();

        session.Open(refused);
        QCOMPARE(session.messages.shown.size(), std::size_t{1});
        QCOMPARE(session.messages.shown[0].icon, Messages::Icon::Warning);
        const QString shown = session.messages.Take()[0];
        QVERIFY2(shown.contains(QDir::toNativeSeparators(refused)), qPrintable(shown));
        QVERIFY2(shown.contains(found), qPrintable(shown));
        if (bytes.size() > 1) {
            QVERIFY(shown.contains(QStringLiteral("it is %1 bytes long").arg(bytes.size())));
            QVERIFY(shown.contains(QStringLiteral("the Linux fork 2.2 and later (282493 bytes)")));
            QCOMPARE(ReadFile(refused), bytes);
        }
        QCOMPARE(session.Sheet().CurrentIndex(), kCronoTab);
        QCOMPARE(QString::fromStdString(session.Document().GetPath().string()), session.path);
        QCOMPARE(session.Save(), QStringList{"File Saved Successful!"});
        QCOMPARE(session.SavedChanges(), (Patch{{12819 + 18, 50}}));
    }

    // The emulator writes the same slot file whenever the player saves there: Save must not
    // silently replace that newer state.
    void SaveAsksBeforeReplacingAFileChangedOnDisk() {
        Session session;
        const QString path = CopyRealState(session.dir, QStringLiteral("state-1.51.zst"));
        session.Open(path);
        session.Type(kMainTab, "gold", QStringLiteral("4321"));
        QCOMPARE(session.Save(), QStringList{"File Saved Successful!"});
        QCOMPARE(session.messages.asked, QStringList());

        const QByteArray ours = ReadFile(path);
        QByteArray newer = ours;
        newer[0x1000] = char(newer[0x1000] ^ 0x7F);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(newer) == newer.size());
        file.close();
        session.Type(kMainTab, "saves", QStringLiteral("77"));
        for (const bool saveAs : {false, true}) {  // Save As onto the loaded file asks too
            session.messages.answers = {false};
            saveAs ? session.SaveAs(path) : session.Sheet().Save();
            QCOMPARE(session.messages.asked.size(), 1);
            QVERIFY(session.messages.asked.takeFirst().contains(QDir::toNativeSeparators(path)));
            QCOMPARE(session.messages.Take(), QStringList());
            QCOMPARE(ReadFile(path), newer);
        }
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "saves")->text(), QStringLiteral("77"));

        // Yes replaces the newer file with the edited state, whole.
        session.messages.answers = {true};
        QCOMPARE(session.Save(), QStringList{"File Saved Successful!"});
        const QByteArray saved = ReadFile(path);
        QCOMPARE(saved[0x1000], ours[0x1000]);
        QCOMPARE(saved.mid(0xC13 + 0x299C, 2), QByteArray("\x4D\x00", 2));
    }

    void RandomBytesFillEveryPageWithoutACrash() {
        Session session;
        const QString path = session.dir.filePath(QStringLiteral("noise.zst"));
        WriteBytes(FsPath(path), RandomBytes(kClassicSize, 20261207));
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

using orvane::test::EditorFailures;
ORVANE_UI_TEST(EditorFailures);

#include "editor_failures_test.moc"
