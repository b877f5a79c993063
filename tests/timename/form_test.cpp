// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

#include "form1.h"
#include "form2.h"
#include "module1.h"
#include "tellim_fixtures.h"
#include "text_box.h"
#include "twips.h"

using namespace orvane::test;

namespace {

using Offsets = std::vector<std::int64_t>;

// Tens of hours, units of hours, tens of minutes, units of minutes.
constexpr std::int64_t kHour1 = 4120, kHour2 = 4119, kMinute1 = 4118, kMinute2 = 4117;
// Name slots in the game's member order.
constexpr std::int64_t kCrono = 14390, kMarle = 14396, kLucca = 14402, kRobo = 14408, kFrog = 14414,
                       kAyla = 14420, kMagus = 14426;

// A state of the oldest emulator versions, whose fields lie at the offsets above.
Bytes SampleState() {
    Bytes bytes = FillerBytes(274047);
    SetBytes(bytes, kHour1, {12});
    SetBytes(bytes, kHour2, {7});
    SetBytes(bytes, kMinute1, {3});
    SetBytes(bytes, kMinute2, {4});
    SetBytes(bytes, kCrono, {0xA2, 0xCB, 0xC8, 0xC7, 0xC8});
    SetBytes(bytes, kMarle, {0xAC, 0xBA, 0xCB, 0xC5, 0xBE});
    SetBytes(bytes, kLucca, {0xAB, 0xCE, 0xBC, 0xBC, 0xBA});
    SetBytes(bytes, kRobo, {0xB1, 0xC8, 0xBB, 0xC8, 0x00});
    SetBytes(bytes, kFrog, {0xA5, 0xCB, 0xC8, 0xC0, 0x00});
    SetBytes(bytes, kAyla, {0xA0, 0xD2, 0xC5, 0xBA, 0x00});
    SetBytes(bytes, kMagus, {0xAC, 0xBA, 0xC0, 0xCE, 0xCC});
    return bytes;
}

// Saving pads the three four-letter names of the sample with a space code in their fifth byte.
const Offsets kPaddedFifthBytes = {kRobo + 4, kFrog + 4, kAyla + 4};

Offsets Sorted(Offsets offsets) {
    std::sort(offsets.begin(), offsets.end());
    return offsets;
}

// The face a family resolves to depends on what is installed; what the form asks for does not.
void ExpectNamedSansFont(const QFont& font) {
    QCOMPARE(font.families().value(0), QStringLiteral("MS Sans Serif"));
    QCOMPARE(font.styleHint(), QFont::SansSerif);
}

void Retype(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsEmptyWithFocusInCronosBoxAndTabsInOrder();
    void screenReadersNameEveryBoxAfterItsMemberOrDigit();
    void layoutUsesTheTwipGeometry();
    void menuShortcutsRunTheirCommands();
    void saveBeforeOpenOnlyTellsThereIsNoFile();
    void openAsksForAStateAndFillsTheBoxes();
    void renamingMagusToZealChangesOnlyItsSlotAndPadding();
    void editedTimeDigitsReachTheirBytes();
    void frogAndRoboBoxesWriteTheirOwnSlots();
    void realStatesOfEveryLayoutOpenAndSaveInPlace_data();
    void realStatesOfEveryLayoutOpenAndSaveInPlace();
    void boxesLimitWhatIsTyped();
    void cancellingOpenKeepsFileAndBoxes();
    void failedOpenWarnsAndKeepsEverything_data();
    void failedOpenWarnsAndKeepsEverything();
    void aboutShowsTheCreditsAndClosesOnOk();

private:
    QString OpenSample();
    QStringList BoxTexts() const;
    void ExpectOnlyWarning(const QStringList& fragments) const;

    std::unique_ptr<ScratchDir> m_files;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Form1> m_form;
    Bytes m_sample;
    std::filesystem::path m_samplePath;
};

void Form1Test::init() {
    m_files = std::make_unique<ScratchDir>();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_form = std::make_unique<Form1>(*m_dialogs);
    m_sample = SampleState();
    m_samplePath = WriteBytes(*m_files / "sample.zs1", m_sample);
}

void Form1Test::cleanup() {
    QCOMPARE(m_dialogs->unscripted, 0);
    m_form.reset();
    m_dialogs.reset();
    m_files.reset();
}

QString Form1Test::OpenSample() {
    m_dialogs->answers << ToQString(m_samplePath);
    m_form->mnuOpen->trigger();
    return ToQString(m_samplePath);
}

QStringList Form1Test::BoxTexts() const {
    QStringList texts;
    for (TextBox* box : m_form->txtName) {
        texts << box->text();
    }
    for (TextBox* box :
         {m_form->txtHour1, m_form->txtHour2, m_form->txtMinute1, m_form->txtMinute2}) {
        texts << box->text();
    }
    return texts;
}

void Form1Test::ExpectOnlyWarning(const QStringList& fragments) const {
    QCOMPARE(m_dialogs->shown.size(), 1);
    const ScriptedDialogs::Shown& shown = m_dialogs->shown[0];
    QCOMPARE(shown.icon, Dialogs::Icon::Warning);
    for (const QString& fragment : fragments) {
        QVERIFY2(shown.text.contains(fragment), qPrintable(shown.text));
    }
}

void Form1Test::startsEmptyWithFocusInCronosBoxAndTabsInOrder() {
    QCOMPARE(BoxTexts(), QStringList(11, QString()));
    QVERIFY(m_form->CurrentFile().isEmpty());

    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QCOMPARE(QApplication::focusWidget(), m_form->txtName[0]);

    const QList<QWidget*> expected = {m_form->txtName[1], m_form->txtName[2], m_form->txtName[3],
                                      m_form->txtName[4], m_form->txtName[5], m_form->txtName[6],
                                      m_form->txtHour1,   m_form->txtHour2,   m_form->txtMinute1,
                                      m_form->txtMinute2, m_form->txtName[0]};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void Form1Test::screenReadersNameEveryBoxAfterItsMemberOrDigit() {
    OpenSample();
    QList<QLineEdit*> boxes(m_form->txtName.begin(), m_form->txtName.end());
    boxes << m_form->txtHour1 << m_form->txtHour2 << m_form->txtMinute1 << m_form->txtMinute2;
    QCOMPARE(m_form->findChildren<QLineEdit*>().size(), boxes.size());
    QStringList names;
    for (QLineEdit* box : boxes) {
        names << QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name);
    }
    QCOMPARE(names, (QStringList{"Crono", "Marle", "Lucca", "Frog", "Robo", "Ayla", "Magus",
                                 "Hours, tens digit", "Hours, units digit", "Minutes, tens digit",
                                 "Minutes, units digit"}));
}

void Form1Test::layoutUsesTheTwipGeometry() {
    QCOMPARE(m_form->windowTitle(), QStringLiteral("tellim"));
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    QCOMPARE(TwipsToPixels(1440), qRound(dpi));
    QCOMPARE(m_form->centralWidget()->size(), QSize(TwipsToPixels(4590), TwipsToPixels(2535)));

    const QStringList captions = {"Crono", "Marle", "Lucca", "Frog", "Robo", "Ayla", "Magus"};
    QList<QGroupBox*> frames(m_form->Frame1.begin(), m_form->Frame1.end());
    frames << m_form->Frame2;
    const QRect client = m_form->centralWidget()->rect();
    for (qsizetype i = 0; i < frames.size(); ++i) {
        QCOMPARE(frames[i]->title(),
                 i < captions.size() ? captions[i] : QStringLiteral("Time Editor"));
        QVERIFY(client.contains(frames[i]->geometry()));
        for (qsizetype j = 0; j < i; ++j) {
            // Rows of frames touch by 15 twips in the original layout, no more.
            QVERIFY(frames[i]->geometry().intersected(frames[j]->geometry()).height() <=
                    TwipsToPixels(15) + 1);
        }
    }
    QCOMPARE(m_form->Frame2->geometry(), ToPixels({1560, 1320, 1455, 855}));
    QCOMPARE(m_form->txtMinute1->geometry(), ToPixels({840, 360, 255, 285}));
    QCOMPARE(m_form->Label1->text(), QStringLiteral(":"));
    QCOMPARE(m_form->Label1->font().pointSizeF(), 9.75);
    QVERIFY(m_form->Label1->font().bold());
    ExpectNamedSansFont(m_form->Label1->font());
}

void Form1Test::menuShortcutsRunTheirCommands() {
    QCOMPARE(m_form->menuBar()->actions(),
             (QList<QAction*>{m_form->mnuFile->menuAction(), m_form->mnuAbout}));
    QCOMPARE(m_form->mnuFile->actions(),
             (QList<QAction*>{m_form->mnuOpen, m_form->mnuSave, m_form->mnuSep, m_form->mnuExit}));
    QVERIFY(m_form->mnuSep->isSeparator());
    QVERIFY(m_form->mnuAbout->menu() == nullptr);

    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTest::keyClick(m_form.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_dialogs->shown.size(), 1);
    QTest::keyClick(m_form.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(m_dialogs->openTitles.size(), 1);
    --m_dialogs->unscripted;  // the unanswered dialog counts as a cancel here
    // Exit asks nothing, even with unsaved edits.
    QTest::keyClicks(m_form->txtName[0], "Kid");
    QTest::keyClick(m_form.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_dialogs->shown.size(), 1);
}

void Form1Test::saveBeforeOpenOnlyTellsThereIsNoFile() {
    m_form->mnuSave->trigger();
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].icon, Dialogs::Icon::Information);
    QCOMPARE(m_dialogs->shown[0].title, QStringLiteral("No File"));
    QCOMPARE(m_dialogs->shown[0].text, QStringLiteral("No File Loaded. Load a File First."));
    QVERIFY(m_dialogs->openTitles.isEmpty());
    QCOMPARE(ReadBytes(m_samplePath), m_sample);
}

