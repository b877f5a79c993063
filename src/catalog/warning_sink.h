// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one channel through which the model tells the user something: the application installs a
// function that shows the text; the model never shows a window itself.

#include <functional>
#include <string_view>

namespace orvane {

using WarningSink = std::function<void(std::string_view text)>;

}  // namespace orvane
