// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet: menus, tabs and pages, the page protocol seen through the bytes of saved files, the
// keyboard, the ways a file is opened, the About box, layouts drawn as the units say, and what a
// screen reader reads: every control named after what a sighted user reads beside it, and page
// tabs that select as a click does, and only then.

#include "about_dialog.h"
#include "editor_fixtures.h"

namespace orvane::test {

namespace {

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts{menu->title()};
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

// What a user acts on among the page's children: edits, lists, list boxes and buttons.
QList<QWidget*> Controls(QWidget* page) {
    QList<QWidget*> controls;
    for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QAbstractItemView*>(control) || qobject_cast<QAbstractButton*>(control)) {
            controls << control;
        }
    }
    return controls;
}

QString Banner(Session& session) {
    return session.Find<QLabel>(kMainTab, "banner")->text();
}

// The group boxes among the container's children as drawn: the frame's top line runs through the
// caption's middle, and nothing that stands in a box touches its lines or caption.
void CheckGroupFrames(QWidget* container, const QString& where) {
    for (QGroupBox* group : container->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        QImage ink(group->size(), QImage::Format_ARGB32_Premultiplied);
        ink.fill(Qt::transparent);
        group->render(&ink, QPoint(), QRegion(), QWidget::DrawChildren);
        const auto inked = [&ink](int x, int y) { return qAlpha(ink.pixel(x, y)) != 0; };
        int top = 0;
        while (top < ink.height() && !inked(0, top)) {
            ++top;
        }
        const QString name = where + " / " + group->title();
        QVERIFY2(std::abs(top - group->fontMetrics().height() / 2) <= 1, qPrintable(name));
        for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child == group || !group->geometry().contains(child->geometry().center())) {
                continue;
            }
            const QRect area = child->geometry().translated(-group->pos()) & ink.rect();
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    QVERIFY2(!inked(x, y), qPrintable(name + " touches " + child->objectName()));
                }
            }
        }
    }
}

QString Name(QObject* object) {
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

}  // namespace

