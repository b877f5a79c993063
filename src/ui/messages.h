#pragma once
// The seam through which the editor tells the user something: one modal box with one OK button
// and the program's title. Tests put a recorder in its place.

#include <QString>

namespace orvane {

inline constexpr char kAppTitle[] = "orvane";

class Messages {
public:
    enum class Icon { Warning, Information };

    virtual ~Messages() = default;
    virtual void Show(const QString& text, Icon icon) = 0;

    void Warning(const QString& text) { Show(text, Icon::Warning); }
    void Information(const QString& text) { Show(text, Icon::Information); }
};

// Shows a QMessageBox over the active window.
class MessageBoxes final : public Messages {
public:
    void Show(const QString& text, Icon icon) override;
};

}  // namespace orvane
