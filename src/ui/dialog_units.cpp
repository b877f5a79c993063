// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_units.h"

#include <QApplication>
#include <QFontMetrics>

namespace orvane {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the 52 letters, rounded, rather than the font's own average width: that is
    // the width dialog units were defined by, and it keeps proportions of the layout tables.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = std::max(1, (letters / 26 + 1) / 2);
    m_baseY = std::max(1, metrics.height());
}

int DialogUnits::X(int units) const {
    return (units * m_baseX + 2) / 4;
}

int DialogUnits::Y(int units) const {
    return (units * m_baseY + 4) / 8;
}

QSize DialogUnits::Size(int width, int height) const {
    return {X(width), Y(height)};
}

QRect DialogUnits::Rect(const UnitRect& rect) const {
    // Each edge on its own: rounded sizes added to rounded positions would make neighbours that
    // touch in units overlap or part by a pixel.
    const int left = X(rect.x);
    const int top = Y(rect.y);
    return {left, top, X(rect.x + rect.width) - left, Y(rect.y + rect.height) - top};
}

QFont PageFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

}  // namespace orvane
