// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every test class that a file of this folder registered with ORVANE_UI_TEST.

#include <QApplication>

#include "ui_fixtures.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return orvane::test::RunRegisteredTests(argc, argv) == 0 ? 0 : 1;
}
