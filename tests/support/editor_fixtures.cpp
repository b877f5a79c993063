// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor_fixtures.h"

namespace orvane::test {

QStringList RecordingMessages::Take() {
    QStringList texts;
    for (const ShownMessage& message : shown) {
        texts << message.text;
    }
    shown.clear();
    return texts;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const Bytes& bytes) {
    const QString path = dir.filePath(name);
    WriteBytes(FsPath(path), bytes);
    return path;
}

Patch QuietState() {
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

void Session::Show() {
    Sheet().show();
    QApplication::setActiveWindow(&Sheet());
    if (!QTest::qWaitForWindowActive(&Sheet())) {
        qWarning("the sheet did not become active");
    }
}

void Session::Open(const QString& file) {
    dialogs.answer = file;
    Sheet().Open();
}

void Session::OpenQuiet(const Patch& extra, const QString& name) {
    Patch bytes = extra;
    bytes.merge(QuietState());  // keeps the extra bytes where both set one
    path = WriteState(dir, name, bytes);
    opened = ReadFile(path);
    Open(path);
}

QStringList Session::Save() {
    Sheet().Save();
    return messages.Take();
}

void Session::SaveAs(const QString& target) {
    dialogs.answer = target;
    Sheet().SaveAs();
}

void Session::Type(int tab, const char* edit, const QString& text) {
    auto* control = Find<QLineEdit>(tab, edit);
    control->selectAll();
    QTest::keyClick(control, Qt::Key_Delete);
    QTest::keyClicks(control, text);
}

}  // namespace orvane::test
