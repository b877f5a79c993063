// SPDX-License-Identifier: GPL-3.0-or-later
// tellim: the name and play-time editor. Usage: tellim [--help | --version] [--] [FILE]

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <cstdio>
#include <string>
#include <vector>

#include "arguments.h"
#include "dialogs.h"
#include "main_window.h"

namespace {

constexpr char kUsage[] = "Usage: tellim [--help | --version] [--] [FILE]\n";
constexpr char kHelp[] =
    "Usage: tellim [FILE]\n"
    "Edit the party's names and the play time in a Chrono Trigger save state of ZSNES,\n"
    "snes9x, RetroArch or mednafen.\n"
    "\n"
    "  FILE           the save state to open at start\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "  --             end the options; a FILE whose name starts with '-' follows it\n";

// A full disk or a closed pipe is a failure too.
int Print(const char* text) {
    return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Read before Qt starts, so that help, version and a refusal need no display.
    const Arguments arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    switch (arguments.action) {
        case Arguments::Action::Help:
            return Print(kHelp);
        case Arguments::Action::Version:
            return Print("tellim " TELLIM_VERSION "\n");
        case Arguments::Action::Refuse:
            std::fprintf(stderr, "tellim: %s\n%s", arguments.problem.c_str(), kUsage);
            return 2;
        case Arguments::Action::Open:
            break;
    }

    // Wayland shells find the window's desktop entry, and with it its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvane.tellim"));
    int qtArgc = 1;  // every argument was read above; none is left for Qt to take as its own
    QApplication app(qtArgc, argv);
    QApplication::setApplicationVersion(QStringLiteral(TELLIM_VERSION));
    QIcon icon;
    for (const QFileInfo& image : QDir(QStringLiteral(":/window_icon")).entryInfoList()) {
        icon.addFile(image.filePath());
    }
    QApplication::setWindowIcon(icon);

    QtDialogs dialogs;
    MainWindow window(dialogs);
    window.show();
    if (arguments.file) {
        window.OpenFile(QFile::decodeName(QByteArray::fromStdString(*arguments.file)));
    }
    return app.exec();
}
