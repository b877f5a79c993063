// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <QCommandLineParser>

namespace orvane {

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);

    CommandLine line;
    // The parser skips the first word as the program's name.
    if (!parser.parse(QStringList(QStringLiteral("orvane")) + arguments)) {
        line.action = CommandLine::Action::Refuse;
        line.problem = parser.errorText();
    } else if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
    } else if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
    } else if (const QStringList files = parser.positionalArguments(); files.size() > 1) {
        line.action = CommandLine::Action::Refuse;
        line.problem = QStringLiteral("more than one file: '%1' and '%2'").arg(files[0], files[1]);
    } else if (files.size() == 1) {
        line.file = files[0];
    }
    return line;
}

}  // namespace orvane
