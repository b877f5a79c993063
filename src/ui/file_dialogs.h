#pragma once
// The seam for choosing a save-state file to open or to save under; tests script the answers.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace orvane {

// The filter's two choices, in order.
QStringList SaveStateFilters();

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // An existing file, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* parent) = 0;
    // A file that may not exist yet, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToSaveAs(QWidget* parent) = 0;
};

// QFileDialog with the save-state filter. Save As asks before replacing a file and gives a name
// typed without an extension ".zst".
class PlatformFileDialogs final : public FileDialogs {
public:
    std::optional<QString> ChooseFileToOpen(QWidget* parent) override;
    std::optional<QString> ChooseFileToSaveAs(QWidget* parent) override;
};

}  // namespace orvane
