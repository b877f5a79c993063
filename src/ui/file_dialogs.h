// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seam for choosing a save-state file to open or to save under; tests script the answers.

#include <QString>
#include <optional>

class QFileDialog;
class QWidget;

namespace orvane {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // An existing file, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* parent) = 0;
    // A file that may not exist yet, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToSaveAs(QWidget* parent) = 0;
};

// Gives a dialog, after its accept mode is set, the filters "ZSnes Save States (*.zs?)" and
// "All Files (*.*)"; the latter lists every file, also a name without a dot. A save dialog
// gives a name typed without an extension ".zst".
void SetUpSaveStateDialog(QFileDialog& dialog);

// QFileDialog set up as above. Save As asks before replacing a file.
class PlatformFileDialogs final : public FileDialogs {
public:
    std::optional<QString> ChooseFileToOpen(QWidget* parent) override;
    std::optional<QString> ChooseFileToSaveAs(QWidget* parent) override;
};

}  // namespace orvane
