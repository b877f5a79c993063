// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seam for choosing a save-state file to open or to save under; tests script the answers.

#include <QString>
#include <QStringList>
#include <optional>

#include "decoded_state.h"

class QFileDialog;
class QWidget;

namespace orvane {

// Where a dialog starts: on the filter of that index in SaveStateFilters(), in the folder (the
// working folder when empty).
struct DialogStart {
    int filter = 0;
    QString folder;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // An existing file, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* parent, const DialogStart& start) = 0;
    // A file that may not exist yet, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToSaveAs(QWidget* parent,
                                                      const DialogStart& start) = 0;
};

// The dialogs' filters: ZSNES's first, one for each other emulator, "All Files (*.*)" last.
QStringList SaveStateFilters();
// The filter to start on where the loaded file is `path`, of `writer`: the first whose patterns
// take its name, else its emulator's.
int FilterFor(const QString& path, Emulator writer);

// Gives a dialog, after its accept mode is set, the filters above, starting on `filter`;
// "All Files" lists every file, also a name without a dot. A save dialog gives a name typed
// without an extension the chosen filter's first one (".zst", ".000", ".state", ".mc0", ".mss",
// ".bsz", ".srm").
void SetUpSaveStateDialog(QFileDialog& dialog, int filter = 0);

// QFileDialog set up as above. Save As asks before replacing a file.
class PlatformFileDialogs final : public FileDialogs {
public:
    std::optional<QString> ChooseFileToOpen(QWidget* parent, const DialogStart& start) override;
    std::optional<QString> ChooseFileToSaveAs(QWidget* parent, const DialogStart& start) override;
};

}  // namespace orvane
