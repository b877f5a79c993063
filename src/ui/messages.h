// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seam through which the editor tells the user something: one modal box with one OK button
// and the program's title, or a question with Yes and No. Tests put a recorder in its place.

#include <QString>

namespace orvane {

inline constexpr char kAppTitle[] = "orvane";

class Messages {
public:
    enum class Icon { Warning, Information };

    virtual ~Messages() = default;
    // detail, when given, says more below the text (why a save failed, say).
    virtual void Show(const QString& text, Icon icon, const QString& detail) = 0;
    // True for Yes.
    virtual bool Ask(const QString& question) = 0;

    void Warning(const QString& text, const QString& detail = {}) {
        Show(text, Icon::Warning, detail);
    }
    void Information(const QString& text) { Show(text, Icon::Information, {}); }
};

// Shows a QMessageBox over the active window.
class MessageBoxes final : public Messages {
public:
    void Show(const QString& text, Icon icon, const QString& detail) override;
    bool Ask(const QString& question) override;
};

}  // namespace orvane
