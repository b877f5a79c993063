// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A group box drawn as the layout tables assume: the caption at the top edge and the frame's top
// line through the caption's middle, whatever the style would draw.

#include <QGroupBox>

namespace orvane {

class GroupFrame : public QGroupBox {
    Q_OBJECT

public:
    GroupFrame(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace orvane
