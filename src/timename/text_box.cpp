#include "text_box.h"

#include <algorithm>

TextBox::TextBox(int typedLimit, QWidget* parent) : QLineEdit(parent), m_typedLimit(typedLimit) {
    setMaxLength(typedLimit);
    // After an edit the limit follows the text down, never up, until it is back at the typed one.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        setMaxLength(std::max(m_typedLimit, static_cast<int>(text.size())));
    });
}

void TextBox::SetLoadedText(const QString& text) {
    setMaxLength(std::max(m_typedLimit, static_cast<int>(text.size())));
    setText(text);
}
