#include "form1.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>

#include "dialogs.h"
#include "form2.h"
#include "text_box.h"
#include "twips.h"

namespace {

using Module1::FileError;

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
constexpr TwipRect kColonRect = {720, 360, 135, 255};
constexpr qreal kColonPointSize = 9.75;

constexpr int kTimeTypedLimit = 1;

const char* const kOpenTitle = "Open Chrono Trigger ZSNES Save State";
const char* const kOpenFilter = "ZSNES Save State (*.zs*)";

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

FileError WriteTimes(const std::filesystem::path& file, const std::array<std::uint8_t, 4>& times) {
    Module1::ByteFile bytes;
    if (const FileError error = bytes.Open(file, Module1::kMinimumStateSize);
        error != FileError::None) {
        return error;
    }
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (const FileError error = bytes.Write(Module1::kTimeOffsets[i], times[i]);
            error != FileError::None) {
            return error;
        }
    }
    return FileError::None;
}

QString Reason(FileError error) {
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
        case FileError::TooShort:
            return QStringLiteral("the file is too short for a save state (it needs %1 bytes)")
                .arg(Module1::kMinimumStateSize);
        case FileError::ReadFailed:
            return QStringLiteral("a byte could not be read");
        case FileError::WriteFailed:
            return QStringLiteral("a byte could not be written");
    }
    return QStringLiteral("unknown error");
}

}  // namespace

Form1::Form1(Dialogs& dialogs, QWidget* parent) : QMainWindow(parent), m_dialogs(dialogs) {
    setWindowTitle(QStringLiteral("tellim"));
    CreateControls();
    CreateMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Form1::CreateControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(ToPixels(kClientArea).size());
    setCentralWidget(client);

    for (std::size_t i = 0; i < kNameFrames.size(); ++i) {
        Frame1[i] = new QGroupBox(QString::fromLatin1(kNameFrames[i].caption), client);
        Frame1[i]->setGeometry(ToPixels(kNameFrames[i].rect));
        txtName[i] = new TextBox(Module1::kNameLength, Frame1[i]);
        txtName[i]->setGeometry(ToPixels(kNameBoxRect));
    }

    Frame2 = new QGroupBox(QStringLiteral("Time Editor"), client);
    Frame2->setGeometry(ToPixels(kTimeFrameRect));
    txtHour1 = new TextBox(kTimeTypedLimit, Frame2);
    txtHour2 = new TextBox(kTimeTypedLimit, Frame2);
    txtMinute1 = new TextBox(kTimeTypedLimit, Frame2);
    txtMinute2 = new TextBox(kTimeTypedLimit, Frame2);
    const auto timeBoxes = TimeBoxes();
    for (std::size_t i = 0; i < timeBoxes.size(); ++i) {
        timeBoxes[i]->setGeometry(ToPixels(kTimeBoxRects[i]));
    }
    Label1 = new QLabel(QStringLiteral(":"), Frame2);
    Label1->setGeometry(ToPixels(kColonRect));
    QFont colonFont = Label1->font();
    colonFont.setPointSizeF(kColonPointSize);
    colonFont.setBold(true);
    Label1->setFont(colonFont);

    const std::array<QWidget*, 11> tabOrder = {txtName[0], txtName[1], txtName[2], txtName[3],
                                               txtName[4], txtName[5], txtName[6], txtHour1,
                                               txtHour2,   txtMinute1, txtMinute2};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    txtName[0]->setFocus();
}

void Form1::CreateMenu() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuOpen = mnuFile->addAction(QStringLiteral("&Open"));
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSave = mnuFile->addAction(QStringLiteral("&Save"));
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSep = mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(QStringLiteral("&Exit"));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuAbout = menuBar()->addAction(QStringLiteral("&About"));

    connect(mnuOpen, &QAction::triggered, this, &Form1::mnuOpen_Click);
    connect(mnuSave, &QAction::triggered, this, &Form1::mnuSave_Click);
    connect(mnuExit, &QAction::triggered, this, &Form1::mnuExit_Click);
    connect(mnuAbout, &QAction::triggered, this, &Form1::mnuAbout_Click);
}

std::array<TextBox*, 4> Form1::TimeBoxes() const {
    return {txtHour1, txtHour2, txtMinute1, txtMinute2};
}

