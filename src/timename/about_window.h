// SPDX-License-Identifier: GPL-3.0-or-later
// tellim's About window: the program's name and who wrote it.
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    QLabel* TitleLabel() const { return m_titleLabel; }
    QGroupBox* AuthorFrame() const { return m_authorFrame; }
    QPushButton* OkButton() const { return m_okButton; }

private:
    QLabel* m_titleLabel = nullptr;
    QGroupBox* m_authorFrame = nullptr;
    QPushButton* m_okButton = nullptr;
};
