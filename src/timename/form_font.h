// SPDX-License-Identifier: GPL-3.0-or-later
// The forms' named font: MS Sans Serif where it is installed, else the nearest sans face.
#pragma once

#include <QFont>

QFont FormFont(qreal pointSize, bool bold = false);