void Form1::Warn(const QString& action, const QString& path, FileError error,
                 const QString& consequence) {
    QString text = QStringLiteral("Cannot %1 %2: %3.").arg(action, path, Reason(error));
    if (!consequence.isEmpty()) {
        text += QLatin1Char(' ') + consequence;
    }
    m_dialogs.Message(this, Dialogs::Icon::Warning, windowTitle(), text);
}

bool Form1::OpenFile(const QString& path) {
    if (!OpenState(path)) {
        return false;
    }
    m_fileName = path;
    return true;
}

bool Form1::OpenState(const QString& path) {
    const std::filesystem::path file = ToPath(path);
    const QString action = QStringLiteral("open");

    // Everything is read before any box changes, so a failure leaves the form as it was.
    std::array<std::uint8_t, 4> times{};
    {
        Module1::ByteFile bytes;
        if (const FileError error = bytes.Open(file, Module1::kMinimumStateSize);
            error != FileError::None) {
            Warn(action, path, error);
            return false;
        }
        for (std::size_t i = 0; i < times.size(); ++i) {
            if (const FileError error = bytes.Read(Module1::kTimeOffsets[i], times[i]);
                error != FileError::None) {
                Warn(action, path, error);
                return false;
            }
        }
    }
    std::array<std::string, 7> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (const FileError error =
                Module1::ReadName(Module1::kNameSlots[i], file, Module1::kNameLength, names[i]);
            error != FileError::None) {
            Warn(action, path, error);
            return false;
        }
    }

    const auto timeBoxes = TimeBoxes();
    for (std::size_t i = 0; i < timeBoxes.size(); ++i) {
        timeBoxes[i]->SetLoadedText(QString::number(times[i]));
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        txtName[i]->SetLoadedText(QString::fromStdString(names[i]));
    }
    return true;
}

bool Form1::SaveState(const QString& path) {
    const std::filesystem::path file = ToPath(path);
    const QString action = QStringLiteral("save");

    const auto timeBoxes = TimeBoxes();
    std::array<std::uint8_t, 4> times{};
    for (std::size_t i = 0; i < timeBoxes.size(); ++i) {
        const std::optional<std::uint8_t> value =
            Module1::TimeByteFromText(timeBoxes[i]->text().toStdString());
        if (!value) {
            m_dialogs.Message(
                this, Dialogs::Icon::Warning, windowTitle(),
                QStringLiteral("The %1 digit of the time, \"%2\", is not a number "
                               "from 0 to 255. Nothing was saved.")
                    .arg(QString::fromLatin1(kTimeBoxNames[i]), timeBoxes[i]->text()));
            timeBoxes[i]->setFocus();
            return false;
        }
        times[i] = *value;
    }

    // Everything a save may change is read first: that checks the whole state's size and
    // writability before the first byte is written, and lets a save failing half-way (a full
    // disk, a file cut short meanwhile) put back what it had already written.
    std::vector<Module1::SavedByte> original;
    if (const FileError error = Module1::SnapshotBytes(file, Module1::SaveOffsets(), original);
        error != FileError::None) {
        Warn(action, path, error, QStringLiteral("Nothing was saved."));
        return false;
    }
    FileError error = WriteTimes(file, times);
    for (std::size_t i = 0; i < txtName.size() && error == FileError::None; ++i) {
        error = Module1::WriteName(Module1::kNameSlots[i], file,
                                   txtName[i]->text().toStdU32String(), Module1::kNameLength);
    }
    if (error != FileError::None) {
        const bool restored = Module1::RestoreBytes(file, original) == FileError::None;
        Warn(action, path, error,
             restored ? QStringLiteral("Nothing was saved.")
                      : QStringLiteral("The file may be partly saved."));
        return false;
    }
    return true;
}

void Form1::mnuOpen_Click() {
    const QString chosen = m_dialogs.OpenFileName(this, QString::fromLatin1(kOpenTitle),
                                                  QString::fromLatin1(kOpenFilter), m_fileName);
    if (!chosen.isEmpty()) {
        OpenFile(chosen);
    }
}

void Form1::mnuSave_Click() {
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

void Form1::mnuExit_Click() {
    close();
}

void Form1::mnuAbout_Click() {
    Form2 about(this);
    m_dialogs.RunModal(about);
}
