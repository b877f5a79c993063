// SPDX-License-Identifier: GPL-3.0-or-later
// tellim meeting a file it cannot use, when it opens one or saves the one it opened: it must warn,
// naming the file and the reason, and leave the file, the boxes and the current file as they were.

#include "tellim_fixtures.h"

namespace fs = std::filesystem;
using namespace orvane::test;

namespace {

struct Case {
    const char* name;
    bool save;                               // Save the file opened, else Open another
    void (*change)(const fs::path& target);  // done after the first Open
    std::uint64_t maxSize;  // how far files may grow, as on a full disk; 0: no limit
    const char* reason;
};

// The state opened is one of the fork's 2.2 releases: its play time lies at 4151 and its names
// from 14424, so the full disks fall before the time and between it and the names.
const Case kCases[] = {
    {"open missing", false, [](const fs::path& f) { fs::remove(f); }, 0, "the file does not exist"},
    {"open a folder", false,
     [](const fs::path& f) {
         fs::remove(f);
         fs::create_directory(f);
     },
     0, "it is not a regular file"},
    {"open one byte short of 1.42", false,
     [](const fs::path& f) { WriteBytes(f, FillerBytes(274046)); }, 0,
     "the file is 274046 bytes long and does not start with the header of a save state"},
    {"open new header, size of no version", false,
     [](const fs::path& f) { WriteBytes(f, WithHeader(FillerBytes(282490), kNewHeader)); }, 0,
     "the file is 282490 bytes long and starts with the header of a save state (\"ZSNES Save "
     "State File V143\"), but no emulator version writes states of that length"},
    {"open header shifted by a byte", false,
     [](const fs::path& f) { WriteBytes(f, WithHeader(FillerBytes(282459), kNewHeader, 1)); }, 0,
     "the file is 282459 bytes long like a save state of ZSNES 1.50 and 1.51 and the Linux fork "
     "2.0, but does not start with the header of one"},
    {"save read-only", true, [](const fs::path& f) { fs::permissions(f, fs::perms::owner_read); },
     0, "the file is read-only"},
    {"save cut short", true, [](const fs::path& f) { fs::resize_file(f, 280000); }, 0,
     "the file is 280000 bytes long and starts with the header of a save state"},
    {"save disk full before the time", true, [](const fs::path&) {}, 4000,
     "a byte could not be written"},
    {"save disk full before the names", true, [](const fs::path&) {}, 10000,
     "a byte could not be written"},
};

class TellimFailures : public QObject {
    Q_OBJECT

private slots:
    void FailureWarnsAndChangesNothing_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kCases)); ++row) {
            QTest::newRow(kCases[row].name) << row;
        }
    }

    void FailureWarnsAndChangesNothing() {
        QFETCH(int, row);
        const Case& c = kCases[row];
        ScratchDir files;
        const Bytes state = WithHeader(FillerBytes(282493), kNewHeader);
        const QString opened = ToQString(WriteBytes(files / "state.zst", state));
        const fs::path target = c.save ? files / "state.zst" : WriteBytes(files / "other", state);

        ScriptedDialogs dialogs;
        Form1 form(dialogs);
        QVERIFY(form.OpenFile(opened));
        form.txtName[0]->setText(QStringLiteral("Zeal"));
        form.txtHour1->setText(QStringLiteral("9"));
        const QStringList boxes = BoxTexts(form);
        c.change(target);
        const std::string before = Snapshot(files.Path());

        const auto failsSafely = [&] {
            dialogs.answers << ToQString(target);
            c.save ? form.mnuSave_Click() : form.mnuOpen_Click();
            const QString text = dialogs.shown.value(0);
            const bool ok =
                dialogs.shown.size() == 1 && BoxTexts(form) == boxes &&
                form.CurrentFile() == opened &&
                text.startsWith(QStringLiteral("warning|tellim|Cannot %1 %2: %3")
                                    .arg(c.save ? "save" : "open", ToQString(target), c.reason)) &&
                (!c.save || text.endsWith(" Nothing was saved.")) &&
                (!text.contains("bytes long") ||
                 text.contains(". tellim opens the save states of ZSNES 1.42 and older (274047 "
                               "bytes), ZSNES 1.50 and 1.51 and the Linux fork 2.0 (282459 "
                               "bytes), the Linux fork 2.1 (282489 bytes) and the Linux fork "
                               "2.2 and later (282493 bytes)."));
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

QTEST_MAIN(TellimFailures)
#include "tellim_failures_test.moc"
