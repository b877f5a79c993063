// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_box.h"

#include <QValidator>
#include <algorithm>

namespace {

// Whether after is before with one run of characters taken out.
bool OnlyDeletes(const QString& before, const QString& after) {
    if (after.size() >= before.size()) {
        return false;
    }
    qsizetype common = 0;
    while (common < after.size() && after[common] == before[common]) {
        ++common;
    }
    return before.endsWith(QStringView(after).mid(common));
}

}  // namespace

// The maximum length alone cannot do it: lowered below a loaded text it cuts the text, and kept
// above it lets a replaced character in as long as the length stays.
class TextBox::TypedLimit : public QValidator {
public:
    explicit TypedLimit(TextBox& box) : QValidator(&box), m_box(box) {}

    State validate(QString& input, int&) const override {
        if (m_box.m_loading || input.size() <= m_box.m_typedLimit ||
            OnlyDeletes(m_box.m_lastText, input)) {
            return Acceptable;
        }
        return Invalid;
    }

private:
    TextBox& m_box;
};

TextBox::TextBox(int typedLimit, QWidget* parent) : QLineEdit(parent), m_typedLimit(typedLimit) {
    setMaxLength(typedLimit);
    setValidator(new TypedLimit(*this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_lastText = text;
        // Follows the text down, never up, so a paste into a short text is cut to fit.
        setMaxLength(std::max(m_typedLimit, static_cast<int>(text.size())));
    });
}

void TextBox::SetLoadedText(const QString& text) {
    m_loading = true;
    m_loadedText = text;
    setMaxLength(std::max(m_typedLimit, static_cast<int>(text.size())));
    setText(text);
    m_loading = false;
}
