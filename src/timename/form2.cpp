// SPDX-License-Identifier: GPL-3.0-or-later
#include "form2.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "form_font.h"
#include "twips.h"

namespace {

constexpr TwipRect kClientArea = {0, 0, 3390, 2775};
constexpr TwipRect kTitleRect = {0, 0, 3375, 855};
constexpr TwipRect kAuthorFrameRect = {240, 960, 2895, 1095};
constexpr TwipRect kAuthorRect = {120, 360, 2655, 255};
constexpr TwipRect kContactRect = {120, 600, 2655, 255};
constexpr TwipRect kOkRect = {2160, 2280, 1095, 375};

constexpr qreal kTitlePointSize = 18.0;

}  // namespace

Form2::Form2(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About..."));
    setFixedSize(ToPixels(kClientArea).size());

    Label1 = new QLabel(QStringLiteral("tellim"), this);
    Label1->setGeometry(ToPixels(kTitleRect));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(FormFont(kTitlePointSize));

    Frame1 = new QGroupBox(QStringLiteral("Programmed by:"), this);
    Frame1->setGeometry(ToPixels(kAuthorFrameRect));
    Label2 = new QLabel(QStringLiteral("The tellim developers"), Frame1);
    Label2->setGeometry(ToPixels(kAuthorRect));
    Label3 = new QLabel(QStringLiteral("(contact: see README.md)"), Frame1);
    Label3->setGeometry(ToPixels(kContactRect));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(ToPixels(kOkRect));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

void Form2::Command1_Click() {
    accept();
}
