// SPDX-License-Identifier: GPL-3.0-or-later
#include "about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "artwork.h"
#include "dialog_units.h"
#include "group_frame.h"

namespace orvane {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About..."));
    setFont(PageFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(186, 97));

    // Created back to front so the frame lies under what it surrounds.
    auto* group = new GroupFrame(tr("orvane V1.0"), this);
    group->setAlignment(Qt::AlignHCenter);
    group->setGeometry(units.Rect({7, 7, 172, 83}));

    const auto addText = [&](const QString& text, const UnitRect& rect, bool wrap) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(wrap);
        QRect area = units.Rect(rect);
        // A one-line text wider than its box grows about the box's centre instead of clipping:
        // the fonts at hand are wider than the ones the layout was measured with.
        const int textWidth = label->fontMetrics().horizontalAdvance(text) + 2;
        if (!wrap && textWidth > area.width()) {
            area.adjust(-(textWidth - area.width()) / 2, 0, (textWidth - area.width() + 1) / 2, 0);
        }
        label->setGeometry(area);
        return label;
    };
    addText(tr("The orvane developers"), {65, 38, 55, 11}, false);
    addText(tr("Orvane Save State Editor"), {55, 20, 76, 20}, true);

    auto* picture = new QLabel(this);
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(AboutPicture());
    picture->setGeometry(units.Rect({15, 17, 35, 32}));

    addText(tr("See README.md in the project"), {33, 55, 119, 8}, false);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(units.Rect({67, 69, 50, 14}));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

}  // namespace orvane