class SheetTest : public QObject {
    Q_OBJECT

private slots:
    void menusTabsPagesAndTheirNamesBeforeAndAfterAnOpen() {
        Session session;
        EditorSheet& sheet = session.Sheet();
        QCOMPARE(sheet.windowTitle(), "Chrono Trigger");
        QCOMPARE(MenuTexts(sheet.FileMenu()) + MenuTexts(sheet.HelpMenu()),
                 (QStringList{"&File", "&Open...", "-", "&Save", "S&ave As...", "-", "E&xit",
                              "&Help", "About..."}));
        QVERIFY(!sheet.SaveAction()->isEnabled() && !sheet.SaveAsAction()->isEnabled());

        // The tabs with their pages' widths in dialog units, drawn as the units say; every control
        // starts disabled.
        const std::pair<const char*, int> tabs[] = {
            {"Main", 240},  {"Crono", 240}, {"Marle", 240},     {"Lucca", 240},
            {"Robo", 240},  {"Frog", 240},  {"Ayla", 240},      {"Magus", 240},
            {"Items", 240}, {"Tech", 240},  {"Dual Tech", 242}, {"Triple Tech", 239}};
        QCOMPARE(sheet.PageCount(), int(std::size(tabs)));
        for (int tab = 0; tab < sheet.PageCount(); ++tab) {
            QCOMPARE(sheet.Tabs()->Caption(tab), tabs[tab].first);
            QCOMPARE(sheet.Page(tab)->size(), DialogUnits(PageFont()).Size(tabs[tab].second, 166));
            CheckGroupFrames(sheet.Page(tab), tabs[tab].first);
            for (QWidget* control : Controls(sheet.Page(tab))) {
                QVERIFY2(!control->isEnabled(), tabs[tab].first);
            }
        }
        session.OpenQuiet();
        QVERIFY(sheet.SaveAction()->isEnabled() && sheet.SaveAsAction()->isEnabled());
        QCOMPARE(session.messages.Take(), QStringList());

        // The page font's units round so that neighbours neither part nor overlap, as Gold's edit
        // and Silver Points' below it.
        const DialogUnits units(PageFont());
        for (int at = 0; at <= 170; ++at) {
            for (int size = 1; size <= 20; ++size) {
                QCOMPARE(units.Rect({at, at, size, size}).bottomRight() + QPoint(1, 1),
                         units.Rect({at + size, at + size, 1, 1}).topLeft());
            }
        }
        QCOMPARE(session.Find(kMainTab, "gold")->geometry().bottom() + 1,
                 session.Find(kMainTab, "silverPoints")->y());
        // Every control is named after what a sighted user reads beside it.
        for (int tab = 0; tab < session.Sheet().PageCount(); ++tab) {
            StatePage* page = session.Sheet().Page(tab);
            session.ShowTab(tab);
            QCOMPARE(Name(page), page->Caption());
            QStringList names;
            for (QWidget* control : Controls(page)) {
                const QString name = Name(control);
                const QString where = page->Caption() + ": " + control->objectName() + " " + name;
                QVERIFY2(!name.isEmpty() && name == name.trimmed() && !name.contains('&') &&
                             !name.endsWith(':') && !names.contains(name),
                         qPrintable(where));
                names << name;
                // A list is named by its label, never by its entry, which is its text instead.
                if (auto* list = qobject_cast<QComboBox*>(control)) {
                    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(list);
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
        QCOMPARE(
            QAccessible::queryAccessibleInterface(session.Find(kTripleTechTab, "tripleDeltaForce"))
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

    void saveWritesBackOnlyThePagesFilledSinceTheLastOpen() {
        Session session;
        session.OpenQuiet();
        session.ShowTab(kRoboTab);
        QCOMPARE(session.Sheet().BuiltPageCount(), 2);  // pages are built when first needed
        // On screen the others are built in idle time, unfilled: they write nothing.
        session.Show();
        QTRY_COMPARE(session.Sheet().BuiltPageCount(), session.Sheet().PageCount());
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(session.SavedChanges(), Patch{});

        // Every page shown and left alone writes back exactly what it read.
        for (int tab = 1; tab < session.Sheet().PageCount(); ++tab) {
            session.ShowTab(tab);
            QVERIFY(session.Sheet().Page(tab)->IsLoaded());
        }
        session.ShowTab(kCronoTab);
        session.Type(kCronoTab, "level", "50");
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(session.SavedChanges(), (Patch{{12819 + 18, 50}}));

        // Another Open shows Main with the new file; the pages filled for the first file stay
        // silent, though their held values differ from the new file's bytes.
        session.ShowTab(kRoboTab);
        Patch second = LittleEndian(14438, 7, 3);
        second.merge(Patch{{13059 + 18, 33}, {13389, 0xE0}, {12563, 9}, {13400, 0xC0}});
        session.OpenQuiet(second, "second.zst");
        QCOMPARE(session.Sheet().CurrentIndex(), kMainTab);
        QCOMPARE(Banner(session), QDir::toNativeSeparators(session.path));
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "gold")->text(), "7");
        for (int tab = 1; tab < session.Sheet().PageCount(); ++tab) {
            QVERIFY(!session.Sheet().Page(tab)->IsLoaded());
        }
        QVERIFY(session.Find(kRoboTab, "name")->isEnabled());  // enabled for good
        session.Type(kMainTab, "gold", "42");
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(session.SavedChanges(), session.Changing(LittleEndian(14438, 42, 3)));
    }

    void saveAsWritesTheCopyAndKeepsTheLoadedPath() {
        Session session;
        QString folder = "Spielstände";  // a path longer than 255 bytes, not all ASCII
        while (session.dir.filePath(folder).toUtf8().size() < 300) {
            folder += "/時の旅-Überfahrt";
        }
        QVERIFY(QDir(session.dir.path()).mkpath(folder));
        session.OpenQuiet({}, folder + "/" + QString(247, 'n') + "✓.zst");  // 254-byte name
        const QString copy = session.dir.filePath(folder + "/Kopie — zwei.zs2");
        session.Type(kMainTab, "gold", "5");
        session.SaveAs(copy);
        QCOMPARE(session.messages.Take(), kSaved);
        QCOMPARE(session.SavedChanges(), Patch{});
        QCOMPARE(Changes(session.opened, ReadFile(copy)),
                 session.Changing(LittleEndian(14438, 5, 3)));
        QCOMPARE(Banner(session), QDir::toNativeSeparators(session.path));

        session.Type(kMainTab, "silverPoints", "9");
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(Changes(ReadFile(copy), ReadFile(session.path)), (Patch{{68709, 9}}));
        const Bytes copied = ReadFile(copy);
        session.Type(kMainTab, "gold", "6");
        session.SaveAs(QString());  // cancelled
        QCOMPARE(session.messages.Take(), QStringList());
        QCOMPARE(ReadFile(copy), copied);
    }

    // The dialogs start on the filter of the loaded file's kind (by its name where a filter takes
    // it, else by the emulator that wrote it), in its folder. Save As writes the loaded file's
    // format.
    void theDialogsStartOnTheLoadedFilesKind() {
        Session session;
        session.Open(QString());  // cancelled, nothing loaded yet
        const std::pair<const char*, const char*> opened[] = {
            {"retroarch-1.14-bsnes-115-rzip.state", "game.state1"},
            {"snes9x-1.63.000", "game.000"},
            {"mednafen-1.29-snes.mc0", "game.bin"},
            {"state-2.2.3.zst", "game.zs7"},
        };
        for (const auto& [real, name] : opened) {
            session.Open(WriteFile(session.dir, name, ReadBytes(TestData(real))));
        }
        session.SaveAs(session.dir.filePath("copy"));
        std::vector<int> filters;
        for (const DialogStart& start : session.dialogs.starts) {
            filters.push_back(start.filter);
            QCOMPARE(start.folder, filters.size() <= 2 ? QString() : session.dir.path());
        }
        QCOMPARE(filters, (std::vector<int>{0, 0, 2, 1, 3, 0}));
        QCOMPARE(ReadFile(session.dir.filePath("copy")), ReadBytes(TestData("state-2.2.3.zst")));
        QCOMPARE(session.messages.Take(), kSaved);
    }

    void keysSwitchTabsReachLabelsAndFollowTheTabOrder() {
        Session session;
        session.Show();
        session.OpenQuiet();
        const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        };
        // A click on the visible tab keeps what was typed; Enter and Escape do nothing.
        session.Type(kMainTab, "gold", "4321");
        TabStrip* tabs = session.Sheet().Tabs();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->TabRect(kMainTab).center());
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            press(key);
        }
        QVERIFY(session.Sheet().isVisible());
        QCOMPARE(session.Save(), kSaved);
        QCOMPARE(session.SavedChanges(), session.Changing(LittleEndian(14438, 4321, 3)));

        const std::tuple<int, Qt::Key, const char*> mnemonics[] = {
            {kMainTab, Qt::Key_S, "Silver Points"},
            {kMainTab, Qt::Key_N, "Number of Saves"},
            {kMainTab, Qt::Key_T, "Hours, tens digit"},
            {kMainTab, Qt::Key_G, "Gold"},
            {kItemsTab, Qt::Key_I, "Item"},
            {kItemsTab, Qt::Key_M, "Amount"}};
        for (const auto& [tab, key, name] : mnemonics) {
            session.ShowTab(tab);
            press(key, Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget()->accessibleName(), name);
        }

        session.ShowTab(kMainTab);
        QList<int> visited;
        for (Qt::Key key :
             {Qt::Key_Tab, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Backtab, Qt::Key_PageUp}) {
            const bool back = key == Qt::Key_Backtab;
            press(key, back ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
            visited << session.Sheet().CurrentIndex();
        }
        QCOMPARE(visited, (QList<int>{1, 2, 1, 0, 11}));
        // The strip stacks its rows with the current tab's row next to the page.
        QVERIFY(tabs->RowCount() > 1);
        QCOMPARE(tabs->TabRect(11).bottom(), tabs->rect().bottom());
        QVERIFY(tabs->TabRect(0).bottom() < tabs->rect().bottom());

        const auto chain = [&](int tab, const char* first, int steps) {
            session.ShowTab(tab);
            session.Find(tab, first)->setFocus();
            QStringList names;
            for (int i = 0; i < steps; ++i) {
                names << QApplication::focusWidget()->objectName();
                press(Qt::Key_Tab);
            }
            return names.join(' ');
        };
        QCOMPARE(chain(kMainTab, "gold", 7),
                 "gold silverPoints saves hourTens hourUnits minuteTens minuteUnits");
        QCOMPARE(chain(kCronoTab, "name", 20),
                 "name face level experience experienceToNext currentHp maxHp currentMp maxMp "
                 "power stamina speed magic hit evade magicDefence armor helmet weapon accessory");

        press(Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(session.Sheet().FileMenu()->isVisible());
        session.Sheet().FileMenu()->close();
        session.Sheet().FileMenu()->actions().last()->trigger();  // Exit, without a question
        QVERIFY(!session.Sheet().isVisible());
        QCOMPARE(session.messages.Take() + session.messages.asked, QStringList());
    }

    void theStartArgumentAndADroppedFileOpenUnderTheirFullPath() {
        QTemporaryDir dir;
        const QString path = WriteState(dir, "start.zst", QuietState());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
        Session started;
        started.app.Start("start.zst");
        QVERIFY(started.Sheet().isVisible() && started.Sheet().SaveAction()->isEnabled());
        QCOMPARE(Banner(started), QDir::toNativeSeparators(path));
        QCOMPARE(QString::fromStdString(started.Document().GetPath().string()), path);

        Session dropped;
        dropped.Show();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile("start.zst")});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&dropped.Sheet(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&dropped.Sheet(), &drop);
        QCOMPARE(Banner(dropped), QDir::toNativeSeparators(path));

        Session failing;
        failing.app.Start(dir.filePath("absent.zst"));
        QVERIFY(!failing.Sheet().SaveAction()->isEnabled());
        QCOMPARE(failing.messages.Take().size(), 1);
    }

