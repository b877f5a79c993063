// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What tellim's tests share: dialogs that answer from a script and record every message instead
// of waiting for a user, and the window's boxes as a user types into and reads them.

#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "dialogs.h"
#include "fixtures.h"
#include "main_window.h"
#include "text_box.h"

namespace orvane::test {

// Messages are recorded as "icon|title|text"; each open dialog takes the next answer, and one
// without an answer is a cancel; so does each question.
class ScriptedDialogs final : public Dialogs {
public:
    void Message(QWidget*, Icon icon, const QString& title, const QString& text) override {
        shown << QStringList{icon == Icon::Warning ? "warning" : "information", title, text}.join(
            QLatin1Char('|'));
    }

    bool Ask(QWidget*, const QString& title, const QString& question) override {
        asked << title + QLatin1Char('|') + question;
        return !askAnswers.isEmpty() && askAnswers.takeFirst();
    }

    QString OpenFileName(QWidget*, const QString& title, const QString& filter,
                         const QString& current) override {
        opened.push_back({title, filter, current});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    void RunModal(QDialog& dialog) override {
        dialog.open();
        if (onModal) {
            onModal(dialog);
        }
        modalStillOpen = dialog.isVisible();
    }

    QStringList answers;
    QList<bool> askAnswers;     // for each question in turn; No when none is left
    QStringList asked;          // "title|question"
    QList<QStringList> opened;  // title, filter and current file of each open dialog
    QStringList shown;
    std::function<void(QDialog&)> onModal;
    bool modalStillOpen = false;
};

inline QString ToQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// The seven names in the order of the boxes, then hours and minutes, tens first.
inline QStringList BoxTexts(const MainWindow& window) {
    QStringList texts;
    for (const TextBox* box : window.NameBoxes()) {
        texts << box->text();
    }
    for (const TextBox* box : {window.HourTensBox(), window.HourUnitsBox(), window.MinuteTensBox(),
                               window.MinuteUnitsBox()}) {
        texts << box->text();
    }
    return texts;
}

inline void Retype(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

}  // namespace orvane::test
