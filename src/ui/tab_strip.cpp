// SPDX-License-Identifier: GPL-3.0-or-later
#include "tab_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>

#include "accessibility.h"

namespace orvane {

namespace {

QStyleOptionTab TabOption(const QWidget* strip, const QString& caption) {
    QStyleOptionTab option;
    option.initFrom(strip);
    option.shape = QTabBar::RoundedNorth;
    option.text = caption;
    option.position = QStyleOptionTab::Middle;
    return option;
}

}  // namespace

TabStrip::TabStrip(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    InstallAccessibleInterfaces();
}

void TabStrip::SetTabs(const QStringList& captions, int rowWidth) {
    m_captions = captions;
    m_rowWidth = rowWidth;
    m_current = std::clamp(m_current, 0, std::max(0, Count() - 1));
    Layout();
}

void TabStrip::SetCurrent(int index) {
    if (index < 0 || index >= Count()) {
        return;
    }
    m_current = index;
    update();
}

void TabStrip::RequestTab(int index) {
    if (index >= 0 && index < Count()) {
        emit TabRequested(index);
    }
}

QSize TabStrip::TabSize(const QString& caption) const {
    // The same measure a QTabBar takes, so the style's own padding fits around the caption.
    const QStyleOptionTab option = TabOption(this, caption);
    const QSize contents(
        fontMetrics().horizontalAdvance(caption) +
            style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this),
        fontMetrics().height() + style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this));
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this);
}

int TabStrip::RowHeight() const {
    return TabSize(QStringLiteral("X")).height();
}

void TabStrip::Layout() {
    m_row.assign(m_captions.size(), 0);
    m_slot.assign(m_captions.size(), QRect());
    std::vector<std::vector<int>> rows(1);
    int used = 0;
    for (int i = 0; i < Count(); ++i) {
        const int width = TabSize(m_captions[i]).width();
        if (used > 0 && used + width > m_rowWidth) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(i);
        m_row[i] = static_cast<int>(rows.size()) - 1;
        m_slot[i] = QRect(used, 0, width, RowHeight());
        used += width;
    }
    m_rowCount = Count() == 0 ? 0 : static_cast<int>(rows.size());
    // Several rows share the width evenly, so the rows line up as one block.
    if (m_rowCount > 1) {
        for (const std::vector<int>& row : rows) {
            int natural = 0;
            for (int i : row) {
                natural += m_slot[i].width();
            }
            int x = 0;
            for (std::size_t k = 0; k < row.size(); ++k) {
                const int extra =
                    (m_rowWidth - natural) * static_cast<int>(k + 1) /
                        static_cast<int>(row.size()) -
                    (m_rowWidth - natural) * static_cast<int>(k) / static_cast<int>(row.size());
                QRect& slot = m_slot[row[k]];
                slot = QRect(x, 0, slot.width() + extra, RowHeight());
                x += slot.width();
            }
        }
    }
    setFixedSize(sizeHint());
    updateGeometry();
    update();
}

QSize TabStrip::sizeHint() const {
    return {m_rowWidth, std::max(1, m_rowCount) * RowHeight()};
}

QRect TabStrip::TabRect(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    // Rows rotate so that the selected tab's row touches the page below the strip.
    const int currentRow = m_row[m_current];
    const int fromBottom = (m_row[index] - currentRow + m_rowCount) % m_rowCount;
    const int y = (m_rowCount - 1 - fromBottom) * RowHeight();
    return m_slot[index].translated(0, y);
}

void TabStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int i = 0; i < Count(); ++i) {
        QStyleOptionTab option = TabOption(this, m_captions[i]);
        option.rect = TabRect(i);
        if (i == m_current) {
            option.state |= QStyle::State_Selected;
        }
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    }
}

void TabStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    for (int i = 0; i < Count(); ++i) {
        if (TabRect(i).contains(event->position().toPoint())) {
            RequestTab(i);
            return;
        }
    }
}

}  // namespace orvane
