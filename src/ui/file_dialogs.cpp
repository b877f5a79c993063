// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

#include "messages.h"

namespace orvane {

namespace {

// Qt takes a choice's pattern from its parentheses, so "All Files" matches only "*.*".
const QStringList kEveryFilePattern = {QStringLiteral("*.*")};

struct SaveStateFilter {
    const char* text;
    Emulator writer;
    const char* suffix;  // given to a name typed without one
};

constexpr SaveStateFilter kFilters[] = {
    {"ZSnes Save States (*.zs?)", Emulator::Zsnes, "zst"},
    {"Snes9x Save States (*.00[0-9])", Emulator::Snes9x, "000"},
    {"RetroArch Save States (*.state *.state[1-9]* *.state.auto)", Emulator::RetroArch, "state"},
    {"Mednafen Save States (*.mc[0-9] *.mca)", Emulator::Mednafen, "mc0"},
    {"Mesen Save States (*.mss)", Emulator::Mesen, "mss"},
    {"Bsnes Save States (*.bsz)", Emulator::Bsnes, "bsz"},
    {"Battery Saves (*.srm *.sav)", Emulator::BatterySave, "srm"},
};
const char* const kAllFiles = "All Files (*.*)";

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

std::optional<QString> Run(QWidget* parent, QFileDialog::AcceptMode mode,
                           const DialogStart& start) {
    QFileDialog dialog(parent, QString::fromLatin1(kAppTitle), start.folder);
    dialog.setAcceptMode(mode);
    SetUpSaveStateDialog(dialog, start.filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

}  // namespace

QStringList SaveStateFilters() {
    QStringList filters;
    for (const SaveStateFilter& filter : kFilters) {
        filters << QString::fromLatin1(filter.text);
    }
    return filters << QString::fromLatin1(kAllFiles);
}

int FilterFor(const QString& path, Emulator writer) {
    const QString name = QFileInfo(path).fileName();
    for (int i = 0; i < int(std::size(kFilters)); ++i) {
        const QString text = QString::fromLatin1(kFilters[i].text);
        const qsizetype open = text.lastIndexOf(u'(');
        const QStringList patterns = text.mid(open + 1).chopped(1).split(u' ');
        for (const QString& pattern : patterns) {
            if (QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive)
                    .match(name)
                    .hasMatch()) {
                return i;
            }
        }
    }
    for (int i = 0; i < int(std::size(kFilters)); ++i) {
        if (kFilters[i].writer == writer) {
            return i;
        }
    }
    return 0;
}

void SetUpSaveStateDialog(QFileDialog& dialog, int filter) {
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
    const QStringList filters = SaveStateFilters();
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(filter, filters.front()));
    if (dialog.acceptMode() == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
        return;
    }
    dialog.setFileMode(QFileDialog::AnyFile);
    // "All Files" keeps the suffix of the filter chosen before it.
    const auto takeSuffix = [&dialog](const QString& chosen) {
        for (const SaveStateFilter& f : kFilters) {
            if (chosen == QLatin1String(f.text)) {
                dialog.setDefaultSuffix(QString::fromLatin1(f.suffix));
            }
        }
    };
    dialog.setDefaultSuffix(QString::fromLatin1(kFilters[0].suffix));
    takeSuffix(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, takeSuffix);
}

std::optional<QString> PlatformFileDialogs::ChooseFileToOpen(QWidget* parent,
                                                             const DialogStart& start) {
    return Run(parent, QFileDialog::AcceptOpen, start);
}

std::optional<QString> PlatformFileDialogs::ChooseFileToSaveAs(QWidget* parent,
                                                               const DialogStart& start) {
    return Run(parent, QFileDialog::AcceptSave, start);
}

}  // namespace orvane
