#include "messages.h"

#include <QApplication>
#include <QMessageBox>

namespace orvane {

void MessageBoxes::Show(const QString& text, Icon icon) {
    const QMessageBox::Icon boxIcon =
        icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning;
    QMessageBox box(boxIcon, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace orvane