void Form1Test::openAsksForAStateAndFillsTheBoxes() {
    const QString path = OpenSample();
    QCOMPARE(m_dialogs->openTitles, QStringList{"Open Chrono Trigger ZSNES Save State"});
    QCOMPARE(m_dialogs->openFilters, QStringList{"ZSNES Save State (*.zs*)"});
    QCOMPARE(m_dialogs->openCurrents, QStringList{QString()});
    QVERIFY(m_dialogs->shown.isEmpty());
    QCOMPARE(m_form->CurrentFile(), path);
    // Box 3 is Frog and box 4 Robo, the other way round from the slots.
    QCOMPARE(BoxTexts(), (QStringList{"Crono", "Marle", "Lucca", "Frog", "Robo", "Ayla", "Magus",
                                      "12", "7", "3", "4"}));
    QCOMPARE(ReadBytes(m_samplePath), m_sample);

    OpenSample();
    QCOMPARE(m_dialogs->openCurrents.last(), path);
}

void Form1Test::renamingMagusToZealChangesOnlyItsSlotAndPadding() {
    OpenSample();
    Retype(m_form->txtName[6], "Zeal");
    m_form->mnuSave->trigger();

    const Bytes after = ReadBytes(m_samplePath);
    Offsets expected = kPaddedFifthBytes;
    for (std::int64_t i = 0; i < 5; ++i) {
        expected.push_back(kMagus + i);
    }
    QCOMPARE(DiffOffsets(m_sample, after), Sorted(expected));
    QCOMPARE(Bytes(after.begin() + kMagus, after.begin() + kMagus + 6),
             (Bytes{0xB9, 0xBE, 0xBA, 0xC5, 0xEF, m_sample[kMagus + 5]}));
    QCOMPARE(m_form->txtName[6]->text(), QStringLiteral("Zeal "));
    QCOMPARE(m_form->txtName[3]->text(), QStringLiteral("Frog "));

    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].icon, Dialogs::Icon::Information);
    QCOMPARE(m_dialogs->shown[0].title, QStringLiteral("File Saved"));
    QCOMPARE(m_dialogs->shown[0].text, QStringLiteral("File Saved Successfully!"));
    QCOMPARE(m_dialogs->openTitles.size(), 1);
}

