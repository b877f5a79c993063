#include "file_dialogs.h"

#include <QFileDialog>

#include "messages.h"

namespace orvane {

QStringList SaveStateFilters() {
    return {QStringLiteral("ZSnes Save States (*.zs?)"), QStringLiteral("All Files (*.*)")};
}

namespace {

std::optional<QString> Run(QWidget* parent, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, QString::fromLatin1(kAppTitle));
    dialog.setAcceptMode(mode);
    dialog.setNameFilters(SaveStateFilters());
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setFileMode(QFileDialog::AnyFile);
        // Qt's own dialog adds the suffix before it asks about replacing, so the question is
        // asked for the name that will actually be written.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setDefaultSuffix(QStringLiteral("zst"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

}  // namespace

std::optional<QString> PlatformFileDialogs::ChooseFileToOpen(QWidget* parent) {
    return Run(parent, QFileDialog::AcceptOpen);
}

std::optional<QString> PlatformFileDialogs::ChooseFileToSaveAs(QWidget* parent) {
    return Run(parent, QFileDialog::AcceptSave);
}

}  // namespace orvane
