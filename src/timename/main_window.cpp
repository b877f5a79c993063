// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <cstring>

#include "about_window.h"
#include "decoded_state.h"
#include "dialogs.h"
#include "text_box.h"
#include "twips.h"
#include "window_font.h"

namespace {

using tellim::FileError;

constexpr TwipRect kClientArea = {0, 0, 4590, 2535};

struct NameFrame {
    const char* caption;
    TwipRect rect;
};

constexpr std::array<NameFrame, 7> kNameFrames = {{
    {"Crono", {0, 0, 1455, 855}},
    {"Marle", {1560, 0, 1455, 855}},
    {"Lucca", {3120, 0, 1455, 855}},
    {"Frog", {0, 840, 1455, 855}},
    {"Robo", {3120, 840, 1455, 855}},
    {"Ayla", {0, 1680, 1455, 855}},
    {"Magus", {3120, 1680, 1455, 855}},
}};
constexpr TwipRect kNameBoxRect = {240, 360, 975, 285};

constexpr TwipRect kTimeFrameRect = {1560, 1320, 1455, 855};
// Hours tens, hours units, minutes tens, minutes units.
constexpr std::array<TwipRect, 4> kTimeBoxRects = {{
    {120, 360, 255, 285},
    {360, 360, 255, 285},
    {840, 360, 255, 285},
    {1080, 360, 255, 285},
}};
constexpr std::array<const char*, 4> kTimeBoxNames = {"hours tens", "hours units", "minutes tens",
                                                      "minutes units"};
// What a screen reader calls them: the frame's one caption cannot tell the four apart.
constexpr std::array<const char*, 4> kTimeBoxAccessibleNames = {
    "Hours, tens digit", "Hours, units digit", "Minutes, tens digit", "Minutes, units digit"};
constexpr TwipRect kColonRect = {720, 360, 135, 255};
constexpr qreal kColonPointSize = 9.75;

constexpr int kTimeTypedLimit = 1;

const char* const kOpenTitle = "Open Chrono Trigger ZSNES Save State";
const char* const kOpenFilter =
    "ZSNES Save State (*.zs*);;snes9x Save State (*.00[0-9]);;"
    "RetroArch Save State (*.state *.state[1-9]* *.state.auto);;"
    "mednafen Save State (*.mc[0-9] *.mca);;Mesen Save State (*.mss);;"
    "bsnes Save State (*.bsz);;Battery Saves (*.srm *.sav)";

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Why a file that is only ever replaced whole could not take its new content, as a clause.
QString NotReplaced(const orvane::WriteResult& result, orvane::WholeFileOnly replacing) {
    const QString reason = QString::fromLocal8Bit(std::strerror(result.systemError));
    const QString wholeOnly =
        replacing == orvane::WholeFileOnly::Checksummed
            ? QStringLiteral(
                  "the file keeps a checksum for each slot, so only a whole new file can replace "
                  "it")
            : QStringLiteral("the file is compressed, so only a whole new file can replace it");
    switch (result.error) {
        case orvane::WriteError::WholeOnlyHardLinked:
            return QStringLiteral(
                       "%1, and that would leave its other names (hard links) with the old state")
                .arg(wholeOnly);
        case orvane::WriteError::WholeOnlyRefused:
            return QStringLiteral("%1, and the folder allows none (%2)").arg(wholeOnly, reason);
        case orvane::WriteError::ReadBackDiffers:
            return QStringLiteral("what was written read back otherwise");
        case orvane::WriteError::ReadOnly:
            return QStringLiteral("the file is read-only");
        case orvane::WriteError::TooLarge:
            return QStringLiteral("the file is larger than any save state");
        case orvane::WriteError::NoFolder:
            return QStringLiteral("the folder does not exist (any more)");
        default:
            return QStringLiteral(
                       "the new file could not be written or take the old one's "
                       "place (%1)")
                .arg(reason);
    }
}

QString Reason(FileError error, const tellim::FileKind& kind) {
    switch (error) {
        case FileError::None:
            break;
        case FileError::Missing:
            return QStringLiteral("the file does not exist");
        case FileError::NotRegular:
            return QStringLiteral("it is not a regular file");
        case FileError::ReadOnly:
            return QStringLiteral("the file is read-only");
        case FileError::CannotOpen:
            return QStringLiteral("the file cannot be opened for reading and writing");
        case FileError::TooLarge:
            return QStringLiteral("the file is larger than any save state");
        case FileError::UnknownFormat:
            return QStringLiteral(
                       "%1. tellim opens the game's battery save (.srm) and the save states of %2")
                .arg(QString::fromStdString(kind.refusal),
                     QString::fromStdString(orvane::KnownStatesInWords()));
        case FileError::SlotClosed:
            return QString::fromStdString(kind.refusal);
        case FileError::CannotEncode:
            return QStringLiteral("it could not be written in its format: %1")
                .arg(QString::fromStdString(kind.refusal));
        case FileError::CannotReplace:
            return NotReplaced(kind.replace, kind.replacing);
        case FileError::TooShort:
            return QStringLiteral("the file was cut short while tellim was using it");
        case FileError::ReadFailed:
            return QStringLiteral("a byte could not be read");
        case FileError::WriteFailed:
            return QStringLiteral("a byte could not be written");
        case FileError::FlushFailed:
            return QStringLiteral("the written bytes could not be flushed to the disk");
    }
    return QStringLiteral("unknown error");
}

}  // namespace

