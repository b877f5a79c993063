// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <vector>

#include "drop_list.h"
#include "tab_strip.h"

namespace orvane {

namespace {

// One tab of the strip. It has no object of its own, so the strip's interface owns it.
class TabAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccessible(TabStrip* strip, int index) : m_strip(strip), m_index(index) {}

    bool isValid() const override { return m_strip && m_index < m_strip->Count(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_strip.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Name && isValid() ? m_strip->Caption(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect tab = m_strip->TabRect(m_index);
        return {m_strip->mapToGlobal(tab.topLeft()), tab.size()};
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.selected = m_index == m_strip->Current();
        state.invisible = !m_strip->isVisible();
        state.disabled = !m_strip->isEnabled();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override {
        if (!isValid() || (name != pressAction() && name != setFocusAction())) {
            return;
        }
        // Later, as a click: a page that refuses its values shows a modal warning, which must
        // not hold up the screen reader's call that asked for the tab. And like a click, it does
        // nothing while a modal box waits for an answer.
        QTimer::singleShot(0, m_strip.data(), [strip = m_strip, index = m_index] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == strip->window()) {
                strip->RequestTab(index);
            }
        });
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TabStrip> m_strip;
    int m_index;
};

class TabStripAccessible final : public QAccessibleWidget {
public:
    explicit TabStripAccessible(TabStrip* strip)
        : QAccessibleWidget(strip, QAccessible::PageTabList) {}
    ~TabStripAccessible() override {
        for (QAccessible::Id id : m_tabs) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
    }

    int childCount() const override { return Strip()->Count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        const auto at = static_cast<std::size_t>(index);
        if (at >= m_tabs.size()) {
            m_tabs.resize(at + 1, 0);
        }
        if (m_tabs[at] == 0) {
            m_tabs[at] =
                QAccessible::registerAccessibleInterface(new TabAccessible(Strip(), index));
        }
        return QAccessible::accessibleInterface(m_tabs[at]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < m_tabs.size(); ++i) {
            if (m_tabs[i] != 0 && QAccessible::accessibleInterface(m_tabs[i]) == child) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = Strip()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < Strip()->Count(); ++i) {
            if (Strip()->TabRect(i).contains(point)) {
                return child(i);
            }
        }
        return nullptr;
    }

private:
    TabStrip* Strip() const { return static_cast<TabStrip*>(widget()); }

    mutable std::vector<QAccessible::Id> m_tabs;  // by tab, 0 until asked for
};

// Qt names a drop-down list on this platform by its entry and finds the label through a
// relation; screen readers then call the Face list "Crono". This one takes its name like any
// other control and offers the entry as its read-only text.
class DropListAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DropListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == List()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Value ? List()->currentText() : QAccessibleWidget::text(type);
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }
    void doAction(const QString& name) override {
        if (name != showMenuAction() && name != pressAction()) {
            QAccessibleWidget::doAction(name);
        } else if (List()->view()->isVisible()) {
            List()->hidePopup();
        } else {
            List()->showPopup();
        }
    }

    // The entry, read-only.
    QString text(int start, int end) const override {
        return List()->currentText().mid(start, end < 0 ? -1 : end - start);
    }
    int characterCount() const override { return static_cast<int>(List()->currentText().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* CreateInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(TabStrip::staticMetaObject.className())) {
        return new TabStripAccessible(static_cast<TabStrip*>(object));
    }
    if (className == QLatin1String(DropList::staticMetaObject.className())) {
        return new DropListAccessible(static_cast<DropList*>(object));
    }
    return nullptr;
}

}  // namespace

QString LabelName(const QString& labelText) {
    QString name;
    for (qsizetype i = 0; i < labelText.size(); ++i) {
        // "&&" stands for one "&"; a single one only marks the access letter.
        if (labelText[i] == u'&' && ++i == labelText.size()) {
            break;
        }
        name += labelText[i];
    }
    name = name.trimmed();
    if (name.endsWith(u':')) {
        name.chop(1);
    }
    return name.trimmed();
}

void InstallAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(&CreateInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace orvane
