// SPDX-License-Identifier: GPL-3.0-or-later
// What both programs offer the desktop around their windows: the command line each reads before
// its window exists, and the file dialog's filters of the editor.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <string>
#include <vector>

#include "arguments.h"
#include "command_line.h"
#include "file_dialogs.h"

namespace {

enum class Asks { Open, Help, Version, Refusal };

struct Reading {
    Asks asks;
    std::optional<QString> file;
};

template <typename Action>
Asks AsksFor(Action action) {
    switch (action) {
        case Action::Open:
            return Asks::Open;
        case Action::Help:
            return Asks::Help;
        case Action::Version:
            return Asks::Version;
        case Action::Refuse:
            break;
    }
    return Asks::Refusal;
}

Reading ReadByOrvane(const QStringList& words) {
    const orvane::CommandLine line = orvane::ParseCommandLine(words);
    return {AsksFor(line.action), line.file};
}

Reading ReadByTellim(const QStringList& words) {
    std::vector<std::string> plain;
    for (const QString& word : words) {
        plain.push_back(word.toStdString());
    }
    const Arguments arguments = ParseArguments(plain);
    std::optional<QString> file;
    if (arguments.file) {
        file = QString::fromStdString(*arguments.file);
    }
    return {AsksFor(arguments.action), file};
}

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

Q_DECLARE_METATYPE(Asks)

class Desktop : public QObject {
    Q_OBJECT

private slots:
    void BothProgramsReadTheirCommandLineAlike_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<Asks>("asks");
        QTest::addColumn<QString>("file");  // null: no file

        QTest::newRow("nothing") << QStringList() << Asks::Open << QString();
        QTest::newRow("a file") << QStringList{"a.zst"} << Asks::Open << "a.zst";
        QTest::newRow("--help") << QStringList{"--help"} << Asks::Help << QString();
        QTest::newRow("-h after a file") << QStringList{"a.zst", "-h"} << Asks::Help << QString();
        QTest::newRow("--version") << QStringList{"--version"} << Asks::Version << QString();
        QTest::newRow("-v") << QStringList{"-v"} << Asks::Version << QString();
        QTest::newRow("-- ends the options") << QStringList{"--", "-x"} << Asks::Open << "-x";
        QTest::newRow("-- before --help") << QStringList{"--", "--help"} << Asks::Open << "--help";
        QTest::newRow("a lone dash is a name") << QStringList{"-"} << Asks::Open << "-";
        QTest::newRow("unknown short") << QStringList{"-x"} << Asks::Refusal << QString();
        QTest::newRow("unknown long") << QStringList{"--open", "a"} << Asks::Refusal << QString();
        QTest::newRow("two files") << QStringList{"a", "b"} << Asks::Refusal << QString();
        QTest::newRow("two after --") << QStringList{"--", "a", "b"} << Asks::Refusal << QString();
    }

    void BothProgramsReadTheirCommandLineAlike() {
        QFETCH(QStringList, words);
        QFETCH(Asks, asks);
        QFETCH(QString, file);
        for (const auto& [program, read] :
             {std::pair{"orvane", &ReadByOrvane}, std::pair{"tellim", &ReadByTellim}}) {
            const Reading reading = read(words);
            QVERIFY2(reading.asks == asks, program);
            if (asks == Asks::Open) {
                QCOMPARE(reading.file.has_value(), !file.isNull());
                QCOMPARE(reading.file.value_or(QString()), file);
            }
        }
    }

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
