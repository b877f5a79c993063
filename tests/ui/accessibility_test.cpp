// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader reads of the sheet: every control on every page named after what a
// sighted user reads beside it, and the tab strip as page tabs that select as a click does.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "editor_fixtures.h"
#include "inventory_list_box.h"
#include "items_page.h"

namespace orvane::test {

namespace {

struct NamedControl {
    int tab;
    const char* control;  // object name
    const char* name;
};

constexpr NamedControl kSamples[] = {
    {0, "gold", "Gold"},
    {0, "saves", "Number of Saves"},
    {0, "hourTens", "Hours, tens digit"},
    {0, "hourUnits", "Hours, units digit"},
    {0, "minuteTens", "Minutes, tens digit"},
    {0, "minuteUnits", "Minutes, units digit"},
    {1, "name", "Name"},
    {1, "face", "Face"},
    {1, "experienceToNext", "Experience Until Next Level"},
    {5, "maxHp", "Max HP"},
    {5, "magicDefence", "Magic Defence"},
    {5, "armor", "Armor"},
    {5, "accessory", "Accessory"},
    {9, "techLeftCrono", "Tech Left, Crono"},
    {9, "techLeftFrog", "Tech Left, Frog"},
    {9, "singleTechMagus", "Single Tech, Magus"},
    {10, "dualCronoMarle", "Crono and Marle"},
    {10, "dualFrogLucca", "Frog and Lucca"},
    {11, "tripleTwister", "Twister"},
};

QAccessibleInterface* Interface(QObject* object) {
    QAccessibleInterface* found = QAccessible::queryAccessibleInterface(object);
    if (!found) {
        qFatal("%s has no accessible interface", object->metaObject()->className());
    }
    return found;
}

QString Name(QObject* object) {
    return Interface(object)->text(QAccessible::Name);
}

bool IsInteractive(QWidget* widget) {
    return qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
           qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QAbstractButton*>(widget);
}

// The tabs whose interface says they are selected.
QList<int> SelectedTabs(QAccessibleInterface* strip) {
    QList<int> selected;
    for (int i = 0; i < strip->childCount(); ++i) {
        if (strip->child(i)->state().selected) {
            selected << i;
        }
    }
    return selected;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void everyControlOfEveryPageHasItsOwnName() {
        Session session;
        session.Open(WriteState(m_dir, "names.zst", PlausibleParty()));
        for (int tab = 0; tab < session.Sheet().PageCount(); ++tab) {
            StatePage* page = session.Sheet().Page(tab);
            session.ShowTab(tab);
            QCOMPARE(Name(page), page->Caption());
            QStringList names;
            for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!IsInteractive(control)) {
                    continue;
                }
                const QString name = Name(control);
                const QString where = page->Caption() + QStringLiteral(": ") +
                                      control->metaObject()->className() + QStringLiteral(" ") +
                                      control->objectName() + QStringLiteral(" \"") + name + '"';
                QVERIFY2(!name.isEmpty() && name == name.trimmed() && !name.contains('&') &&
                             !name.endsWith(':'),
                         qPrintable(where));
                QVERIFY2(!names.contains(name), qPrintable(where + QStringLiteral(" twice")));
                names << name;
                // A list is named by its label, never by its entry, which is its text instead.
                if (auto* list = qobject_cast<QComboBox*>(control)) {
                    QAccessibleInterface* box = Interface(list);
                    QCOMPARE(box->role(), QAccessible::ComboBox);
                    QVERIFY2(box->textInterface(), qPrintable(where));
                    QVERIFY2(list->currentIndex() >= 0, qPrintable(where));
                    QCOMPARE(box->textInterface()->text(0, -1), list->currentText());
                    QCOMPARE(box->child(0)->object(), list->view());
                }
            }
            QVERIFY2(names.size() >= 7, qPrintable(page->Caption()));
        }
        for (const NamedControl& sample : kSamples) {
            QCOMPARE(Name(session.Find<QWidget>(sample.tab, sample.control)),
                     QString::fromLatin1(sample.name));
        }
        // The check box names its technique; who learns it stands in the group's caption.
        QCOMPARE(Interface(session.Find<QWidget>(11, "tripleDeltaForce"))
                     ->text(QAccessible::Description),
                 QStringLiteral("Crono, Marle and Lucca"));
        auto* items = qobject_cast<ItemsPage*>(session.Sheet().Page(kItemsTab));
        QCOMPARE(Name(items->List()), QStringLiteral("Inventory"));
        QCOMPARE(Name(items->ItemBox()), QStringLiteral("Item"));
        QCOMPARE(Name(items->AmountEdit()), QStringLiteral("Amount"));
        QCOMPARE(Name(items->RemoveItemButton()), QStringLiteral("Remove Item"));
    }

    void theTabStripIsAListOfPageTabsThatSelectAsAClickDoes() {
        Session session;
        session.Show();
        session.Open(WriteState(m_dir, "tabs.zst", PlausibleParty()));
        TabStrip* tabs = session.Sheet().Tabs();
        QAccessibleInterface* strip = Interface(tabs);
        QCOMPARE(strip->role(), QAccessible::PageTabList);
        QCOMPARE(strip->childCount(), 12);
        QVERIFY(strip->child(0) && strip->child(0)->actionInterface());
        for (int i = 0; i < strip->childCount(); ++i) {
            QAccessibleInterface* tab = strip->child(i);
            QCOMPARE(tab->role(), QAccessible::PageTab);
            QCOMPARE(tab->text(QAccessible::Name), tabs->Caption(i));
            QCOMPARE(tab->parent(), strip);
            QCOMPARE(strip->indexOfChild(tab), i);
            QCOMPARE(tab->rect(),
                     QRect(tabs->mapToGlobal(tabs->TabRect(i).topLeft()), tabs->TabRect(i).size()));
            QCOMPARE(strip->childAt(tab->rect().center().x(), tab->rect().center().y()), tab);
        }
        QCOMPARE(SelectedTabs(strip), QList<int>{0});

        strip->child(4)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(session.Sheet().CurrentIndex(), 4);
        QVERIFY(session.Sheet().CurrentPage()->IsLoaded());
        QCOMPARE(SelectedTabs(strip), QList<int>{4});

        // A page that refuses its values keeps the reader on it, as it keeps a clicking user.
        session.Type(4, "level", "");
        strip->child(9)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        QTRY_COMPARE(session.messages.shown.size(), std::size_t{1});
        QCOMPARE(session.Sheet().CurrentIndex(), 4);
        QCOMPARE(SelectedTabs(strip), QList<int>{4});
        session.messages.Take();
        session.Type(4, "level", "7");
        // Nor does a tab change while a modal box waits, though a reader may still ask for one.
        QDialog box(&session.Sheet());
        box.setModal(true);
        box.show();
        strip->child(9)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTest::qWait(50);
        QCOMPARE(session.Sheet().CurrentIndex(), 4);
        box.close();
        strip->child(9)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        QTRY_COMPARE(session.Sheet().CurrentIndex(), 9);
        QCOMPARE(SelectedTabs(strip), QList<int>{9});
    }
};

ORVANE_UI_TEST(AccessibilityTest);

}  // namespace orvane::test

#include "accessibility_test.moc"
