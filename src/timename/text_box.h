// SPDX-License-Identifier: GPL-3.0-or-later
// TextBox: a single-line box whose length limit holds for typing but not for text loaded into it.
#pragma once

#include <QLineEdit>

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(int typedLimit, QWidget* parent);

    // A loaded text longer than the limit stays whole until the user edits it; from then on the
    // box takes no more characters than the limit, though deleting is always possible.
    void SetLoadedText(const QString& text);
    // Whether the text differs from the one last loaded.
    bool Edited() const { return text() != m_loadedText; }

private:
    class TypedLimit;

    int m_typedLimit;
    // The text before the edit being checked.
    QString m_lastText;
    QString m_loadedText;
    bool m_loading = false;
};
