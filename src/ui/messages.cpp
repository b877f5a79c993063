// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"

#include <QApplication>
#include <QMessageBox>

namespace orvane {

void MessageBoxes::Show(const QString& text, Icon icon, const QString& detail) {
    const QMessageBox::Icon boxIcon =
        icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning;
    QMessageBox box(boxIcon, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setInformativeText(detail);
    box.exec();
}

bool MessageBoxes::Ask(const QString& question) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), question,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    // Replacing is what cannot be undone, so it takes a deliberate choice.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace orvane
