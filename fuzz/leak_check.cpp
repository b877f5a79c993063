// SPDX-License-Identifier: GPL-3.0-or-later
// Proves the fuzz runs' leak suppressions hide only the system's font libraries: a window that
// lays out text of many scripts (which makes fontconfig and FreeType keep memory no one frees),
// and one allocation of our own that is never freed. LeakSanitizer must report exactly that one.

#include <QApplication>
#include <QLabel>
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
    QApplication app(argc, argv);
    QLabel label(QString::fromUtf8("Crono 中文 العربية ไทย 한국어 ॐ 😀 ∑ Ελληνικά Кириллица"));
    QLineEdit edit(label.text());
    label.show();
    edit.show();
    label.grab();
    edit.grab();
    ForgetOnPurpose();
    return 0;
}
