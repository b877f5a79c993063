// SPDX-License-Identifier: GPL-3.0-or-later
// What both programs offer the desktop, at the scale this run was started with (QT_SCALE_FACTOR):
// the command line each reads before its window exists (the script command_line runs them), the
// editor's file dialog filters, and their windows, whose controls must lie inside them and not
// overlap. No check measures a text, so which fonts are installed cannot decide the result.

#include "about_dialog.h"
#include "about_window.h"
#include "arguments.h"
#include "command_line.h"
#include "editor_fixtures.h"
#include "tellim_fixtures.h"

using namespace orvane;
using namespace orvane::test;

namespace {

// "open", "open NAME", "help", "version" or "refuse": both programs number their actions so.
QString Asked(int action, const QString& file) {
    const QString asked = QStringList{"open", "help", "version", "refuse"}.value(action);
    return action == 0 && !file.isNull() ? asked + QLatin1Char(' ') + file : asked;
}

// The names a file dialog lists, and can be chosen, in the folder it shows.
QStringList Listed(const QFileDialog& dialog) {
    const QAbstractProxyModel* proxy = dialog.proxyModel();
    const auto* files = qobject_cast<const QFileSystemModel*>(proxy->sourceModel());
    const QModelIndex folder = proxy->mapFromSource(files->index(dialog.directory().path()));
    QStringList names;
    for (int row = 0; row < proxy->rowCount(folder); ++row) {
        const QModelIndex entry = proxy->index(row, 0, folder);
        if (proxy->flags(entry) & Qt::ItemIsEnabled) {
            names << entry.data().toString();
        }
    }
    names.sort();
    return names;
}

// The controls, frames and labels that the container or its frames hold (the parts of a control
// are the control's business) lie inside it; where names it.
void CheckWindow(QWidget* container, const QString& where) {
    const auto describe = [](QWidget* item) {
        return QStringLiteral("%1 \"%2\"")
            .arg(QString::fromLatin1(item->metaObject()->className()),
                 QAccessible::queryAccessibleInterface(item)->text(QAccessible::Name));
    };
    QList<QWidget*> items;
    for (QWidget* item : container->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(item);
        if (item->isVisibleTo(container) && !item->isWindow() &&
            (item->parentWidget() == container || qobject_cast<QGroupBox*>(item->parentWidget())) &&
            (!label || !label->text().isEmpty() || !label->pixmap().isNull())) {
            items << item;
            QVERIFY2(
                container->rect().contains(QRect(item->mapTo(container, QPoint()), item->size())),
                qPrintable(where + ": outside: " + describe(item)));
        }
    }
    QVERIFY2(!items.isEmpty(), qPrintable(where + " shows nothing"));
    // Frames hold other items, so only the items among the same frame's children are compared.
    // The layouts let labels share room, and whether their texts then meet depends on the font,
    // so two labels are not compared. tellim's boxes share a border line with their neighbours.
    const auto covered = [](const QWidget* item) {
        return qobject_cast<const TextBox*>(item) ? item->geometry().adjusted(1, 1, -1, -1)
                                                  : item->geometry();
    };
    for (qsizetype i = 0; i < items.size(); ++i) {
        for (QWidget* b : items.mid(i + 1)) {
            QWidget* a = items[i];
            const bool compared = a->parentWidget() == b->parentWidget() &&
                                  !qobject_cast<QGroupBox*>(a) && !qobject_cast<QGroupBox*>(b) &&
                                  !(qobject_cast<QLabel*>(a) && qobject_cast<QLabel*>(b));
            QVERIFY2(!compared || !covered(a).intersects(covered(b)),
                     qPrintable(where + ": overlap: " + describe(a) + " and " + describe(b)));
        }
    }
}

}  // namespace

class Desktop : public QObject {
    Q_OBJECT

private slots:
    // Without this a run meant for 2x could pass at 1x unnoticed.
    void RunsAtTheScaleItWasStartedWith() {
        QCOMPARE(qApp->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    }

    void EveryWindowKeepsItsControlsApart() {
        Session session;
        session.app.Start(ORVANE_DEMO_STATE);
        EditorSheet& sheet = session.Sheet();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        for (int index = 0; index < sheet.PageCount(); ++index) {
            QVERIFY(sheet.SwitchTo(index));
            StatePage* page = sheet.CurrentPage();
            QVERIFY2(page->IsLoaded(), qPrintable(page->Caption()));
            QVERIFY2(page->parentWidget()->rect().contains(page->geometry()),
                     qPrintable(page->Caption()));
            CheckWindow(page, page->Caption());
        }
        // The tabs and the page they show keep apart too.
        CheckWindow(sheet.centralWidget(), QStringLiteral("sheet"));
        QCOMPARE(session.messages.Take() + session.messages.asked, QStringList());

        AboutDialog about;
        AboutWindow tellimAbout;
        ScriptedDialogs dialogs;
        MainWindow tellimWindow(dialogs);
        QVERIFY(tellimWindow.OpenFile(ORVANE_DEMO_STATE) && dialogs.shown.isEmpty());
        for (QWidget* window :
             std::initializer_list<QWidget*>{&about, &tellimAbout, &tellimWindow}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            CheckWindow(window == &tellimWindow ? tellimWindow.centralWidget() : window,
                        window->windowTitle());
        }
    }

    void BothProgramsReadTheirCommandLineAlike_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("asked");
        QTest::newRow("nothing") << QStringList() << "open";
        QTest::newRow("a file") << QStringList{"a.zst"} << "open a.zst";
        QTest::newRow("-h after a file") << QStringList{"a.zst", "-h"} << "help";
        QTest::newRow("-- ends the options") << QStringList{"--", "--help"} << "open --help";
        QTest::newRow("a lone dash is a name") << QStringList{"-"} << "open -";
        QTest::newRow("two after --") << QStringList{"--", "a", "b"} << "refuse";
    }

