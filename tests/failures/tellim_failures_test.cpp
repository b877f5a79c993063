// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's Save under every failure a file can meet after it was opened: each must warn
// instead of reporting success, and the file must stay exactly as it was.

#include <QDir>
#include <QtTest>
#include <fstream>

#include "form1.h"
#include "module1.h"
#include "tellim_fixtures.h"
#include "text_box.h"

namespace fs = std::filesystem;
using namespace orvane::test;

namespace {

enum class Failure {
    ReadOnly,
    Deleted,
    CutShort,
    ReplacedByUnknownSize,
    HeaderLost,
    DirectoryRemoved,
    ReplacedByDirectory,
    DiskFullBeforeTime,
    DiskFullBeforeNames,
};

class TellimSaveFailures : public QObject {
    Q_OBJECT

private slots:
    void FailedSaveWarnsAndKeepsTheFile_data() {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only") << Failure::ReadOnly << "the file is read-only";
        QTest::newRow("deleted after Open") << Failure::Deleted << "the file does not exist";
        QTest::newRow("cut short after Open")
            << Failure::CutShort << "280000 bytes long and starts with the header of a save state";
        QTest::newRow("replaced by a state of no known size")
            << Failure::ReplacedByUnknownSize
            << "282490 bytes long and starts with the header of a save state";
        QTest::newRow("header overwritten after Open")
            << Failure::HeaderLost
            << "282493 bytes long like a save state of the Linux fork 2.2 and later, but does not "
               "start with the header";
        QTest::newRow("directory removed")
            << Failure::DirectoryRemoved << "the file does not exist";
        QTest::newRow("replaced by a directory") << Failure::ReplacedByDirectory << "";
        // The limits fall before the play time (4151 in this layout) and between it and the names
        // (from 14424).
        QTest::newRow("disk full before the time") << Failure::DiskFullBeforeTime << "";
        QTest::newRow("disk full between time and names") << Failure::DiskFullBeforeNames << "";
    }

    void FailedSaveWarnsAndKeepsTheFile() {
        QFETCH(Failure, failure);
        QFETCH(QString, reason);
        ScratchDir files;
        const fs::path dir = files / "saves";
        fs::create_directory(dir);
        const fs::path path = dir / "state.zst";
        // A state of the fork's 2.2 releases, whose fields lie 34 bytes further on than in 1.42.
        WriteBytes(path, WithHeader(FillerBytes(282493), kNewHeader));

        ScriptedDialogs dialogs;
        Form1 form(dialogs);
        dialogs.answers << ToQString(path);
        form.mnuOpen_Click();
        QCOMPARE(form.CurrentFile(), ToQString(path));
        QVERIFY(dialogs.shown.isEmpty());
        form.txtName[0]->setText(QStringLiteral("Zeal"));
        form.txtHour1->setText(QStringLiteral("9"));

        std::uint64_t limit = 0;
        switch (failure) {
            case Failure::ReadOnly:
                MakeReadOnly(path);
                break;
            case Failure::Deleted:
                fs::remove(path);
                break;
            case Failure::CutShort:
                fs::resize_file(path, 280000);
                break;
            case Failure::ReplacedByUnknownSize:
                fs::rename(
                    WriteBytes(files / "other.zst", WithHeader(FillerBytes(282490), kNewHeader)),
                    path);
                break;
            case Failure::HeaderLost: {
                std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
                out.write("z", 1);
                break;
            }
            case Failure::DirectoryRemoved:
                fs::remove_all(dir);
                break;
            case Failure::ReplacedByDirectory:
                fs::remove(path);
                fs::create_directory(path);
                break;
            case Failure::DiskFullBeforeTime:
                limit = 4000;
                break;
            case Failure::DiskFullBeforeNames:
                limit = 10000;
                break;
        }
        const Snapshot before = Snapshot::Of(path);

        auto save = [&] {
            form.mnuSave_Click();
            return dialogs.shown.size() == 1 && dialogs.shown[0].icon == Dialogs::Icon::Warning &&
                   !dialogs.shown[0].text.contains(QStringLiteral("Successfully"));
        };
        if (limit != 0) {
            const auto warned = RunWithFileSizeLimit(limit, save);
            QVERIFY2(warned.has_value(), "the save crashed under a full disk");
            QVERIFY2(*warned, "a full disk must be reported, not \"File Saved Successfully!\"");
        } else {
            QVERIFY2(save(), dialogs.shown.isEmpty() ? "no message"
                                                     : qPrintable(dialogs.shown.back().text));
            QVERIFY2(dialogs.shown[0].text.contains(ToQString(path)), "the warning names the file");
            QVERIFY2(dialogs.shown[0].text.contains(reason), qPrintable(dialogs.shown[0].text));
            QVERIFY(dialogs.shown[0].text.contains(QStringLiteral("Nothing was saved.")));
        }
        QVERIFY(Snapshot::Of(path) == before);
    }
};

}  // namespace

QTEST_MAIN(TellimSaveFailures)
#include "tellim_failures_test.moc"