void Form1Test::editedTimeDigitsReachTheirBytes() {
    OpenSample();
    Retype(m_form->txtMinute2, "9");
    Retype(m_form->txtHour2, "");
    m_form->mnuSave->trigger();

    const Bytes after = ReadBytes(m_samplePath);
    Offsets expected = kPaddedFifthBytes;
    expected.push_back(kMinute2);
    expected.push_back(kHour2);
    QCOMPARE(DiffOffsets(m_sample, after), Sorted(expected));
    QCOMPARE(after[kMinute2], std::uint8_t{9});
    QCOMPARE(after[kHour2], std::uint8_t{0});
    QCOMPARE(after[kHour1], std::uint8_t{12});
    QCOMPARE(m_form->txtHour2->text(), QStringLiteral("0"));
}

void Form1Test::frogAndRoboBoxesWriteTheirOwnSlots() {
    OpenSample();
    Retype(m_form->txtName[3], "Toad");
    Retype(m_form->txtName[4], "Bot");
    m_form->mnuSave->trigger();

    const Bytes after = ReadBytes(m_samplePath);
    QCOMPARE(Bytes(after.begin() + kFrog, after.begin() + kFrog + 5),
             (Bytes{0xB3, 0xC8, 0xBA, 0xBD, 0xEF}));
    QCOMPARE(Bytes(after.begin() + kRobo, after.begin() + kRobo + 5),
             (Bytes{0xA1, 0xC8, 0xCD, 0xEF, 0xEF}));
    QCOMPARE(m_form->txtName[3]->text(), QStringLiteral("Toad "));
    QCOMPARE(m_form->txtName[4]->text(), QStringLiteral("Bot  "));
}

