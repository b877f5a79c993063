// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every test class that a file of the program registered with ORVANE_UI_TEST.

#include <QApplication>

#include "editor_fixtures.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return orvane::test::RunRegisteredTests(argc, argv) == 0 ? 0 : 1;
}
