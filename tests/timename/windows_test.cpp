// SPDX-License-Identifier: GPL-3.0-or-later
// tellim's windows as a user meets them: their layout, menus and boxes, and a state of every
// emulator version opened, edited and saved in place.

#include <memory>

#include "about_window.h"
#include "decoded_state.h"
#include "tellim_fixtures.h"
#include "twips.h"

using namespace orvane::test;

class WindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_files = std::make_unique<ScratchDir>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_window = std::make_unique<MainWindow>(*m_dialogs);
    }

    void cleanup() { m_window.reset(); }

    // Positions and sizes in twips, with each control's caption, text or name for a screen reader.
    void ControlsSitAtTheirTwipPositions() {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("tellim"));
        QCOMPARE(TwipsToPixels(1440), qRound(qApp->primaryScreen()->logicalDotsPerInch()));
        QCOMPARE(m_window->centralWidget()->size(),
                 QSize(TwipsToPixels(4590), TwipsToPixels(2535)));
        AboutWindow about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About..."));
        QCOMPARE(about.size(), QSize(TwipsToPixels(3390), TwipsToPixels(2775)));
        const auto& frame = m_window->NameFrames();
        std::vector<std::tuple<QWidget*, TwipRect, QString>> placed = {
            {frame[0], {0, 0, 1455, 855}, "Crono"},
            {frame[1], {1560, 0, 1455, 855}, "Marle"},
            {frame[2], {3120, 0, 1455, 855}, "Lucca"},
            {frame[3], {0, 840, 1455, 855}, "Frog"},
            {frame[4], {3120, 840, 1455, 855}, "Robo"},
            {frame[5], {0, 1680, 1455, 855}, "Ayla"},
            {frame[6], {3120, 1680, 1455, 855}, "Magus"},
            {m_window->TimeFrame(), {1560, 1320, 1455, 855}, "Time Editor"},
            {m_window->HourTensBox(), {120, 360, 255, 285}, "Hours, tens digit"},
            {m_window->HourUnitsBox(), {360, 360, 255, 285}, "Hours, units digit"},
            {m_window->ColonLabel(), {720, 360, 135, 255}, ":"},
            {m_window->MinuteTensBox(), {840, 360, 255, 285}, "Minutes, tens digit"},
            {m_window->MinuteUnitsBox(), {1080, 360, 255, 285}, "Minutes, units digit"},
            {about.TitleLabel(), {0, 0, 3375, 855}, "tellim"},
            {about.AuthorFrame(), {240, 960, 2895, 1095}, "Programmed by:"},
            {about.OkButton(), {2160, 2280, 1095, 375}, "OK"},
        };
        for (std::size_t i = 0; i < frame.size(); ++i) {
            QCOMPARE(m_window->NameBoxes()[i]->parentWidget(), frame[i]);
            placed.push_back({m_window->NameBoxes()[i], {240, 360, 975, 285}, frame[i]->title()});
        }
        for (const auto& [widget, rect, name] : placed) {
            QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
            QCOMPARE(widget->geometry(), ToPixels(rect));
        }
        // The face a family resolves to depends on what is installed; what the window asks for
        // does not.
        for (const auto& [font, points, bold] :
             {std::tuple{m_window->ColonLabel()->font(), 9.75, true},
              {about.TitleLabel()->font(), 18.0, false}}) {
            QCOMPARE(font.families().value(0), QStringLiteral("MS Sans Serif"));
            QCOMPARE(font.styleHint(), QFont::SansSerif);
            QCOMPARE(font.pointSizeF(), points);
            QCOMPARE(font.bold(), bold);
        }
    }

    void StartsEmptyTabsInOrderAndAnswersItsMenus() {
        QStringList captions;
        for (QAction* item : m_window->menuBar()->actions() + m_window->FileMenu()->actions()) {
            captions << item->text() + QLatin1Char('|') + item->shortcut().toString();
        }
        QCOMPARE(captions, (QStringList{"&File|", "&About|", "&Open|Ctrl+O", "&Save|Ctrl+S", "|",
                                        "&Exit|Ctrl+Q"}));
        QVERIFY(m_window->FileMenu()->actions()[2]->isSeparator() &&
                m_window->AboutAction()->menu() == nullptr);

        QCOMPARE(BoxTexts(*m_window), QStringList(11, QString()));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QList<QWidget*> order(m_window->NameBoxes().begin(), m_window->NameBoxes().end());
        order << m_window->HourTensBox() << m_window->HourUnitsBox() << m_window->MinuteTensBox()
              << m_window->MinuteUnitsBox() << m_window->NameBoxes()[0];
        QCOMPARE(QApplication::focusWidget(), order[0]);
        for (QWidget* next : order.mid(1)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }

        // Save before any Open only says so, without asking for a file.
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
        const QStringList noFile = {"information|No File|No File Loaded. Load a File First."};
        QCOMPARE(m_dialogs->shown, noFile);
        QVERIFY(m_dialogs->opened.isEmpty());
        QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
        const QString filter =
            "ZSNES Save State (*.zs*);;snes9x Save State (*.00[0-9]);;RetroArch Save State "
            "(*.state *.state[1-9]* *.state.auto);;mednafen Save State (*.mc[0-9] *.mca);;"
            "Mesen Save State (*.mss);;bsnes Save State (*.bsz);;Battery Saves (*.srm *.sav)";
        QCOMPARE(m_dialogs->opened,
                 (QList<QStringList>{{"Open Chrono Trigger ZSNES Save State", filter, ""}}));
        QVERIFY(m_window->CurrentFile().isEmpty());
        // Exit asks nothing, even with unsaved edits.
        QTest::keyClicks(m_window->NameBoxes()[0], "Kid");
        QTest::keyClick(m_window.get(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_dialogs->shown, noFile);
    }

    // A plain file is changed in place, byte by byte; a compressed one, or one that keeps its body
    // compressed, is written back whole in its own container. Either way what tellim edits
    // changes in exactly the edited bytes.
    void EveryRealStateOpensAndSaves_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("workRam");  // in the decoded stream
        QTest::addColumn<bool>("compressed");
        QTest::addColumn<qint64>("keptHead");  // of a stream that keeps the body coded
        for (const RealState& state : EveryRealState()) {
            QTest::newRow(state.file) << QString(state.file) << qint64(state.workRam)
                                      << state.compressed << qint64(state.keptHead);
        }
    }

    void EveryRealStateOpensAndSaves() {
        QFETCH(QString, file);
        QFETCH(qint64, workRam);
        QFETCH(bool, compressed);
        QFETCH(qint64, keptHead);
        const Bytes original = ReadBytes(TestData(file.toStdString()));
        const QString path = ToQString(WriteBytes(*m_files / file.toStdString(), original));
        m_dialogs->answers << path;
        m_window->OpenAction()->trigger();
        QCOMPARE(m_window->CurrentFile(), path);
        // The cartridge names the members Aleph to Gizmo in the game's order, so Frog's box 3
        // shows Ember and Robo's box 4 Delta; the time digits hold 2, 23, 60 and 90.
        QCOMPARE(BoxTexts(*m_window), (QStringList{"Aleph", "Bravo", "Cobra", "Ember", "Delta",
                                                   "Fjord", "Gizmo", "2", "23", "60", "90"}));

        const std::vector<std::pair<QLineEdit*, QString>> typed = {
            {m_window->NameBoxes()[1], "R2-D2"}, {m_window->NameBoxes()[2], ""},
            {m_window->NameBoxes()[3], "Toad"},  {m_window->NameBoxes()[4], "Bot"},
            {m_window->NameBoxes()[6], "Zeal"},  {m_window->HourTensBox(), "1"},
            {m_window->HourUnitsBox(), ""},      {m_window->MinuteUnitsBox(), "7"}};
        for (const auto& [box, text] : typed) {
            Retype(box, text);
        }
        m_window->SaveAction()->trigger();
        QCOMPARE(m_dialogs->shown, QStringList{"information|File Saved|File Saved Successfully!"});

        // The offsets of a state whose work RAM starts at 0xC13; later versions move them along.
        const std::pair<std::size_t, Bytes> runs[] = {
            {14396, {0xB1, 0xD6}},                    // Marle: R 2, the hyphen has no code,
            {14399, {0xA3, 0xD6}},                    // so Bravo's a stays, then D 2
            {14402, {0xEF, 0xEF, 0xEF, 0xEF, 0xEF}},  // Lucca: five spaces
            {14408, {0xA1, 0xC8, 0xCD, 0xEF, 0xEF}},  // Robo (box 4): Bot
            {14414, {0xB3, 0xC8, 0xBA, 0xBD, 0xEF}},  // Frog (box 3): Toad
            {14426, {0xB9, 0xBE, 0xBA, 0xC5, 0xEF}},  // Magus: Zeal
            {4119, {0, 1}},                           // hours, units then tens
            {4117, {7}},                              // minutes, units; the tens keep their 60
        };
        Bytes expected = DecodedBody(original);
        for (const auto& [offset, values] : runs) {
            expected = Patched(expected, BytesAt(offset + std::size_t(workRam - 0xC13), values));
        }
        // Every other byte, battery RAM and preview picture included, stays as it was.
        const Bytes saved = ReadBytes(path.toStdString());
        QCOMPARE(Changes(expected, DecodedBody(saved)), Patch{});
        if (compressed) {
            const std::size_t header = ContainerHeaderSize(original);
            QCOMPARE(Bytes(saved.begin(), saved.begin() + header),
                     Bytes(original.begin(), original.begin() + header));
        }
        if (orvane::DecodedState::Decode(original)->StateIsCoded()) {
            const auto head = [keptHead](const Bytes& file) {
                const Bytes stream = DecodedStream(file);
                return Bytes(stream.begin(), stream.begin() + keptHead);
            };
            QCOMPARE(head(saved), head(original));
        } else if (!compressed) {
            QCOMPARE(Changes(expected, saved), Patch{});
        }
        QCOMPARE(BoxTexts(*m_window), (QStringList{"Aleph", "R2aD2", "     ", "Toad ", "Bot  ",
                                                   "Fjord", "Zeal ", "1", "0", "60", "7"}));

        // A cancelled Open keeps the file and what was typed since.
        Retype(m_window->NameBoxes()[0], "Kid");
        m_window->OpenAction()->trigger();
        QCOMPARE(m_dialogs->opened.last().last(), path);
        QCOMPARE(m_window->CurrentFile(), path);
        QCOMPARE(m_window->NameBoxes()[0]->text(), QStringLiteral("Kid"));
        QCOMPARE(m_dialogs->shown.size(), 1);
    }

    // A battery save opens at the game's last slot; the Slot menu opens another, asking first
    // where a box was edited, and Save writes the open slot with its checksum.
    void ASlotIsChosenFromTheSlotMenuAndSavedAlone() {
        Bytes file = WithSlotCopied(ReadBytes(TestData(kOneSlot)), 0, 1);
        file[*InSlot(0x7E2C23, 1)] = 0xA0;  // slot 2's Lee is Aee
        file = Patched(file, SlotSeal(file, 1));
        const auto written = WriteBytes(*m_files / "game.srm", file);
        const QString path = ToQString(written);
        QVERIFY(m_window->OpenFile(path));
        QStringList bar;
        for (const QAction* action : m_window->menuBar()->actions()) {
            bar << action->text();
        }
        QCOMPARE(bar, (QStringList{"&File", "&Slot", "&About"}));
        const QList<QAction*> choices = m_window->SlotMenu()->actions();
        QStringList words;
        for (const QAction* choice : choices) {
            words << choice->text() + (choice->isEnabled() ? "" : " (disabled)") +
                         (choice->isChecked() ? " (checked)" : "");
        }
        QCOMPARE(words, (QStringList{"Slot 1: Lee, 07:42 (checked)", "Slot 2: Aee, 07:42",
                                     "Slot 3: never saved (disabled)"}));

        Retype(m_window->NameBoxes()[0], "Kid");
        choices[1]->trigger();
        QCOMPARE(m_dialogs->asked,
                 QStringList{"tellim|Slot 1 has changes that are not saved. Open Slot 2 without "
                             "them?"});
        QCOMPARE(m_window->NameBoxes()[0]->text(), "Kid");
        QVERIFY(m_window->SlotMenu()->actions()[0]->isChecked());

        m_dialogs->askAnswers = {true};
        m_window->SlotMenu()->actions()[1]->trigger();
        QCOMPARE(m_window->NameBoxes()[0]->text(), "Aee");
        Retype(m_window->MinuteUnitsBox(), "9");
        m_window->SaveAction()->trigger();
        QCOMPARE(m_dialogs->shown, QStringList{"information|File Saved|File Saved Successfully!"});
        Bytes expected = file;
        expected[*InSlot(0x7E0402, 1)] = 9;
        // "Lee" and "Magus" are rewritten as they were, the four-letter names padded.
        for (const std::uint32_t padded : {0x7E2C26u, 0x7E2C27u, 0x7E2C39u, 0x7E2C3Fu, 0x7E2C45u}) {
            expected[*InSlot(padded, 1)] = 0xEF;
        }
        QCOMPARE(Changes(Patched(expected, SlotSeal(expected, 1)), ReadBytes(written)), Patch{});
        QCOMPARE(m_window->SlotMenu()->actions()[1]->text(), "Slot 2: Aee, 07:49");

        // A save state has no Slot menu.
        QVERIFY(m_window->OpenFile(
            ToQString(WriteBytes(*m_files / "state.zst", FillerBytes(kClassicSize)))));
        QCOMPARE(m_window->menuBar()->actions().size(), 2);
    }

    void BoxesLimitWhatIsTypedNotWhatIsLoaded() {
        QTest::keyClicks(m_window->NameBoxes()[0], "Abcdefg");
        QCOMPARE(m_window->NameBoxes()[0]->text(), QStringLiteral("Abcde"));
        QTest::keyClicks(m_window->MinuteTensBox(), "123");
        QCOMPARE(m_window->MinuteTensBox()->text(), QStringLiteral("1"));

        // A loaded 23 stays whole, but an edit may not leave two characters that were typed into.
        QVERIFY(m_window->OpenFile(
            ToQString(WriteBytes(*m_files / "state.zst", ReadBytes(TestData("state-1.42.zst"))))));
        // Each edit selects length characters from start, then types keys (none: Delete).
        using Edit = std::tuple<int, int, const char*, const char*>;
        const Edit edits[] = {{2, 0, "5", "23"},
                              {1, 1, "9", "23"},
                              {0, 1, "", "3"},
                              {1, 0, "5", "3"},
                              {0, 1, "56", "5"}};
        TextBox* hours = m_window->HourUnitsBox();
        QCOMPARE(hours->text(), QStringLiteral("23"));
        hours->setFocus();
        for (const auto& [start, length, keys, after] : edits) {
            hours->setSelection(start, length);
            *keys == '\0' ? QTest::keyClick(hours, Qt::Key_Delete) : QTest::keyClicks(hours, keys);
            QCOMPARE(hours->text(), after);
        }
    }

    void AboutIsModalAndClosesOnOk() {
        bool shown = false;
        m_dialogs->onModal = [&](QDialog& dialog) {
            auto* about = qobject_cast<AboutWindow*>(&dialog);
            QVERIFY(about != nullptr && about->isModal());
            QCOMPARE(about->parentWidget(), m_window.get());
            QTest::mouseClick(about->OkButton(), Qt::LeftButton);
            shown = true;
        };
        m_window->AboutAction()->trigger();
        QVERIFY(shown && !m_dialogs->modalStillOpen);
    }

private:
    std::unique_ptr<ScratchDir> m_files;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
