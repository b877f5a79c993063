// SPDX-License-Identifier: GPL-3.0-or-later
// What tellim's command line asks for. Read before any window exists, so it needs no display.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct Arguments {
    enum class Action { Open, Help, Version, Refuse };
    Action action = Action::Open;
    std::optional<std::string> file;  // Open: the file to open at start, if one was given
    std::string problem;              // Refuse: what was wrong, in words for the user
};

// words: the arguments after the program's name. The first option that decides wins; "--" ends
// the options, so that a file whose name starts with "-" can be given after it.
Arguments ParseArguments(const std::vector<std::string>& words);
