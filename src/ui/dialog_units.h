// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one conversion from dialog units to pixels: x in quarters of the font's average character
// width, y in eighths of its height. Every layout table is written in dialog units.

#include <QFont>
#include <QRect>
#include <QSize>

namespace orvane {

// A position and size in dialog units, as the layout tables give them.
struct UnitRect {
    int x;
    int y;
    int width;
    int height;
};

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QSize Size(int width, int height) const;
    QRect Rect(const UnitRect& rect) const;

private:
    int m_baseX;
    int m_baseY;
};

// The font every page and the About box are laid out in.
QFont PageFont();

}  // namespace orvane
