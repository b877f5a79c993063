// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Help > About...: the program's name, version, authors and where to reach them.

#include <QDialog>

namespace orvane {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace orvane