void Form1Test::realStatesOfEveryLayoutOpenAndSaveInPlace_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("workRam");
    QTest::addColumn<qint64>("size");
    // Where the battery RAM (from 1.50 on) or else the preview picture starts; both run to the end.
    QTest::addColumn<qint64>("tail");
    for (const RealState& s : kRealStates) {
        QTest::newRow(s.file) << QString(s.file) << qint64(s.workRam) << qint64(s.size)
                              << qint64(s.batteryRam != 0 ? s.batteryRam : s.preview);
    }
}

void Form1Test::realStatesOfEveryLayoutOpenAndSaveInPlace() {
    QFETCH(QString, file);
    QFETCH(qint64, workRam);
    QFETCH(qint64, size);
    QFETCH(qint64, tail);
    const Bytes original = ReadBytes(TestData(file.toStdString()));
    QCOMPARE(static_cast<qint64>(original.size()), size);
    m_samplePath = WriteBytes(*m_files / file.toStdString(), original);
    OpenSample();
    QVERIFY(m_dialogs->shown.isEmpty());
    // The marker cartridge names the members Aleph to Gizmo in the game's order (Robo's Delta
    // before Frog's Ember) and stores 2, 23, 60, 90 as the time digits.
    QCOMPARE(BoxTexts(), (QStringList{"Aleph", "Bravo", "Cobra", "Ember", "Delta", "Fjord", "Gizmo",
                                      "2", "23", "60", "90"}));

    Retype(m_form->txtName[3], "Toad");
    Retype(m_form->txtName[6], "Zeal");
    Retype(m_form->txtHour1, "1");
    Retype(m_form->txtMinute2, "7");
    m_form->mnuSave->trigger();
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].text, QStringLiteral("File Saved Successfully!"));

    // Console address A of work RAM lies at workRam + (A - 0x7E0000).
    Bytes expected = original;
    SetBytes(expected, workRam + 0x2C3B, {0xB3, 0xC8, 0xBA, 0xBD, 0xEF});  // Frog, 7E2C3B
    SetBytes(expected, workRam + 0x2C47, {0xB9, 0xBE, 0xBA, 0xC5, 0xEF});  // Magus, 7E2C47
    SetBytes(expected, workRam + 0x405, {1});                              // hours tens, 7E0405
    SetBytes(expected, workRam + 0x402, {7});                              // minutes units
    const Bytes after = ReadBytes(m_samplePath);
    QCOMPARE(DiffOffsets(expected, after), Offsets{});
    QCOMPARE(DiffOffsets(original, after).size(), std::size_t{12});
    QVERIFY(std::equal(original.begin() + tail, original.end(), after.begin() + tail));
    QCOMPARE(BoxTexts(), (QStringList{"Aleph", "Bravo", "Cobra", "Toad ", "Delta", "Fjord", "Zeal ",
                                      "1", "23", "60", "7"}));
}

void Form1Test::boxesLimitWhatIsTyped() {
    QTest::keyClicks(m_form->txtName[0], "Abcdefg");
    QCOMPARE(m_form->txtName[0]->text(), QStringLiteral("Abcde"));
    QTest::keyClicks(m_form->txtMinute1, "123");
    QCOMPARE(m_form->txtMinute1->text(), QStringLiteral("1"));

    // A loaded "12" stays whole, but an edit may not leave two characters that were typed into.
    OpenSample();
    TextBox* hours = m_form->txtHour1;
    QCOMPARE(hours->text(), QStringLiteral("12"));
    hours->setFocus();
    hours->end(false);
    QTest::keyClicks(hours, "5");
    QCOMPARE(hours->text(), QStringLiteral("12"));
    hours->setSelection(1, 1);
    QTest::keyClicks(hours, "9");
    QCOMPARE(hours->text(), QStringLiteral("12"));
    QTest::keyClick(hours, Qt::Key_Home);
    QTest::keyClick(hours, Qt::Key_Delete);
    QCOMPARE(hours->text(), QStringLiteral("2"));
    QTest::keyClicks(hours, "5");
    QCOMPARE(hours->text(), QStringLiteral("2"));
    hours->selectAll();
    QTest::keyClicks(hours, "56");
    QCOMPARE(hours->text(), QStringLiteral("5"));
}

