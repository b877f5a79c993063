// SPDX-License-Identifier: GPL-3.0-or-later
// Form2: tellim's About window.
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    void Command1_Click();

    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Command1 = nullptr;
};
