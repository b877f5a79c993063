// SPDX-License-Identifier: GPL-3.0-or-later
#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

int TwipsToPixels(int twips) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

QRect ToPixels(const TwipRect& rect) {
    return QRect(TwipsToPixels(rect.left), TwipsToPixels(rect.top), TwipsToPixels(rect.width),
                 TwipsToPixels(rect.height));
}
