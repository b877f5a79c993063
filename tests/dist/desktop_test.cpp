// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor offers the desktop around its window: the file dialog's filters.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QtTest>

#include "file_dialogs.h"

namespace {

// The names a file dialog lists, and can be chosen, in the folder it shows.
QStringList Listed(const QFileDialog& dialog) {
    const QAbstractProxyModel* proxy = dialog.proxyModel();
    const auto* files = qobject_cast<const QFileSystemModel*>(proxy->sourceModel());
    const QModelIndex folder = proxy->mapFromSource(files->index(dialog.directory().path()));
    QStringList names;
    for (int row = 0; row < proxy->rowCount(folder); ++row) {
        const QModelIndex entry = proxy->index(row, 0, folder);
        if (proxy->flags(entry) & Qt::ItemIsEnabled) {
            names << entry.data().toString();
        }
    }
    names.sort();
    return names;
}

}  // namespace

class Desktop : public QObject {
    Q_OBJECT

private slots:
    // Qt takes a choice's pattern from its parentheses: "All Files (*.*)" alone would hide a
    // name without a dot.
    void AllFilesListsEveryFile_data() {
        QTest::addColumn<QFileDialog::AcceptMode>("mode");
        QTest::newRow("open") << QFileDialog::AcceptOpen;
        QTest::newRow("save as") << QFileDialog::AcceptSave;
    }

    void AllFilesListsEveryFile() {
        QFETCH(QFileDialog::AcceptMode, mode);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("states")));
        for (const char* name :
             {"state.zst", "state.zs1", "state.zst.bak", "README", "notes.txt"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        QFileDialog dialog;
        dialog.setAcceptMode(mode);
        orvane::SetUpSaveStateDialog(dialog);
        dialog.setDirectory(folder.path());
        QCOMPARE(dialog.nameFilters(), (QStringList{QStringLiteral("ZSnes Save States (*.zs?)"),
                                                    QStringLiteral("All Files (*.*)")}));
        const QStringList states = {"state.zs1", "state.zst", "states"};
        QTRY_COMPARE(Listed(dialog), states);

        // Chosen as a user chooses it, in the dialog's list of filters.
        QComboBox* filters = nullptr;
        for (QComboBox* combo : dialog.findChildren<QComboBox*>()) {
            filters = combo->findText(QStringLiteral("All Files (*.*)")) >= 0 ? combo : filters;
        }
        QVERIFY(filters);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        filters->setFocus();
        QTest::keyClick(filters, Qt::Key_Down);
        QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("All Files (*.*)"));
        QTRY_COMPARE(Listed(dialog), (QStringList{"README", "notes.txt", "state.zs1", "state.zst",
                                                  "state.zst.bak", "states"}));

        QTest::keyClick(filters, Qt::Key_Up);
        QTRY_COMPARE(Listed(dialog), states);
    }
};

QTEST_MAIN(Desktop)
#include "desktop_test.moc"
