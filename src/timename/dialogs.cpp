// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

void QtDialogs::Message(QWidget* parent, Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning,
                    title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogs::Ask(QWidget* parent, const QString& title, const QString& question) {
    return QMessageBox::question(parent, title, question) == QMessageBox::Yes;
}

QString QtDialogs::OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                const QString& current) {
    return QFileDialog::getOpenFileName(parent, title, current, filter);
}

void QtDialogs::RunModal(QDialog& dialog) {
    dialog.exec();
}
