// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Collects the texts the model sends to its warning sink, in order.

#include <string>
#include <string_view>
#include <vector>

#include "warning_sink.h"

struct WarningRecorder {
    std::vector<std::string> texts;

    orvane::WarningSink Sink() {
        return [this](std::string_view text) { texts.emplace_back(text); };
    }
};
