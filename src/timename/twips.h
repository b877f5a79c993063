// SPDX-License-Identifier: GPL-3.0-or-later
// Conversion of the windows' twip geometry (1440 per inch) to pixels of the screen.
#pragma once

#include <QRect>

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

// Uses the logical DPI of the primary screen.
int TwipsToPixels(int twips);

QRect ToPixels(const TwipRect& rect);
