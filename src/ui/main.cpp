// SPDX-License-Identifier: GPL-3.0-or-later
// orvane: the save-state editor. Usage: orvane [--help | --version] [--] [FILE]

#include <QApplication>
#include <QFile>
#include <cstdio>

#include "command_line.h"
#include "editor_app.h"
#include "file_dialogs.h"
#include "messages.h"

namespace {

constexpr char kUsage[] = "Usage: orvane [--help | --version] [--] [FILE]\n";
constexpr char kHelp[] =
    "Usage: orvane [FILE]\n"
    "Edit a Chrono Trigger save state of ZSNES, snes9x, RetroArch or mednafen: money,\n"
    "party, inventory and techniques.\n"
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

int main(int argc, char** argv) {
    // Read before Qt starts, so that help, version and a refusal need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QFile::decodeName(argv[i]);
    }
    const orvane::CommandLine line = orvane::ParseCommandLine(arguments);
    switch (line.action) {
        case orvane::CommandLine::Action::Help:
            return Print(kHelp);
        case orvane::CommandLine::Action::Version:
            return Print("orvane " ORVANE_VERSION "\n");
        case orvane::CommandLine::Action::Refuse:
            std::fprintf(stderr, "orvane: %s\n%s", line.problem.toLocal8Bit().constData(), kUsage);
            return 2;
        case orvane::CommandLine::Action::Open:
            break;
    }

    // Wayland shells find the window's desktop entry, and with it its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvane.orvane"));
    int qtArgc = 1;  // every argument was read above; none is left for Qt to take as its own
    QApplication qt(qtArgc, argv);
    QApplication::setApplicationName(QString::fromLatin1(orvane::kAppTitle));
    QApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));

    orvane::MessageBoxes messages;
    orvane::PlatformFileDialogs dialogs;
    orvane::EditorApp app(messages, dialogs);
    app.Start(line.file);
    return qt.exec();
}
