// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_dialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

#include "messages.h"

namespace orvane {

namespace {

// Qt takes a choice's pattern from its parentheses, so "All Files" matches only "*.*".
const QStringList kEveryFilePattern = {QStringLiteral("*.*")};

// Lists what the chosen filter offers. The file system model under it only greys the entries
// its patterns miss; this hides them instead, but lists and enables every entry while the
// patterns are those of "All Files", whose "*.*" would miss a name without a dot.
class FilterProxy final : public QSortFilterProxyModel {
public:
    explicit FilterProxy(QFileDialog& dialog) : QSortFilterProxyModel(&dialog) {
        connect(&dialog, &QFileDialog::filterSelected, this, &FilterProxy::invalidateFilter);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        const Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
        return ListsEveryFile() ? flags | Qt::ItemIsEnabled : flags;
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        return ListsEveryFile() ||
               sourceModel()->flags(sourceModel()->index(row, 0, parent)) & Qt::ItemIsEnabled;
    }

private:
    bool ListsEveryFile() const {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        return files && files->nameFilters() == kEveryFilePattern;
    }
};

std::optional<QString> Run(QWidget* parent, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, QString::fromLatin1(kAppTitle));
    dialog.setAcceptMode(mode);
    SetUpSaveStateDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

}  // namespace

void SetUpSaveStateDialog(QFileDialog& dialog) {
    // Qt's own dialog: a native one cannot be told what "All Files" lists. In a save dialog it
    // also adds the suffix before it asks about replacing, so the question is asked for the name
    // that will actually be written.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* proxy = new FilterProxy(dialog);
    dialog.setProxyModel(proxy);
    // The dialog's own model now feeds the proxy, which decides what is hidden.
    if (auto* files = qobject_cast<QFileSystemModel*>(proxy->sourceModel())) {
        files->setNameFilterDisables(true);
    }
    dialog.setNameFilters(
        {QStringLiteral("ZSnes Save States (*.zs?)"), QStringLiteral("All Files (*.*)")});
    if (dialog.acceptMode() == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("zst"));
    }
}

std::optional<QString> PlatformFileDialogs::ChooseFileToOpen(QWidget* parent) {
    return Run(parent, QFileDialog::AcceptOpen);
}

std::optional<QString> PlatformFileDialogs::ChooseFileToSaveAs(QWidget* parent) {
    return Run(parent, QFileDialog::AcceptSave);
}

}  // namespace orvane
