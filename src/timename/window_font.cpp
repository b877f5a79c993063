// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_font.h"

#include <QStringList>

QFont WindowFont(qreal pointSize, bool bold) {
    QFont font;
    // The TrueType face that followed it keeps its metrics; without either, the style hint lets
    // the font matcher pick a sans face rather than the default, which may be anything.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
