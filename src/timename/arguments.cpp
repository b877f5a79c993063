// SPDX-License-Identifier: GPL-3.0-or-later
#include "arguments.h"

namespace {

Arguments Refuse(std::string problem) {
    Arguments arguments;
    arguments.action = Arguments::Action::Refuse;
    arguments.problem = std::move(problem);
    return arguments;
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& words) {
    Arguments arguments;
    bool optionsEnded = false;
    for (const std::string& word : words) {
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && word.size() > 1 && word.front() == '-') {
            if (word == "-h" || word == "--help") {
                arguments.action = Arguments::Action::Help;
                return arguments;
            }
            if (word == "-v" || word == "--version") {
                arguments.action = Arguments::Action::Version;
                return arguments;
            }
            return Refuse("unknown option '" + word + "'");
        } else if (arguments.file) {
            return Refuse("more than one file: '" + *arguments.file + "' and '" + word + "'");
        } else {
            arguments.file = word;
        }
    }
    return arguments;
}
