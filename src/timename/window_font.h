// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' named font: MS Sans Serif where it is installed, else the nearest sans face.
#pragma once

#include <QFont>

QFont WindowFont(qreal pointSize, bool bold = false);
