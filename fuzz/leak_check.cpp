// SPDX-License-Identifier: GPL-3.0-or-later
// Proves the fuzz runs' leak suppressions hide only what the system's font libraries keep: text
// of many scripts laid out by an application that, as in a fuzz target, lives until the process
// ends (Qt's fallback fonts then leave fontconfig's patterns behind), and one allocation of our
// own that is never freed. LeakSanitizer must report exactly that one.

#include <QApplication>
#include <QLineEdit>

namespace {

// Kept from being optimised away, then forgotten.
void* volatile g_forgotten = nullptr;

[[gnu::noinline]] void ForgetOnPurpose() {
    g_forgotten = new char[4321];
    g_forgotten = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    {
        QLineEdit edit;
        edit.setText(QString::fromUtf8("Crono 中文 العربية ไทย 한국어 ॐ 😀 ∑ Ελληνικά Кириллица"));
    }
    ForgetOnPurpose();
    return 0;
}
