#include "numeric_edit.h"

#include <QRegularExpressionValidator>
#include <algorithm>

namespace orvane {

NumericEdit::NumericEdit(int textLimit, QWidget* parent)
    : QLineEdit(parent), m_textLimit(textLimit) {
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
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
