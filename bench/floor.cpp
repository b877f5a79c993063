// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up floor: a bare Qt window built as the editor's sheet is, a menu bar with the same
// menus over a tab strip and a stack of twelve empty pages of the editor's page size, and
// nothing else.

#include <QApplication>
#include <QFontMetrics>
#include <QMainWindow>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

constexpr int kPages = 12;
// The editor's page in dialog units, and its font.
constexpr int kPageWidthUnits = 240;
constexpr int kPageHeightUnits = 166;
constexpr int kPagePointSize = 8;

QSize PageSize() {
    QFont font = QApplication::font();
    font.setPointSize(kPagePointSize);
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = std::max(1, (letters / 26 + 1) / 2);
    const int baseY = std::max(1, metrics.height());
    return {(kPageWidthUnits * baseX + 2) / 4, (kPageHeightUnits * baseY + 4) / 8};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("floor"));
    auto* body = new QWidget(&window);
    auto* layout = new QVBoxLayout(body);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* tabs = new QTabBar(body);
    tabs->setExpanding(false);
    auto* stack = new QStackedWidget(body);
    stack->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    for (int i = 0; i < kPages; ++i) {
        tabs->addTab(QStringLiteral("Page %1").arg(i + 1));
        auto* page = new QWidget(stack);
        page->setFixedSize(PageSize());
        stack->addWidget(page);
    }
    QObject::connect(tabs, &QTabBar::currentChanged, stack, &QStackedWidget::setCurrentIndex);
    layout->addWidget(tabs);
    layout->addWidget(stack);
    window.setCentralWidget(body);

    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open..."));
    file->addSeparator();
    file->addAction(QStringLiteral("&Save"))->setEnabled(false);
    file->addAction(QStringLiteral("S&ave As..."))->setEnabled(false);
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), &window, &QWidget::close);
    window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("About..."));

    window.show();
    return qt.exec();
}
