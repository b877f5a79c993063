// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet's tab strip: every tab visible at once, stacked in as many rows as the width needs,
// the row of the selected tab nearest the page. It only reports clicks; the sheet decides.
// Assistive technology sees it as a list of page tabs (accessibility.cpp).

#include <QStringList>
#include <QWidget>
#include <vector>

namespace orvane {

class TabStrip : public QWidget {
    Q_OBJECT

public:
    explicit TabStrip(QWidget* parent = nullptr);

    void SetTabs(const QStringList& captions, int rowWidth);
    void SetCurrent(int index);
    // Asks for the tab as a click on it does; a screen reader's selection comes here too.
    void RequestTab(int index);
    int Current() const { return m_current; }
    int Count() const { return static_cast<int>(m_captions.size()); }
    int RowCount() const { return m_rowCount; }
    QString Caption(int index) const { return m_captions.value(index); }
    QRect TabRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void TabRequested(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Layout();
    int RowHeight() const;
    QSize TabSize(const QString& caption) const;

    QStringList m_captions;
    std::vector<int> m_row;     // layout row of each tab, 0 first
    std::vector<QRect> m_slot;  // geometry within its row, y ignored
    int m_rowCount = 0;
    int m_rowWidth = 0;
    int m_current = 0;
};

}  // namespace orvane
