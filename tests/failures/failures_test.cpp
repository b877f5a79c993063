// SPDX-License-Identifier: GPL-3.0-or-later
// Both programs' Open and Save under every failure a disk or a file can offer: each must say so,
// naming the file and the reason, and leave the files, and what the user typed, as they were.

#include <sys/stat.h>

#include <fstream>

#include "editor_fixtures.h"
#include "tellim_fixtures.h"

namespace fs = std::filesystem;

namespace orvane::test {
namespace {

using Break = bool (*)(const QString& target, const QString& dir);

// How the target fails after the Open (a full disk is a size limit instead), and what the
// warning says below its text.
const std::tuple<const char*, Break, const char*> kFailures[] = {
    {"read-only",
     [](const QString& target, const QString&) {
         return QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup);
     },
     "The file is read-only."},
    {"directory removed",
     [](const QString&, const QString& dir) { return QDir(dir).removeRecursively(); },
     "The folder does not exist"},
    {"replaced by a directory",
     [](const QString& target, const QString&) {
         return QFile::remove(target) && QDir().mkdir(target);
     },
     "a folder, a device or a pipe"},
    {"disk full", nullptr, "Writing failed: File too large."},
};

struct TellimCase {
    const char* name;
    const char* real;  // the state in tests/data opened, or a fork 2.2 state made by code
    bool save;         // Save the file opened, else Open another
    void (*change)(const fs::path& target);  // done after the first Open
    std::uint64_t maxSize;  // how far files may grow, as on a full disk; 0: no limit
    const char* reason;
};

// The fork 2.2 state made by code keeps its play time at 4151 and its names from 14424, so the
// full disks fall before the time and between it and the names. A compressed state is never
// written in place.
const char* const kCompressed = "snes9x-1.63.000";
const char* const kNotAFile = "it is not a regular file";
const TellimCase kTellimCases[] = {
    {"open missing", nullptr, false, [](const fs::path& f) { fs::remove(f); }, 0,
     "the file does not exist"},
    {"open a folder", nullptr, false,
     [](const fs::path& f) {
         fs::remove(f);
         fs::create_directory(f);
     },
     0, kNotAFile},
    {"open one byte short of 1.42", nullptr, false,
     [](const fs::path& f) { WriteBytes(f, FillerBytes(274046)); }, 0,
     "it is 274046 bytes long and does not start with the header of a save state"},
    {"open new header, size of no version", nullptr, false,
     [](const fs::path& f) { WriteBytes(f, WithHeader(FillerBytes(282490), kNewHeader)); }, 0,
     "it is 282490 bytes long with the header of a state of ZSNES 1.50 and later"},
    {"open header shifted by a byte", nullptr, false,
     [](const fs::path& f) { WriteBytes(f, WithHeader(FillerBytes(282459), kNewHeader, 1)); }, 0,
     "it is 282459 bytes long and does not start with the header of a save state"},
    {"open compressed, its check wrong", kCompressed, false,
     [](const fs::path& f) {
         Bytes bytes = ReadBytes(f);
         bytes[bytes.size() - 8] ^= 1;
         WriteBytes(f, bytes);
     },
     0, "it is a gzip-compressed file whose data does not match its CRC-32"},
    {"save read-only", nullptr, true,
     [](const fs::path& f) { fs::permissions(f, fs::perms::owner_read); }, 0,
     "the file is read-only"},
    {"save cut short", nullptr, true, [](const fs::path& f) { fs::resize_file(f, 280000); }, 0,
     "it is 280000 bytes long with the header of a state of ZSNES 1.50 and later, so it may "
     "have been cut short"},
    {"save disk full before the time", nullptr, true, [](const fs::path&) {}, 4000,
     "a byte could not be written"},
    {"save disk full before the names", nullptr, true, [](const fs::path&) {}, 10000,
     "a byte could not be written"},
    {"save compressed, disk full", kCompressed, true, [](const fs::path&) {}, 1000,
     "the new file could not be written or take the old one's place (File too large)"},
    {"save compressed beside a hard link", kCompressed, true,
     [](const fs::path& f) { fs::create_hard_link(f, f.string() + ".link"); }, 0,
     "the file is compressed, so only a whole new file can replace it, and that would leave "
     "its other names (hard links) with the old state"},
};

class Failures : public QObject {
    Q_OBJECT

private slots:
    void FailedSaveWarnsAndKeepsTheTarget_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("saveAs");
        for (int row = 0; row < int(std::size(kFailures)); ++row) {
            const char* name = std::get<0>(kFailures[row]);
            QTest::addRow("Save, %s", name) << row << false;
            QTest::addRow("Save As, %s", name) << row << true;
        }
    }