    void theAboutBox() {
        AboutDialog box;
        QCOMPARE(box.windowTitle(), "About...");
        QVERIFY(box.findChild<QPushButton*>()->isDefault());
        QCOMPARE(box.findChild<QGroupBox*>()->title(), "orvane V1.0");
        CheckGroupFrames(&box, "About");

        Session session;
        bool shown = false;
        QTimer::singleShot(0, [&shown] {
            auto* modal = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            shown = modal != nullptr && modal->close();
        });
        session.Sheet().HelpMenu()->actions().first()->trigger();
        QVERIFY(shown);
    }

    void listsOpenAtTheirDroppedHeightWithAScrollBar() {
        // Crono's lists and the Items page's only one, the Item box: their y and dropped height.
        const std::tuple<int, const char*, int, int> drops[] = {
            {kCronoTab, "face", 28, 45},       {kCronoTab, "armor", 98, 61},
            {kCronoTab, "helmet", 111, 64},    {kCronoTab, "weapon", 124, 71},
            {kCronoTab, "accessory", 137, 65}, {kItemsTab, "", 16, 81}};
        Session session;
        session.Show();
        session.OpenQuiet();
        for (const auto& [tab, name, y, droppedHeight] : drops) {
            session.ShowTab(tab);
            auto* list = session.Find<QComboBox>(tab, name);
            list->showPopup();
            const QWidget* popup = list->view()->window();
            QTRY_VERIFY(popup->isVisible());
            const int pageTop = list->parentWidget()->mapToGlobal(QPoint(0, 0)).y();
            QCOMPARE(popup->geometry().top(), list->mapToGlobal(QPoint(0, list->height())).y());
            QCOMPARE(popup->geometry().bottom() + 1 - pageTop,
                     DialogUnits(PageFont()).Y(y + droppedHeight));
            QVERIFY(list->view()->verticalScrollBar()->isVisible());
            list->hidePopup();
        }
    }

    void aTabSelectsAsAClickDoesUnlessThePageRefusesOrABoxIsOpen() {
        Session session;
        session.Show();
        session.OpenQuiet();
        QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(session.Sheet().Tabs());
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

QTEST_MAIN(orvane::test::SheetTest)

#include "sheet_test.moc"
