// SPDX-License-Identifier: GPL-3.0-or-later
// The modal parts of tellim's user interface, behind an interface so that tests can script them.
#pragma once

#include <QString>

class QDialog;
class QWidget;

class Dialogs {
public:
    enum class Icon { Information, Warning };

    virtual ~Dialogs() = default;
    virtual void Message(QWidget* parent, Icon icon, const QString& title, const QString& text) = 0;
    // True for Yes.
    virtual bool Ask(QWidget* parent, const QString& title, const QString& question) = 0;
    // Returns the chosen file, or an empty string when the user cancels.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& current) = 0;
    virtual void RunModal(QDialog& dialog) = 0;
};

// The real thing: QMessageBox, QFileDialog and QDialog::exec.
class QtDialogs : public Dialogs {
public:
    void Message(QWidget* parent, Icon icon, const QString& title, const QString& text) override;
    bool Ask(QWidget* parent, const QString& title, const QString& question) override;
    QString OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& current) override;
    void RunModal(QDialog& dialog) override;
};
