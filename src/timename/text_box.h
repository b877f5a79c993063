// TextBox: a single-line box whose length limit holds for typing but not for text loaded into it.
#pragma once

#include <QLineEdit>

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(int typedLimit, QWidget* parent);

    // A loaded text longer than the limit stays whole until the user edits it down.
    void SetLoadedText(const QString& text);

private:
    int m_typedLimit;
};