    void BothProgramsReadTheirCommandLineAlike() {
        QFETCH(QStringList, words);
        QFETCH(QString, asked);
        const CommandLine editor = ParseCommandLine(words);
        QCOMPARE(Asked(int(editor.action), editor.file.value_or(QString())), asked);
        std::vector<std::string> plain;
        std::ranges::transform(words, std::back_inserter(plain), &QString::toStdString);
        const Arguments tellim = ParseArguments(plain);
        QCOMPARE(Asked(int(tellim.action),
                       tellim.file ? QString::fromStdString(*tellim.file) : QString()),
                 asked);
    }

    // Each emulator's filter lists its file names; Qt takes a choice's pattern from its
    // parentheses, and "All Files (*.*)" alone would hide a name without a dot. The dialog starts
    // on the filter it is given, and a save dialog gives a name typed without an extension the
    // chosen filter's.
    void FiltersListEachEmulatorsFiles_data() {
        QTest::addColumn<QFileDialog::AcceptMode>("mode");
        QTest::newRow("open") << QFileDialog::AcceptOpen;
        QTest::newRow("save as") << QFileDialog::AcceptSave;
    }

    void FiltersListEachEmulatorsFiles() {
        QFETCH(QFileDialog::AcceptMode, mode);
        ScratchDir folder;
        std::filesystem::create_directory(folder / "states");
        const QStringList everything = {
            "README",       "game.000",   "game.009",        "game.00a",     "game.bsz",
            "game.mca",     "game.mcz",   "game.md5.mc0",    "game.md5.srm", "game.sav",
            "game.srm",     "game.state", "game.state.auto", "game.state1",  "game.state12",
            "game.statex",  "game_1.mss", "notes.txt",       "state.zs1",    "state.zst",
            "state.zst.bak"};
        for (const QString& name : everything) {
            WriteBytes(folder / name.toStdString(), {});
        }
        const std::pair<const char*, QStringList> kinds[] = {
            {"ZSnes Save States (*.zs?)", {"state.zs1", "state.zst"}},
            {"Snes9x Save States (*.00[0-9])", {"game.000", "game.009"}},
            {"RetroArch Save States (*.state *.state[1-9]* *.state.auto)",
             {"game.state", "game.state.auto", "game.state1", "game.state12"}},
            {"Mednafen Save States (*.mc[0-9] *.mca)", {"game.mca", "game.md5.mc0"}},
            {"Mesen Save States (*.mss)", {"game_1.mss"}},
            {"Bsnes Save States (*.bsz)", {"game.bsz"}},
            {"Battery Saves (*.srm *.sav)", {"game.md5.srm", "game.sav", "game.srm"}},
            {"All Files (*.*)", everything},
        };
        const char* suffixes[] = {"zst", "000", "state", "mc0", "mss", "bsz", "srm", "srm"};
        QFileDialog dialog;
        dialog.setAcceptMode(mode);
        SetUpSaveStateDialog(dialog, 2);
        dialog.setDirectory(ToQString(folder.Path()));
        QCOMPARE(dialog.selectedNameFilter(), QString(kinds[2].first));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Chosen as a user chooses them, in the dialog's list of filters.
        auto* filters = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(filters != nullptr);
        filters->setFocus();
        for (int i = 0; i < 2; ++i) {
            QTest::keyClick(filters, Qt::Key_Up);
        }
        for (int i = 0; i < int(std::size(kinds)); ++i) {
            QCOMPARE(filters->currentText(), QString(kinds[i].first));
            QTRY_COMPARE_WITH_TIMEOUT(Listed(dialog), QStringList(kinds[i].second) << "states",
                                      2000);
            if (mode == QFileDialog::AcceptSave) {
                QCOMPARE(dialog.defaultSuffix(), QString(suffixes[i]));
            }
            QTest::keyClick(filters, Qt::Key_Down);
        }
    }
};

QTEST_MAIN(Desktop)
#include "desktop_test.moc"
