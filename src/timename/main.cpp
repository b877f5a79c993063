#include <QApplication>
#include <QStringList>

#include "dialogs.h"
#include "form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtDialogs dialogs;
    Form1 form(dialogs);
    form.show();
    // tellim FILE opens FILE as the Open command would.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        form.OpenFile(arguments.at(1));
    }
    return app.exec();
}
