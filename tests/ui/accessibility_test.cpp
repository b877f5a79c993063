// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader reads of the sheet: every control on every page named after what a
// sighted user reads beside it, and page tabs that select as a click does, and only then.

#include "editor_fixtures.h"

namespace orvane::test {

namespace {

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

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlOfEveryPageHasItsOwnName() {
        Session session;
        session.OpenQuiet();
        for (int tab = 0; tab < session.Sheet().PageCount(); ++tab) {
            StatePage* page = session.Sheet().Page(tab);
            session.ShowTab(tab);
            QCOMPARE(Name(page), page->Caption());
            QStringList names;
            for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control) &&
                    !qobject_cast<QAbstractItemView*>(control) &&
                    !qobject_cast<QAbstractButton*>(control)) {
                    continue;
                }
                const QString name = Name(control);
                const QString where = page->Caption() + ": " + control->objectName() + " " + name;
                QVERIFY2(!name.isEmpty() && name == name.trimmed() && !name.contains('&') &&
                             !name.endsWith(':') && !names.contains(name),
                         qPrintable(where));
                names << name;
                // A list is named by its label, never by its entry, which is its text instead.
                if (auto* list = qobject_cast<QComboBox*>(control)) {
                    QAccessibleInterface* box = Interface(list);
                    QCOMPARE(box->role(), QAccessible::ComboBox);
                    QVERIFY2(box->textInterface() && list->currentIndex() >= 0, qPrintable(where));
                    QCOMPARE(box->textInterface()->text(0, -1), list->currentText());
                    QCOMPARE(box->child(0)->object(), list->view());
                }
            }
            QVERIFY2(names.size() >= 7, qPrintable(page->Caption()));
        }
        // The AT-SPI test reads the Main and character pages' names.
        const std::tuple<int, const char*, const char*> samples[] = {
            {kTechTab, "techLeftFrog", "Tech Left, Frog"},
            {kTechTab, "singleTechMagus", "Single Tech, Magus"},
            {kDualTechTab, "dualFrogLucca", "Frog and Lucca"},
            {kTripleTechTab, "tripleTwister", "Twister"}};
        for (const auto& [tab, control, name] : samples) {
            QCOMPARE(Name(session.Find(tab, control)), name);
        }
        // A check box names its technique; who learns it stands in its group's caption.
        QCOMPARE(Interface(session.Find(kTripleTechTab, "tripleDeltaForce"))
                     ->text(QAccessible::Description),
                 "Crono, Marle and Lucca");
        QStringList groups;
        for (auto* group : session.Sheet().Page(kTripleTechTab)->findChildren<QGroupBox*>()) {
            groups << group->title();
        }
        groups.sort();
        QCOMPARE(groups.join(' '),
                 "Crono/Lucca/Ayla Crono/Lucca/Frog Crono/Lucca/Robo Crono/Marle/Ayla "
                 "Crono/Marle/Frog Crono/Marle/Lucca Crono/Marle/Robo Crono/Robo/Ayla "
                 "Crono/Robo/Frog");
    }

    void aTabSelectsAsAClickDoesUnlessThePageRefusesOrABoxIsOpen() {
        Session session;
        session.Show();
        session.OpenQuiet();
        QAccessibleInterface* strip = Interface(session.Sheet().Tabs());
        QCOMPARE(strip->role(), QAccessible::PageTabList);
        const auto select = [&](int tab, const QString& action) {
            strip->child(tab)->actionInterface()->doAction(action);
            QTest::qWait(50);
            QList<int> selected;
            for (int i = 0; i < strip->childCount(); ++i) {
                if (strip->child(i)->state().selected) {
                    selected << i;
                }
            }
            // The visible tab, which must be the one the reader hears as selected.
            const int current = session.Sheet().CurrentIndex();
            return selected == QList<int>{current} ? current : -1;
        };
        const QString press = QAccessibleActionInterface::pressAction();
        const QString focus = QAccessibleActionInterface::setFocusAction();
        QCOMPARE(select(kRoboTab, press), kRoboTab);
        QVERIFY(session.Sheet().CurrentPage()->IsLoaded());
        const QRect tab = strip->child(kRoboTab)->rect();
        QCOMPARE(strip->childAt(tab.center().x(), tab.center().y()), strip->child(kRoboTab));

        session.Type(kRoboTab, "level", QString());
        QCOMPARE(select(kTechTab, focus), kRoboTab);
        QCOMPARE(session.messages.Take().size(), 1);
        session.Type(kRoboTab, "level", "7");
        QDialog box(&session.Sheet());
        box.setModal(true);
        box.show();
        QCOMPARE(select(kTechTab, press), kRoboTab);
        box.close();
        QCOMPARE(select(kTechTab, focus), kTechTab);
    }
};

}  // namespace orvane::test

QTEST_MAIN(orvane::test::AccessibilityTest)

#include "accessibility_test.moc"
