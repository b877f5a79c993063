// SPDX-License-Identifier: GPL-3.0-or-later
#include "group_frame.h"

#include <qdrawutil.h>

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace orvane {

GroupFrame::GroupFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const QString shown = QString(title()).remove(u'&');
    const int gap = std::max(1, metrics.averageCharWidth() / 3);
    const int captionWidth = shown.isEmpty() ? 0 : metrics.horizontalAdvance(shown) + 2 * gap;
    QRect caption(0, 0, std::min(captionWidth, width()), metrics.height());
    if (alignment() & Qt::AlignHCenter) {
        caption.moveLeft((width() - caption.width()) / 2);
    } else if (alignment() & Qt::AlignRight) {
        caption.moveRight(width() - 1 - metrics.averageCharWidth());
    } else {
        caption.moveLeft(metrics.averageCharWidth());
    }

    // The styles' own frames sit a text line lower, so the etched line is drawn here.
    const QRect frame = rect().adjusted(0, metrics.height() / 2, 0, 0);
    painter.save();
    painter.setClipRegion(QRegion(rect()).subtracted(caption));
    qDrawShadeRect(&painter, frame, palette(), true, 1, 0);
    painter.restore();
    if (!shown.isEmpty()) {
        style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), title(), QPalette::WindowText);
    }
}

}  // namespace orvane
