// SPDX-License-Identifier: GPL-3.0-or-later
#include "drop_list.h"

#include <QAbstractItemView>
#include <QScreen>

#include "accessibility.h"

namespace orvane {

DropList::DropList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    // Styles that open the list as a menu ignore every height and hide the scroll bar; this one
    // hint makes each of them open a list.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    InstallAccessibleInterfaces();
}

void DropList::showPopup() {
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    if (popup == window() || m_droppedHeight <= height()) {
        return;
    }
    const int listHeight = m_droppedHeight - height();
    const QPoint top = mapToGlobal(QPoint(0, 0));
    const QRect screen = popup->screen()->availableGeometry();
    QRect area = popup->geometry();
    area.setHeight(listHeight);
    // Below the box as laid out; above it only where the screen ends first.
    const bool roomBelow = top.y() + height() + listHeight <= screen.bottom() + 1;
    const bool roomAbove = top.y() - listHeight >= screen.top();
    if (roomBelow || !roomAbove) {
        area.moveTop(top.y() + height());
    } else {
        area.moveBottom(top.y() - 1);
    }
    popup->setGeometry(area);
    view()->scrollTo(view()->currentIndex(), QAbstractItemView::EnsureVisible);
}

}  // namespace orvane
