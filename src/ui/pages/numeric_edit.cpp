// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric_edit.h"

#include <QValidator>
#include <algorithm>

namespace orvane {

namespace {

// ASCII digits only, as the pattern [0-9]* accepted. A pattern validator compiles and JITs its own
// copy of the pattern for every edit, and the sheet builds all its pages' edits at start-up.
class DigitsValidator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        const bool digits = std::all_of(input.cbegin(), input.cend(),
                                        [](QChar c) { return c >= u'0' && c <= u'9'; });
        return digits ? Acceptable : Invalid;
    }
};

}  // namespace

NumericEdit::NumericEdit(int textLimit, QWidget* parent)
    : QLineEdit(parent), m_textLimit(textLimit) {
    setValidator(new DigitsValidator(this));
    setMaxLength(textLimit);
    // A longer shown value may be shortened; once it fits, the limit applies again.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        setMaxLength(std::max<int>(m_textLimit, static_cast<int>(text.size())));
    });
}

void NumericEdit::SetValue(std::uint32_t value) {
    const QString text = QString::number(value);
    setMaxLength(std::max<int>(m_textLimit, static_cast<int>(text.size())));
    setText(text);
}

}  // namespace orvane