MainWindow::MainWindow(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs) {
    setWindowTitle(QStringLiteral("tellim"));
    CreateControls();
    CreateMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::CreateControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(ToPixels(kClientArea).size());
    setCentralWidget(client);

    for (std::size_t i = 0; i < kNameFrames.size(); ++i) {
        m_nameFrames[i] = new QGroupBox(QString::fromLatin1(kNameFrames[i].caption), client);
        m_nameFrames[i]->setGeometry(ToPixels(kNameFrames[i].rect));
        m_nameBoxes[i] = new TextBox(tellim::kNameLength, m_nameFrames[i]);
        m_nameBoxes[i]->setGeometry(ToPixels(kNameBoxRect));
        m_nameBoxes[i]->setAccessibleName(m_nameFrames[i]->title());
    }

    m_timeFrame = new QGroupBox(QStringLiteral("Time Editor"), client);
    m_timeFrame->setGeometry(ToPixels(kTimeFrameRect));
    m_hourTensBox = new TextBox(kTimeTypedLimit, m_timeFrame);
    m_hourUnitsBox = new TextBox(kTimeTypedLimit, m_timeFrame);
    m_minuteTensBox = new TextBox(kTimeTypedLimit, m_timeFrame);
    m_minuteUnitsBox = new TextBox(kTimeTypedLimit, m_timeFrame);
    const auto timeBoxes = TimeBoxes();
    for (std::size_t i = 0; i < timeBoxes.size(); ++i) {
        timeBoxes[i]->setGeometry(ToPixels(kTimeBoxRects[i]));
        timeBoxes[i]->setAccessibleName(QString::fromLatin1(kTimeBoxAccessibleNames[i]));
    }
    m_colonLabel = new QLabel(QStringLiteral(":"), m_timeFrame);
    m_colonLabel->setGeometry(ToPixels(kColonRect));
    m_colonLabel->setFont(WindowFont(kColonPointSize, true));

    const std::array<QWidget*, 11> tabOrder = {m_nameBoxes[0],  m_nameBoxes[1],  m_nameBoxes[2],
                                               m_nameBoxes[3],  m_nameBoxes[4],  m_nameBoxes[5],
                                               m_nameBoxes[6],  m_hourTensBox,   m_hourUnitsBox,
                                               m_minuteTensBox, m_minuteUnitsBox};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    m_nameBoxes[0]->setFocus();
}

void MainWindow::CreateMenu() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_open = m_fileMenu->addAction(QStringLiteral("&Open"));
    m_open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_save = m_fileMenu->addAction(QStringLiteral("&Save"));
    m_save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_fileMenu->addSeparator();
    m_exit = m_fileMenu->addAction(QStringLiteral("&Exit"));
    m_exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_about = menuBar()->addAction(QStringLiteral("&About"));
    // On the menu bar only while a file that keeps several states is open.
    m_slotMenu = new QMenu(QStringLiteral("&Slot"), this);

    connect(m_open, &QAction::triggered, this, &MainWindow::Open);
    connect(m_save, &QAction::triggered, this, &MainWindow::Save);
    connect(m_exit, &QAction::triggered, this, &MainWindow::Exit);
    connect(m_about, &QAction::triggered, this, &MainWindow::About);
}

std::array<TextBox*, 4> MainWindow::TimeBoxes() const {
    return {m_hourTensBox, m_hourUnitsBox, m_minuteTensBox, m_minuteUnitsBox};
}

void MainWindow::Warn(const QString& action, const QString& path, FileError error,
                      const tellim::FileKind& kind, const QString& consequence) {
    QString text = QStringLiteral("Cannot %1 %2: %3.").arg(action, path, Reason(error, kind));
    if (!consequence.isEmpty()) {
        text += QLatin1Char(' ') + consequence;
    }
    m_dialogs.Message(this, Dialogs::Icon::Warning, windowTitle(), text);
}

bool MainWindow::OpenFile(const QString& path) {
    const std::optional<std::size_t> slot = std::exchange(m_slot, std::nullopt);
    if (!OpenState(path)) {
        m_slot = slot;
        return false;
    }
    m_fileName = path;
    return true;
}

