// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A drop-down list without free text that opens below itself at the height its layout gives, with
// a scroll bar for the rest, instead of as tall as a style likes. Assistive technology reads it
// by its accessible name, not by its entry (accessibility.cpp).

#include <QComboBox>

namespace orvane {

class DropList : public QComboBox {
    Q_OBJECT

public:
    explicit DropList(QWidget* parent);

    // The height from the box's top edge to the open list's bottom edge, in pixels.
    void SetDroppedHeight(int pixels) { m_droppedHeight = pixels; }

    void showPopup() override;

private:
    int m_droppedHeight = 0;
};

}  // namespace orvane