void Form1Test::cancellingOpenKeepsFileAndBoxes() {
    const QString path = OpenSample();
    Retype(m_form->txtName[0], "Kid");
    m_dialogs->answers << QString();
    m_form->mnuOpen->trigger();
    QCOMPARE(m_form->CurrentFile(), path);
    QCOMPARE(m_form->txtName[0]->text(), QStringLiteral("Kid"));
    QVERIFY(m_dialogs->shown.isEmpty());
}

void Form1Test::failedOpenWarnsAndKeepsEverything_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing"
                             << "the file does not exist";
    QTest::newRow("one byte short")
        << "short"
        << "the file is 274046 bytes long and does not start with the header";
    QTest::newRow("new header, size of no version")
        << "282490"
        << "282490 bytes long and starts with the header of a save state";
    QTest::newRow("header shifted by a byte")
        << "shifted"
        << "282459 bytes long like a save state of ZSNES 1.50";
    QTest::newRow("read-only") << "read-only"
                               << "the file is read-only";
}

void Form1Test::failedOpenWarnsAndKeepsEverything() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString good = OpenSample();
    Retype(m_form->txtName[1], "Nadia");
    const QStringList boxes = BoxTexts();

    std::filesystem::path bad = *m_files / "bad.zs2";
    Bytes badBytes = SampleState();
    if (kind == "short") {
        badBytes.resize(274046);
    } else if (kind == "282490") {
        badBytes = WithHeader(FillerBytes(282490), kNewHeader);
    } else if (kind == "shifted") {
        badBytes = WithHeader(FillerBytes(282459), kNewHeader, 1);
    }
    if (kind != "missing") {
        WriteBytes(bad, badBytes);
    }
    if (kind == "read-only") {
        MakeReadOnly(bad);
    }

    m_dialogs->answers << ToQString(bad);
    m_form->mnuOpen->trigger();

    QStringList fragments = {ToQString(bad), reason};
    if (kind != "missing" && kind != "read-only") {
        fragments << "tellim opens the save states of ZSNES 1.42 and older (274047 bytes), ZSNES "
                     "1.50 and 1.51 and the Linux fork 2.0 (282459 bytes), the Linux fork 2.1 "
                     "(282489 bytes) and the Linux fork 2.2 and later (282493 bytes).";
    }
    ExpectOnlyWarning(fragments);
    QCOMPARE(BoxTexts(), boxes);
    QCOMPARE(m_form->CurrentFile(), good);
    if (kind == "missing") {
        QVERIFY(!std::filesystem::exists(bad));
    } else {
        QCOMPARE(ReadBytes(bad), badBytes);
    }
}

void Form1Test::aboutShowsTheCreditsAndClosesOnOk() {
    bool inspected = false;
    m_dialogs->onModal = [&](QDialog& dialog) {
        auto* about = qobject_cast<Form2*>(&dialog);
        QVERIFY(about != nullptr);
        QCOMPARE(about->parentWidget(), m_form.get());
        QCOMPARE(about->windowTitle(), QStringLiteral("About..."));
        QCOMPARE(about->size(), QSize(TwipsToPixels(3390), TwipsToPixels(2775)));
        QCOMPARE(about->Label1->text(), QStringLiteral("tellim"));
        QCOMPARE(about->Label1->font().pointSizeF(), 18.0);
        ExpectNamedSansFont(about->Label1->font());
        QCOMPARE(about->Frame1->title(), QStringLiteral("Programmed by:"));
        QCOMPARE(about->Label2->text(), QStringLiteral("The tellim developers"));
        QVERIFY(about->Label3->text().contains("README"));
        QCOMPARE(about->Command1->text(), QStringLiteral("OK"));
        QVERIFY(about->isModal());
        QTest::mouseClick(about->Command1, Qt::LeftButton);
        inspected = true;
    };
    m_form->mnuAbout->trigger();
    QVERIFY(inspected);
    QVERIFY(!m_dialogs->modalStillOpen);
}

QTEST_MAIN(Form1Test)
#include "form_test.moc"