void MainWindow::ChooseSlot(std::size_t slot) {
    bool edited = false;
    for (const TextBox* box : m_nameBoxes) {
        edited = edited || box->Edited();
    }
    for (const TextBox* box : TimeBoxes()) {
        edited = edited || box->Edited();
    }
    const std::optional<std::size_t> open = m_slot;
    if (!m_fileName.isEmpty() && open && slot != *open &&
        (!edited || m_dialogs.Ask(this, windowTitle(),
                                  QStringLiteral("Slot %1 has changes that are not saved. Open "
                                                 "Slot %2 without them?")
                                      .arg(*open + 1)
                                      .arg(slot + 1)))) {
        m_slot = slot;
        if (OpenState(m_fileName)) {
            return;
        }
        m_slot = open;
    }
    // The menu checks the slot that stays open.
    RebuildSlotMenu();
}

void MainWindow::RebuildSlotMenu() {
    m_slotMenu->clear();
    menuBar()->removeAction(m_slotMenu->menuAction());
    if (!m_slots.empty()) {
        menuBar()->insertMenu(m_about, m_slotMenu);
    }
    delete m_slotChoices;
    m_slotChoices = new QActionGroup(m_slotMenu);
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        QAction* choice = m_slotMenu->addAction(QString::fromStdString(m_slots[i].label));
        choice->setCheckable(true);
        choice->setChecked(m_slot == i);
        choice->setEnabled(m_slots[i].opens);
        m_slotChoices->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, i] { ChooseSlot(i); });
    }
}

bool MainWindow::OpenState(const QString& path) {
    // Everything is read before any box changes, so a failure leaves the window as it was.
    tellim::StateFields fields;
    tellim::FileKind kind;
    if (const FileError error = tellim::ReadState(ToPath(path), fields, kind, m_slot);
        error != FileError::None) {
        Warn(QStringLiteral("open"), path, error, kind);
        return false;
    }
    m_slot = kind.heldSlots.empty() ? std::nullopt : std::optional(kind.openSlot);
    m_slots = kind.heldSlots;
    RebuildSlotMenu();
    const auto timeBoxes = TimeBoxes();
    for (std::size_t i = 0; i < timeBoxes.size(); ++i) {
        timeBoxes[i]->SetLoadedText(QString::number(fields.times[i]));
    }
    for (std::size_t i = 0; i < fields.names.size(); ++i) {
        m_nameBoxes[i]->SetLoadedText(QString::fromStdString(fields.names[i]));
    }
    return true;
}

bool MainWindow::SaveState(const QString& path) {
    tellim::StateEdits edits;
    const auto timeBoxes = TimeBoxes();
    for (std::size_t i = 0; i < timeBoxes.size(); ++i) {
        const std::optional<std::uint8_t> value =
            tellim::TimeByteFromText(timeBoxes[i]->text().toStdString());
        if (!value) {
            m_dialogs.Message(
                this, Dialogs::Icon::Warning, windowTitle(),
                QStringLiteral("The %1 digit of the time, \"%2\", is not a number "
                               "from 0 to 255. Nothing was saved.")
                    .arg(QString::fromLatin1(kTimeBoxNames[i]), timeBoxes[i]->text()));
            timeBoxes[i]->setFocus();
            return false;
        }
        edits.times[i] = *value;
    }
    for (std::size_t i = 0; i < m_nameBoxes.size(); ++i) {
        edits.names[i] = m_nameBoxes[i]->text().toStdU32String();
    }

    tellim::FileKind kind;
    bool undone = true;
    if (const FileError error = tellim::WriteState(ToPath(path), edits, kind, undone, m_slot);
        error != FileError::None) {
        Warn(QStringLiteral("save"), path, error, kind,
             undone ? QStringLiteral("Nothing was saved.")
                    : QStringLiteral("The file may be partly saved."));
        return false;
    }
    return true;
}

void MainWindow::Open() {
    const QString chosen = m_dialogs.OpenFileName(this, QString::fromLatin1(kOpenTitle),
                                                  QString::fromLatin1(kOpenFilter), m_fileName);
    if (!chosen.isEmpty()) {
        OpenFile(chosen);
    }
}

void MainWindow::Save() {
    if (m_fileName.isEmpty()) {
        m_dialogs.Message(this, Dialogs::Icon::Information, QStringLiteral("No File"),
                          QStringLiteral("No File Loaded. Load a File First."));
        return;
    }
    if (!SaveState(m_fileName)) {
        return;
    }
    // Shows what the file now holds, such as the spaces that pad a short name.
    OpenState(m_fileName);
    m_dialogs.Message(this, Dialogs::Icon::Information, QStringLiteral("File Saved"),
                      QStringLiteral("File Saved Successfully!"));
}

void MainWindow::Exit() {
    close();
}

void MainWindow::About() {
    AboutWindow about(this);
    m_dialogs.RunModal(about);
}
