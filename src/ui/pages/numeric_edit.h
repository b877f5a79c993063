// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A digits-only edit with a typing limit that still shows a longer value set by the program in
// full, as the pages need for stored values wider than their limit.

#include <QLineEdit>
#include <cstdint>

namespace orvane {

class NumericEdit : public QLineEdit {
    Q_OBJECT

public:
    NumericEdit(int textLimit, QWidget* parent);

    // Shows the value in decimal, even when it has more digits than the limit.
    void SetValue(std::uint32_t value);

private:
    int m_textLimit;
};

}  // namespace orvane