    void FailedSaveWarnsAndKeepsTheTarget() {
        QFETCH(int, row);
        QFETCH(bool, saveAs);
        const auto& [name, failure, reason] = kFailures[row];
        Session session;
        QVERIFY(QDir(session.dir.path()).mkdir(QStringLiteral("saves")));
        const QString dir = session.dir.filePath(QStringLiteral("saves"));
        const QString loaded = WriteState(session.dir, "saves/state.zst");
        const QString target =
            saveAs ? WriteState(session.dir, QStringLiteral("saves/copy.zs1"), {{14438, 2}})
                   : loaded;
        session.Open(loaded);
        QCOMPARE(session.messages.Take(), QStringList());
        session.Type(kMainTab, "gold", QStringLiteral("4321"));
        QVERIFY(failure == nullptr || failure(target, dir));
        const std::string before = Snapshot(FsPath(dir));  // the files and nothing beside them
        auto save = [&, reason = reason] {                 // clang before 16 captures no binding
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
        QVERIFY2(InChild(save, failure == nullptr ? 100000 : 0).value_or(false),
                 "no \"Error Saving File!\" with the reason, or a crash");
        QVERIFY(Snapshot(FsPath(dir)) == before);
    }

    // A file that cannot be opened is named with the reason; the open file, its pages and what
    // was typed on them stay, and the refused file is left alone.
    void FilesThatCannotBeOpenedAreRefused_data() {
        QTest::addColumn<int>("size");  // of a filler file; -1 missing, -2 a folder, -3 a FIFO
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("found");
        const QByteArray v143 = QByteArray::fromStdString(kNewHeader);
        const QString none = QStringLiteral("does not start with the header of a save state");
        const QString folder = QStringLiteral("not a file but a folder, a device or a pipe");
        // A byte either side of each newer layout's size.
        for (const int near : {282458, 282460, 282488, 282490, 282492, 282494}) {
            QTest::addRow("%d bytes with the newer header", near)
                << near << v143 << 0 << QStringLiteral("with the header of a state of ZSNES 1.50");
        }
        QTest::addRow("newer state cut short")
            << 150000 << v143 << 0 << QStringLiteral("so it may have been cut short");
        QTest::addRow("known size without the header") << 282459 << QByteArray() << 0 << none;
        QTest::addRow("header shifted by a byte") << 282459 << v143 << 1 << none;
        QTest::addRow("a byte short of the oldest") << 274046 << QByteArray() << 0 << none;
        QTest::addRow("a byte past the oldest") << 274048 << QByteArray() << 0 << none;
        QTest::addRow("older header at the newest size")
            << 282493 << QByteArray::fromStdString(kOldHeader) << 0
            << QStringLiteral("with the header of a state of ZSNES 1.42 and older");
        QTest::addRow("unknown version")
            << 282459 << QByteArray("ZSNES Save State File V150\x1A") << 0
            << QStringLiteral("an emulator version that this program does not know (\"V150\")");
        QTest::addRow("empty") << 0 << QByteArray() << 0 << QStringLiteral("it is 0 bytes long");
        QTest::addRow("missing") << -1 << QByteArray() << 0 << QStringLiteral("Cannot open");
        QTest::addRow("a folder") << -2 << QByteArray() << 0 << folder;
        QTest::addRow("a FIFO, which must not block") << -3 << QByteArray() << 0 << folder;
    }

    void FilesThatCannotBeOpenedAreRefused() {
        QFETCH(int, size);
        QFETCH(QByteArray, header);
        QFETCH(int, at);
        QFETCH(QString, found);
        Session session;
        session.OpenQuiet();
        session.ShowTab(kCronoTab);
        session.Type(kCronoTab, "level", QStringLiteral("50"));
        const QString refused = session.dir.filePath(QStringLiteral("refused.zst"));
        const Bytes bytes =
            size < 0 ? Bytes() : WithHeader(FillerBytes(size), header.toStdString(), at);
        if (size >= 0) {
            WriteBytes(FsPath(refused), bytes);
        }
        QVERIFY(size != -2 || QDir().mkdir(refused));
        QVERIFY(size != -3 || ::mkfifo(QFile::encodeName(refused).constData(), 0600) == 0);

        session.Open(refused);
        QCOMPARE(session.messages.shown.size(), std::size_t{1});
        QCOMPARE(session.messages.shown[0].icon, Messages::Icon::Warning);
        const QString shown = session.messages.Take()[0];
        QVERIFY2(shown.contains(QDir::toNativeSeparators(refused)), qPrintable(shown));
        QVERIFY2(shown.contains(found), qPrintable(shown));
        if (size >= 0) {
            QVERIFY(shown.contains(QStringLiteral("it is %1 bytes long").arg(size)));
            QVERIFY(shown.contains(QStringLiteral("Linux fork 2.2 and later (282493 bytes)")));
            QCOMPARE(ReadFile(refused), bytes);
        }
        QCOMPARE(session.Sheet().CurrentIndex(), kCronoTab);
        QCOMPARE(QString::fromStdString(session.Document().GetPath().string()), session.path);
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(session.SavedChanges(), (Patch{{12819 + 18, 50}}));
    }

    // The emulator writes the same slot file whenever the player saves there: Save must not
    // silently replace that newer state.
    void SaveAsksBeforeReplacingAFileChangedOnDisk() {
        Session session;
        const QString path =
            WriteFile(session.dir, "state.zst", ReadBytes(TestData("state-1.51.zst")));
        session.Open(path);
        session.Type(kMainTab, "gold", QStringLiteral("4321"));
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(session.messages.asked, QStringList());

        const Bytes ours = ReadFile(path);
        Bytes newer = ours;
        newer[0x1000] ^= 0x7F;
        WriteBytes(FsPath(path), newer);
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
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(Changes(ours, ReadFile(path)), LittleEndian(13743, 77, 2));  // Number of Saves
    }

    // Written in place (it has another hard link), the file's old bytes are held to be put back
    // if the save fails: one larger than any state is refused before memory is taken for them.
    void SaveIntoAFileLargerThanAnyStateIsRefused() {
        Session session;
        session.OpenQuiet();
        session.Type(kMainTab, "gold", QStringLiteral("4321"));
        const fs::path path = FsPath(session.path);
        fs::create_hard_link(path, path.string() + ".link");
        // Sparse, so it takes no disk; four times the largest a state may decode to.
        const std::uintmax_t huge = std::uintmax_t{64} << 20;
        fs::resize_file(path, huge);
        const auto refused = [&] {
            session.messages.answers = {true};  // replace the file that changed on disk
            session.Sheet().Save();
            const auto& shown = session.messages.shown;
            return session.messages.asked.size() == 1 && shown.size() == 1 &&
                   shown[0].text == "Error Saving File!" &&
                   shown[0].detail ==
                       "The file is larger than any save state. The file on disk "
                       "is as it was.";
        };
        QVERIFY2(InChild(refused).value_or(false), "no refusal with the reason, or a crash");
        QCOMPARE(fs::file_size(path), huge);
        Bytes head(session.opened.size());
        std::ifstream in(path, std::ios::binary);
        QVERIFY(in.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size())));
        QCOMPARE(head, session.opened);
    }

    // tellim meeting a file it cannot use, when it opens one or saves the one it opened: the boxes
    // and the current file stay as they were too.
    // A compressed file is replaced as a whole: a save killed at any moment, by either program,
    // leaves the old state or the new one, whole, and nothing beside it.
    void CompressedSaveKilledAtAnyMomentLeavesOneWholeState() {
        ScratchDir files;
        const fs::path path = files / "game.000";
        const Bytes old = ReadBytes(TestData(kCompressed));
        StateDocument doc;
        QVERIFY(doc.Load(WriteBytes(path, old)));
        doc.SetGeneral(kGeneralGold, 7);
        tellim::StateEdits edits;
        edits.times = {1, 2, 3, 4};
        edits.names[6] = U"Zeal";
        const std::pair<const char*, std::function<bool()>> saves[] = {
            {"orvane", [&doc] { return bool(doc.Save()); }},
            {"tellim",
             [&] {
                 tellim::FileKind kind;
                 bool undone = true;
                 return tellim::WriteState(path, edits, kind, undone) == tellim::FileError::None;
             }},
        };
        for (const auto& [program, save] : saves) {
            WriteBytes(path, old);
            QVERIFY(save());
            const Bytes saved = ReadBytes(path);
            QVERIFY(saved != old);
            bool ended = false;
            for (int delay = 25; !ended && delay < 2'000'000; delay *= 2) {
                WriteBytes(path, old);
                ended = EndsBeforeKilled(save, std::chrono::microseconds(delay));
                const Bytes now = ReadBytes(path);
                QVERIFY2(now == old || now == saved, program);
                QCOMPARE(Entries(files.Path()), std::vector<std::string>{"game.000"});
            }
            QVERIFY2(ended, program);
        }
    }

    void TellimWarnsAndChangesNothing_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kTellimCases)); ++row) {
            QTest::newRow(kTellimCases[row].name) << row;
        }
    }

    void TellimWarnsAndChangesNothing() {
        QFETCH(int, row);
        const TellimCase& c = kTellimCases[row];
        ScratchDir files;
        const Bytes state = c.real != nullptr ? ReadBytes(TestData(c.real))
                                              : WithHeader(FillerBytes(282493), kNewHeader);
        const QString opened = ToQString(WriteBytes(files / "state.zst", state));
        const fs::path target = c.save ? files / "state.zst" : WriteBytes(files / "other", state);

        ScriptedDialogs dialogs;
        MainWindow window(dialogs);
        QVERIFY(window.OpenFile(opened));
        window.NameBoxes()[0]->setText(QStringLiteral("Zeal"));
        window.HourTensBox()->setText(QStringLiteral("9"));
        const QStringList boxes = BoxTexts(window);
        c.change(target);
        const std::string before = Snapshot(files.Path());

        const auto failsSafely = [&] {
            dialogs.answers << ToQString(target);
            c.save ? window.Save() : window.Open();
            const QString text = dialogs.shown.value(0);
            const bool ok =
                dialogs.shown.size() == 1 && BoxTexts(window) == boxes &&
                window.CurrentFile() == opened &&
                text.startsWith(QStringLiteral("warning|tellim|Cannot %1 %2: %3")
                                    .arg(c.save ? "save" : "open", ToQString(target), c.reason)) &&
                (!c.save || text.endsWith(" Nothing was saved.")) &&
                // A file read but refused: what it is, then what tellim opens.
                (!QString(c.reason).startsWith("it is ") || c.reason == kNotAFile ||
                 (text.contains(". tellim opens the game's battery save (.srm) and the save states "
                                "of ZSNES 1.42 and older (274047 "
                                "bytes), ") &&
                  text.contains("of RetroArch with its snes9x, snes9x2010, snes9x2002, bsnes 115, "
                                "bsnes-mercury 094, Mesen-S, snes9x2005 and snes9x2005 plus cores, "
                                "compressed or not.")));
            if (!ok) {
                qWarning() << dialogs.shown;
            }
            return ok;
        };
        QVERIFY2(InChild(failsSafely, c.maxSize).value_or(false),
                 "no warning, not this one, or the boxes or file changed");
        QVERIFY(Snapshot(files.Path()) == before);
    }
};

}  // namespace
}  // namespace orvane::test

QTEST_MAIN(orvane::test::Failures)

#include "failures_test.moc"
