// The editor's Save and Save As under every failure a disk can offer: each must warn "Error Saving
// File!" and leave the target exactly as it was, with nothing left beside it.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include "file_size_limit.h"
#include "state_page.h"
#include "ui_fixtures.h"

namespace orvane::test {
namespace {

enum class Failure { ReadOnly, DirectoryRemoved, ReplacedByDirectory, DiskFull };

// What a path held before the save: a file's bytes, an empty directory, or nothing.
struct Snapshot {
    bool isFile = false;
    bool isDirectory = false;
    QByteArray bytes;
    QStringList entries;

    static Snapshot Of(const QString& path) {
        Snapshot s;
        const QFileInfo info(path);
        s.isFile = info.isFile();
        s.isDirectory = info.isDir();
        if (s.isFile) {
            s.bytes = ReadFile(path);
        }
        if (s.isDirectory) {
            s.entries =
                QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        }
        return s;
    }
    bool operator==(const Snapshot&) const = default;
};

QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

class EditorSaveFailures : public QObject {
    Q_OBJECT

private slots:
    void FailedSaveWarnsAndKeepsTheTarget_data() {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<bool>("saveAs");
        const std::pair<const char*, Failure> failures[] = {
            {"read-only", Failure::ReadOnly},
            {"directory removed", Failure::DirectoryRemoved},
            {"replaced by a directory", Failure::ReplacedByDirectory},
            {"disk full", Failure::DiskFull},
        };
        for (const auto& [name, failure] : failures) {
            QTest::addRow("Save, %s", name) << failure << false;
            QTest::addRow("Save As, %s", name) << failure << true;
        }
    }

    void FailedSaveWarnsAndKeepsTheTarget() {
        QFETCH(Failure, failure);
        QFETCH(bool, saveAs);

        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkdir(QStringLiteral("saves")));
        const QString dir = root.filePath(QStringLiteral("saves"));
        const QString loaded = WriteState(root, QStringLiteral("saves/state.zst"), {{14438, 1}});
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
        const Snapshot before = Snapshot::Of(target);
        const Snapshot loadedBefore = Snapshot::Of(loaded);
        const QStringList entriesBefore = Entries(dir);

        auto save = [&] {
            if (saveAs) {
                session.SaveAs(target);
            } else {
                session.Sheet().Save();
            }
            const bool warned = session.messages.shown.size() == 1 &&
                                session.messages.shown[0].text == "Error Saving File!" &&
                                session.messages.shown[0].icon == Messages::Icon::Warning;
            return warned;
        };
        if (failure == Failure::DiskFull) {
            const auto warned = failures::RunWithFileSizeLimit(100000, save);
            QVERIFY2(warned.has_value(), "the save crashed under a full disk");
            QVERIFY2(*warned, "a full disk must be reported as \"Error Saving File!\"");
        } else {
            QVERIFY2(save(), qPrintable(session.messages.Take().join(QLatin1Char('|'))));
        }

        QVERIFY(Snapshot::Of(target) == before);
        QVERIFY(Snapshot::Of(loaded) == loadedBefore);
        QCOMPARE(Entries(dir), entriesBefore);
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
        Bytes bytes;
        QRandomGenerator random(20261207);
        for (std::size_t offset = 0; offset < kImageSize; ++offset) {
            bytes[offset] = static_cast<std::uint8_t>(random.bounded(256));
        }
        const QString path = WriteState(root, QStringLiteral("noise.zst"), bytes);

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
