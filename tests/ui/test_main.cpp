// Runs every test class that a file of this folder registered with ORVANE_UI_TEST.

#include <QApplication>

#include "ui_fixtures.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    return orvane::test::RunRegisteredTests(argc, argv) == 0 ? 0 : 1;
}
