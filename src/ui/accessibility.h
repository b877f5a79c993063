// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What assistive technology sees of the editor's own widgets: the tab strip as a list of page
// tabs that can be selected, and drop-down lists named after their labels.

#include <QString>

namespace orvane {

// A label's text as the name of the control it labels: "&Gold:" names "Gold".
QString LabelName(const QString& labelText);

// Hands Qt the interfaces of TabStrip and DropList. Only the first call does anything.
void InstallAccessibleInterfaces();

}  // namespace orvane
