// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What orvane's command line asks for. Read before the GUI starts, so it needs no display.

#include <QString>
#include <QStringList>
#include <optional>

namespace orvane {

struct CommandLine {
    enum class Action { Open, Help, Version, Refuse };
    Action action = Action::Open;
    std::optional<QString> file;  // Open: the file to open at start, if one was given
    QString problem;              // Refuse: what was wrong, in words for the user
};

// arguments: those after the program's name. "--" ends the options, so that a file whose name
// starts with "-" can be given after it.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace orvane
