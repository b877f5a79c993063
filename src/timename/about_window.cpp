// SPDX-License-Identifier: GPL-3.0-or-later
#include "about_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "twips.h"
#include "window_font.h"

namespace {

constexpr TwipRect kClientArea = {0, 0, 3390, 2775};
constexpr TwipRect kTitleRect = {0, 0, 3375, 855};
constexpr TwipRect kAuthorFrameRect = {240, 960, 2895, 1095};
constexpr TwipRect kAuthorRect = {120, 360, 2655, 255};
constexpr TwipRect kContactRect = {120, 600, 2655, 255};
constexpr TwipRect kOkRect = {2160, 2280, 1095, 375};

constexpr qreal kTitlePointSize = 18.0;

}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About..."));
    setFixedSize(ToPixels(kClientArea).size());

    m_titleLabel = new QLabel(QStringLiteral("tellim"), this);
    m_titleLabel->setGeometry(ToPixels(kTitleRect));
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setFont(WindowFont(kTitlePointSize));

    m_authorFrame = new QGroupBox(QStringLiteral("Programmed by:"), this);
    m_authorFrame->setGeometry(ToPixels(kAuthorFrameRect));
    auto* author = new QLabel(QStringLiteral("The tellim developers"), m_authorFrame);
    author->setGeometry(ToPixels(kAuthorRect));
    auto* contact = new QLabel(QStringLiteral("(contact: see README.md)"), m_authorFrame);
    contact->setGeometry(ToPixels(kContactRect));

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setGeometry(ToPixels(kOkRect));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
}
