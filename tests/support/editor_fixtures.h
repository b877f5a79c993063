// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the editor's widget tests share: recorders in place of the message and file-dialog seams,
// and the whole application as a Session over a save state made by code.

#include <QtTest>
#include <QtWidgets>
#include <optional>
#include <vector>

#include "editor_app.h"
#include "editor_sheet.h"
#include "file_dialogs.h"
#include "fixtures.h"
#include "messages.h"
#include "state_page.h"
#include "tab_strip.h"

namespace orvane::test {

struct ShownMessage {
    QString text;
    Messages::Icon icon;
    QString detail;
};

// Records what was shown and asked; questions take the scripted answers in turn, No when none
// is left.
class RecordingMessages final : public Messages {
public:
    void Show(const QString& text, Icon icon, const QString& detail) override {
        shown.push_back({text, icon, detail});
    }
    bool Ask(const QString& question) override {
        asked << question;
        return !answers.isEmpty() && answers.takeFirst();
    }
    // The texts shown so far, and forget them.
    QStringList Take() {
        QStringList texts;
        for (const ShownMessage& message : shown) {
            texts << message.text;
        }
        shown.clear();
        return texts;
    }

    std::vector<ShownMessage> shown;
    QStringList asked;
    QList<bool> answers;
};

// Answers the next dialog with the path set, once; none is a cancel.
class ScriptedFileDialogs final : public FileDialogs {
public:
    std::optional<QString> ChooseFileToOpen(QWidget*, const DialogStart& start) override {
        starts.push_back(start);
        return Next();
    }
    std::optional<QString> ChooseFileToSaveAs(QWidget*, const DialogStart& start) override {
        starts.push_back(start);
        return Next();
    }

    QString answer;
    std::vector<DialogStart> starts;  // where each dialog started

private:
    std::optional<QString> Next() {
        const QString path = std::exchange(answer, QString());
        return path.isEmpty() ? std::nullopt : std::optional(path);
    }
};

inline std::filesystem::path FsPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
inline Bytes ReadFile(const QString& path) {
    return ReadBytes(FsPath(path));
}
inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const Bytes& bytes) {
    WriteBytes(FsPath(dir.filePath(name)), bytes);
    return dir.filePath(name);
}
// A save state of kClassicSize filler bytes with the patch applied.
inline QString WriteState(const QTemporaryDir& dir, const QString& name, const Patch& patch = {}) {
    return WriteFile(dir, name, Patched(FillerBytes(kClassicSize), patch));
}

// Every member's record in range with its own face and the first item of each of its lists, an
// inventory of 4 Tonics in slot 0, legal technique bytes and Tech Left 7: every page shown and
// left alone writes back exactly the bytes it read.
inline Patch QuietState() {
    // The first weapon of each member's list, Crono to Magus.
    constexpr std::uint8_t kWeapons[] = {1, 17, 31, 46, 59, 68, 75};
    Patch bytes;
    for (std::size_t member = 0; member < 7; ++member) {
        const std::size_t record = 12819 + 80 * member;
        bytes[record] = static_cast<std::uint8_t>(member);  // the face
        bytes.merge(LittleEndian(record + 3, 300, 2));      // current and max HP
        bytes.merge(LittleEndian(record + 5, 300, 2));
        for (std::size_t field = 7; field <= 18; ++field) {  // MP, statistics, level
            bytes[record + field] = static_cast<std::uint8_t>(field);
        }
        bytes[record + 39] = 124;  // Hide Cap
        bytes[record + 40] = 91;   // Hide Tunic
        bytes[record + 41] = kWeapons[member];
        bytes[record + 42] = 149;  // Bandana
        bytes.merge(LittleEndian(record + 45, 7, 2));
        bytes[13386 + member] = 0xC0;
    }
    for (std::size_t slot = 0; slot < 243; ++slot) {
        bytes[12307 + slot] = slot == 0 ? 0xBD : 0;
        bytes[12563 + slot] = slot == 0 ? 4 : 0;
    }
    for (std::size_t offset = 13393; offset <= 13416; ++offset) {
        bytes[offset] = offset < 13408 ? 0x80 : 0x00;  // pairs at level 1, no triple
    }
    return bytes;
}

const QStringList kSaved{QStringLiteral("File Saved Successful!")};
inline constexpr int kMainTab = 0, kCronoTab = 1, kMarleTab = 2, kLuccaTab = 3, kRoboTab = 4,
                     kFrogTab = 5, kAylaTab = 6, kMagusTab = 7, kItemsTab = 8, kTechTab = 9,
                     kDualTechTab = 10, kTripleTechTab = 11;

// The whole application with recorders in place of the seams.
class Session {
public:
    EditorSheet& Sheet() { return app.Sheet(); }
    StateDocument& Document() { return app.Document(); }
    // Shows the sheet and makes it the active window, as focus and keyboard tests need.
    void Show() {
        Sheet().show();
        QApplication::setActiveWindow(&Sheet());
        if (!QTest::qWaitForWindowActive(&Sheet())) {
            qWarning("the sheet did not become active");
        }
    }
    void Open(const QString& file) {
        dialogs.answer = file;
        Sheet().Open();
    }
    // Writes the quiet state with the extra bytes into dir under name and opens it.
    void OpenQuiet(const Patch& extra = {}, const QString& name = QStringLiteral("state.zst")) {
        Patch bytes = extra;
        bytes.merge(QuietState());  // keeps the extra bytes where both set one
        path = WriteState(dir, name, bytes);
        opened = ReadFile(path);
        Open(path);
    }
    // Save; the texts it showed.
    QStringList Save() {
        Sheet().Save();
        return messages.Take();
    }
    void SaveAs(const QString& target) {
        dialogs.answer = target;
        Sheet().SaveAs();
    }
    // Switches tabs as a click on the tab does.
    void ShowTab(int index) { emit Sheet().Tabs()->TabRequested(index); }
    // What the file opened by OpenQuiet holds now that it did not hold when opened.
    Patch SavedChanges() const { return Changes(opened, ReadFile(path)); }
    // The bytes that differ from the file as opened: what a save of them changes.
    Patch Changing(const Patch& bytes) const { return Changes(opened, Patched(opened, bytes)); }

    template <typename Control = QWidget>
    Control* Find(int tab, const char* name) {
        auto* control = Sheet().Page(tab)->findChild<Control*>(QString::fromLatin1(name));
        if (!control) {
            qFatal("no control %s on tab %d", name, tab);
        }
        return control;
    }
    // Replaces the edit's text by typing, as a user would.
    void Type(int tab, const char* edit, const QString& text) {
        auto* control = Find<QLineEdit>(tab, edit);
        control->selectAll();
        QTest::keyClick(control, Qt::Key_Delete);
        QTest::keyClicks(control, text);
    }

    QTemporaryDir dir;
    QString path;
    Bytes opened;
    RecordingMessages messages;
    ScriptedFileDialogs dialogs;
    EditorApp app{messages, dialogs};
};

}  // namespace orvane::test

// Failures show the offsets and bytes.
template <>
inline char* QTest::toString(const orvane::test::Patch& bytes) {
    QStringList parts;
    for (const auto& [offset, value] : bytes) {
        parts << QStringLiteral("%1:%2").arg(offset).arg(value, 2, 16, QLatin1Char('0'));
    }
    return qstrdup(qPrintable(parts.join(u' ')));
}
