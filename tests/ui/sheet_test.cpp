// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet: menu states, the page protocol seen through byte diffs of saved files, refusals,
// failed Open and Save, the keyboard and the tab strip.

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include "about_dialog.h"
#include "editor_fixtures.h"
#include "items_page.h"

namespace orvane::test {

namespace {

constexpr std::size_t kGold = 0x3866;

std::vector<long> Offsets(std::initializer_list<std::size_t> offsets) {
    std::vector<long> result;
    for (std::size_t offset : offsets) {
        result.push_back(static_cast<long>(offset));
    }
    std::sort(result.begin(), result.end());
    return result;
}

// Checks the group boxes among the container's children as drawn: the frame's top line runs
// through the caption's middle, and nothing that stands in a box touches its lines or caption.
void CheckGroupFrames(QWidget* container, const QString& where) {
    const QList<QGroupBox*> groups =
        container->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
    for (QGroupBox* group : groups) {
        const QString name = where + QStringLiteral(" / ") + group->title();
        QImage ink(group->size(), QImage::Format_ARGB32_Premultiplied);
        ink.fill(Qt::transparent);
        group->render(&ink, QPoint(), QRegion(), QWidget::DrawChildren);
        const auto inked = [&ink](int x, int y) { return qAlpha(ink.pixel(x, y)) != 0; };

        int top = 0;
        while (top < ink.height() && !inked(0, top)) {
            ++top;
        }
        QVERIFY2(top < ink.height(), qPrintable(name + QStringLiteral(": no frame drawn")));
        QVERIFY2(std::abs(top - group->fontMetrics().height() / 2) <= 1,
                 qPrintable(name + QStringLiteral(": top line at row %1").arg(top)));

        for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<QGroupBox*>(child) ||
                !group->geometry().contains(child->geometry().center())) {
                continue;
            }
            const QRect area = child->geometry().translated(-group->pos()) & ink.rect();
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    QVERIFY2(!inked(x, y),
                             qPrintable(name + QStringLiteral(": %1 \"%2\" touches")
                                                   .arg(child->metaObject()->className(),
                                                        child->objectName())));
                }
            }
        }
    }
}

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

}  // namespace

class SheetTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void menusHaveTheirItemsAndSaveIsGrayedUntilAnOpen() {
        Session session;
        EditorSheet& sheet = session.Sheet();
        QCOMPARE(sheet.windowTitle(), QStringLiteral("Chrono Trigger"));
        QCOMPARE(sheet.FileMenu()->title(), QStringLiteral("&File"));
        QCOMPARE(MenuTexts(sheet.FileMenu()),
                 (QStringList{"&Open...", "-", "&Save", "S&ave As...", "-", "E&xit"}));
        QCOMPARE(sheet.HelpMenu()->title(), QStringLiteral("&Help"));
        QCOMPARE(MenuTexts(sheet.HelpMenu()), QStringList{"About..."});
        QVERIFY(!sheet.SaveAction()->isEnabled());
        QVERIFY(!sheet.SaveAsAction()->isEnabled());

        session.Open(WriteState(m_dir, "menu.zst"));
        QVERIFY(sheet.SaveAction()->isEnabled());
        QVERIFY(sheet.SaveAsAction()->isEnabled());
        QVERIFY(session.messages.shown.empty());
    }

    void tabsFollowTheMemberOrderAndAreAllVisible() {
        Session session;
        TabStrip* tabs = session.Sheet().Tabs();
        QStringList captions;
        for (int i = 0; i < tabs->Count(); ++i) {
            captions << tabs->Caption(i);
            QVERIFY(tabs->rect().contains(tabs->TabRect(i)));
            for (int j = 0; j < i; ++j) {
                QVERIFY(!tabs->TabRect(i).intersects(tabs->TabRect(j)));
            }
        }
        QCOMPARE(captions, (QStringList{"Main", "Crono", "Marle", "Lucca", "Robo", "Frog", "Ayla",
                                        "Magus", "Items", "Tech", "Dual Tech", "Triple Tech"}));
    }

    void everyControlLiesInsideItsPageAndStartsDisabled() {
        Session session;
        for (int tab = 0; tab < session.Sheet().PageCount(); ++tab) {
            StatePage* page = session.Sheet().Page(tab);
            QCOMPARE(page->size(),
                     DialogUnits(PageFont())
                         .Size(page->SizeInUnits().width(), page->SizeInUnits().height()));
            for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                QVERIFY2(page->rect().contains(child->geometry()),
                         qPrintable(page->Caption() + ": " + child->metaObject()->className()));
                if (qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child)) {
                    QVERIFY(!child->isEnabled());
                }
            }
        }
    }

    void everyControlLiesInsideTheFrameOfItsGroup() {
        Session session;
        for (int tab = 0; tab < session.Sheet().PageCount(); ++tab) {
            CheckGroupFrames(session.Sheet().Page(tab), session.Sheet().Tabs()->Caption(tab));
        }
        AboutDialog box;
        CheckGroupFrames(&box, QStringLiteral("About"));
    }

    void controlsThatTouchInUnitsTouchInPixels() {
        // Every size of the page font rounds differently; none may make neighbours overlap.
        for (int points = 6; points <= 16; ++points) {
            QFont font = PageFont();
            font.setPointSize(points);
            const DialogUnits units(font);
            for (int at = 0; at <= 170; ++at) {
                for (int size = 1; size <= 20; ++size) {
                    const QRect first = units.Rect({at, at, size, size});
                    const QRect next = units.Rect({at + size, at + size, 1, 1});
                    QCOMPARE(first.right() + 1, next.left());
                    QCOMPARE(first.bottom() + 1, next.top());
                }
            }
        }
        Session session;
        const QRect gold = session.Find<QLineEdit>(0, "gold")->geometry();
        const QRect silver = session.Find<QLineEdit>(0, "silverPoints")->geometry();
        QCOMPARE(gold.bottom() + 1, silver.top());
    }

    void listsOpenAtTheirDroppedHeightWithAScrollBar() {
        struct Drop {
            int tab;
            const char* list;  // null for the Item box
            int y;
            int droppedHeight;
        };
        const Drop drops[] = {{1, "face", 28, 45},       {1, "armor", 98, 61},
                              {1, "helmet", 111, 64},    {1, "weapon", 124, 71},
                              {1, "accessory", 137, 65}, {8, nullptr, 16, 81}};
        Session session;
        session.Show();
        session.Open(WriteState(m_dir, "drop.zst", PlausibleParty()));
        const DialogUnits units(PageFont());
        const auto restoreStyle = qScopeGuard(
            [original = QApplication::style()->name()] { QApplication::setStyle(original); });
        for (const QString& style : {QStringLiteral("Fusion"), QStringLiteral("Windows")}) {
            QApplication::setStyle(style);
            for (const Drop& drop : drops) {
                session.ShowTab(drop.tab);
                QComboBox* list =
                    drop.list ? session.Find<QComboBox>(drop.tab, drop.list)
                              : qobject_cast<ItemsPage*>(session.Sheet().Page(drop.tab))->ItemBox();
                const QString name = style + QStringLiteral(" ") + QString::fromLatin1(drop.list);
                list->showPopup();
                const QWidget* popup = list->view()->window();
                QTRY_VERIFY2(popup->isVisible(), qPrintable(name));
                const int pageTop = list->parentWidget()->mapToGlobal(QPoint(0, 0)).y();
                QCOMPARE(popup->geometry().top(), list->mapToGlobal(QPoint(0, list->height())).y());
                QCOMPARE(popup->geometry().bottom() + 1 - pageTop,
                         units.Y(drop.y + drop.droppedHeight));
                QVERIFY2(list->view()->verticalScrollBar()->isVisible(), qPrintable(name));
                list->hidePopup();
            }
        }
    }

    void clickingTheVisibleTabKeepsWhatWasTyped() {
        Session session;
        session.Show();
        const QString path = WriteState(m_dir, "again.zst", PlausibleParty());
        session.Open(path);
        session.Type(0, "gold", "4321");
        TabStrip* tabs = session.Sheet().Tabs();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->TabRect(0).center());
        QCOMPARE(session.Find<QLineEdit>(0, "gold")->text(), QStringLiteral("4321"));
        session.Sheet().Save();
        QCOMPARE(session.messages.Take(), QStringList{"File Saved Successful!"});
        QCOMPARE(ReadFile(path).mid(static_cast<qsizetype>(kGold), 3), QByteArray("\xE1\x10\0", 3));
    }

    void aCrowdedStripStacksRowsWithTheCurrentRowNextToThePage() {
        TabStrip tabs;
        QStringList captions;
        for (int i = 0; i < 12; ++i) {
            captions << QStringLiteral("Caption %1").arg(i);
        }
        tabs.SetTabs(captions, 240);
        QVERIFY(tabs.RowCount() > 1);
        for (int i = 0; i < tabs.Count(); ++i) {
            QVERIFY(tabs.rect().contains(tabs.TabRect(i)));
        }
        const int last = tabs.Count() - 1;
        QCOMPARE(tabs.TabRect(0).bottom(), tabs.rect().bottom());
        tabs.SetCurrent(last);
        QCOMPARE(tabs.TabRect(last).bottom(), tabs.rect().bottom());
        QVERIFY(tabs.TabRect(0).bottom() < tabs.rect().bottom());
    }

    void pagesAreBuiltWhenNeededOrOnceTheSheetIsIdle() {
        Session session;
        QCOMPARE(session.Sheet().BuiltPageCount(), 1);  // Main, which the sheet opens on
        session.Open(WriteState(m_dir, "lazy.zst", PlausibleParty()));
        QCOMPARE(session.Sheet().BuiltPageCount(), 1);
        session.ShowTab(4);
        QCOMPARE(session.Sheet().BuiltPageCount(), 2);
        QCOMPARE(session.Sheet().CurrentPage()->Caption(), QStringLiteral("Robo"));
        QVERIFY(session.Sheet().CurrentPage()->IsLoaded());
        // Pages never built write nothing: the save changes no byte.
        const QString path = QString::fromStdString(session.Document().GetPath().string());
        const QByteArray before = ReadFile(path);
        session.Sheet().Save();
        QCOMPARE(session.messages.Take(), QStringList{QStringLiteral("File Saved Successful!")});
        QCOMPARE(DiffOffsets(before, ReadFile(path)), std::vector<long>{});

        // On screen, the rest are built in idle time, still unfilled and unshown.
        session.Show();
        QTRY_COMPARE(session.Sheet().BuiltPageCount(), session.Sheet().PageCount());
        QCOMPARE(session.Sheet().CurrentIndex(), 4);
        QCOMPARE(session.Sheet().findChildren<StatePage*>().size(), 12);
        QVERIFY(!session.Sheet().Page(9)->IsLoaded());
    }

    void pagesFillOnlyWhenShownAndOpenResetsThem() {
        Session session;
        session.Open(WriteState(m_dir, "fill.zst", PlausibleParty()));
        QVERIFY(session.Sheet().Page(0)->IsLoaded());
        for (int tab = kCronoTab; tab < kItemsTab; ++tab) {
            QVERIFY(!session.Sheet().Page(tab)->IsLoaded());
            QVERIFY(!session.Find<QLineEdit>(tab, "name")->isEnabled());
        }
        session.ShowTab(2);
        QVERIFY(session.Sheet().Page(2)->IsLoaded());
        QVERIFY(session.Find<QLineEdit>(2, "name")->isEnabled());

        session.Open(WriteState(m_dir, "fill2.zst", PlausibleParty()));
        QCOMPARE(session.Sheet().CurrentIndex(), 0);
        QVERIFY(!session.Sheet().Page(2)->IsLoaded());
        QVERIFY(session.Find<QLineEdit>(2, "name")->isEnabled());  // enabled once, for good
    }

    void onlyPagesFilledSinceTheLastOpenWriteBack() {
        Session session;
        const QString first = WriteState(m_dir, "first.zst", PlausibleParty());
        const QString second = WriteState(m_dir, "second.zst", PlausibleParty());
        const QByteArray secondBefore = ReadFile(second);
        session.Open(first);
        session.ShowTab(1);
        session.Type(1, "maxHp", "999");
        session.ShowTab(4);  // Robo, left alone
        session.ShowTab(0);

        session.Open(second);
        session.Type(0, "gold", "42");
        session.Sheet().Save();
        QCOMPARE(DiffOffsets(secondBefore, ReadFile(second)),
                 Offsets({kGold, kGold + 1, kGold + 2}));
        QCOMPARE(ReadFile(second).mid(static_cast<qsizetype>(kGold), 3), QByteArray("\x2A\0\0", 3));
    }

    void openWhileAnotherTabIsVisibleBringsMainWithTheNewPath() {
        Session session;
        const QString first = WriteState(m_dir, "a.zst", PlausibleParty());
        const QString second =
            WriteState(m_dir, "b.zst", {{kGold, 7}, {kGold + 1, 0}, {kGold + 2, 0}});
        session.Open(first);
        session.ShowTab(6);
        session.Open(second);
        QCOMPARE(session.Sheet().CurrentIndex(), 0);
        QCOMPARE(session.Find<QLabel>(0, "banner")->text(), QDir::toNativeSeparators(second));
        QCOMPARE(session.Find<QLineEdit>(0, "gold")->text(), QStringLiteral("7"));
    }

    void aFailedOpenNamesTheFileAndKeepsTheOpenOne() {
        Session session;
        const QString good = WriteState(m_dir, "good.zst", PlausibleParty());
        const QByteArray goodBefore = ReadFile(good);
        const QString shortFile = m_dir.filePath("short.zst");
        {
            QFile file(shortFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(1000, '\x01'));
        }

        session.Open(shortFile);
        QCOMPARE(session.messages.shown.size(), std::size_t{1});
        QCOMPARE(session.messages.shown[0].icon, Messages::Icon::Warning);
        QVERIFY(session.messages.Take()[0].contains("short.zst"));
        QVERIFY(!session.Sheet().SaveAction()->isEnabled());
        QVERIFY(!session.Sheet().Page(0)->IsLoaded());

        session.Open(good);
        session.ShowTab(1);
        session.Type(1, "level", "50");
        session.Open(m_dir.filePath("missing.zst"));
        const QString missing = session.messages.Take().join(' ');
        QVERIFY(missing.contains("missing.zst"));
        session.Open(shortFile);
        const QString wrongSize = session.messages.Take().join(' ');
        QVERIFY(wrongSize.contains("short.zst"));
        QVERIFY(wrongSize.contains("1000"));
        QVERIFY(wrongSize.contains("274047"));
        const QString empty = m_dir.filePath("empty.zst");
        QVERIFY(QFile(empty).open(QIODevice::WriteOnly));
        session.Open(empty);
        QVERIFY(session.messages.Take().join(' ').contains("it is 0 bytes long"));

        QCOMPARE(session.Sheet().CurrentIndex(), 1);
        QVERIFY(session.Sheet().Page(1)->IsLoaded());
        QCOMPARE(session.Find<QLabel>(0, "banner")->text(), QDir::toNativeSeparators(good));
        session.Sheet().Save();
        QCOMPARE(DiffOffsets(goodBefore, ReadFile(good)),
                 Offsets({RecordOffset(kCrono, kStatLevel)}));
        QCOMPARE(ReadFile(shortFile).size(), 1000);
    }

    void saveAsWritesTheCopyAndKeepsTheLoadedPath() {
        Session session;
        const QString loaded = WriteState(m_dir, "loaded.zst", PlausibleParty());
        const QByteArray before = ReadFile(loaded);
        const QString copy = m_dir.filePath("copy.zst");
        session.Open(loaded);
        session.Type(0, "gold", "5");
        session.SaveAs(copy);
        QCOMPARE(session.messages.Take(), QStringList{"File Saved Successful!"});
        QCOMPARE(ReadFile(loaded), before);
        QCOMPARE(DiffOffsets(before, ReadFile(copy)), Offsets({kGold, kGold + 1, kGold + 2}));
        QCOMPARE(session.Find<QLabel>(0, "banner")->text(), QDir::toNativeSeparators(loaded));

        session.Type(0, "silverPoints", "9");
        session.Sheet().Save();
        QCOMPARE(session.messages.Take(), QStringList{"File Saved Successful!"});
        QCOMPARE(DiffOffsets(before, ReadFile(loaded)),
                 Offsets({kGold, kGold + 1, kGold + 2, 0x10C65}));

        const QByteArray copyBefore = ReadFile(copy);
        session.dialogs.saveAsAnswers << QString();  // cancelled
        session.Type(0, "gold", "6");
        session.Sheet().SaveAs();
        QVERIFY(session.messages.shown.empty());
        QCOMPARE(ReadFile(copy), copyBefore);
    }

    void aRefusedValueKeepsThePageAndStopsSave() {
        Session session;
        session.Show();
        const QString path = WriteState(m_dir, "refuse.zst", PlausibleParty());
        const QByteArray before = ReadFile(path);
        session.Open(path);
        session.Type(0, "saves", "12");
        session.Type(0, "gold", "");

        session.ShowTab(3);
        QCOMPARE(session.Sheet().CurrentIndex(), 0);
        QCOMPARE(session.messages.shown.size(), std::size_t{1});
        QCOMPARE(session.messages.shown[0].icon, Messages::Icon::Warning);
        QVERIFY(session.messages.Take()[0].contains("Gold"));
        QCOMPARE(QApplication::focusWidget(), session.Find<QLineEdit>(0, "gold"));

        for (QAction* save : {session.Sheet().SaveAction(), session.Sheet().SaveAsAction()}) {
            session.dialogs.saveAsAnswers << m_dir.filePath("refused-copy.zst");
            save->trigger();
            QCOMPARE(session.messages.Take().size(), 1);  // the refusal, no success
            QCOMPARE(ReadFile(path), before);
        }
        QVERIFY(!QFile::exists(m_dir.filePath("refused-copy.zst")));

        session.Type(0, "gold", "1");
        session.Sheet().Save();
        QCOMPARE(session.messages.Take(), QStringList{"File Saved Successful!"});
        QCOMPARE(DiffOffsets(before, ReadFile(path)),
                 Offsets({kGold, kGold + 1, kGold + 2, 0x35AF, 0x35B0}));
    }

    void enterAndEscapeDoNothingAndExitCloses() {
        Session session;
        session.Show();
        session.Open(WriteState(m_dir, "keys.zst", PlausibleParty()));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QVERIFY(session.Sheet().isVisible());
        }
        QVERIFY(session.messages.shown.empty());
        session.Sheet().FileMenu()->actions().last()->trigger();
        QVERIFY(!session.Sheet().isVisible());
    }

    void controlKeysSwitchTabsAndWrapAround() {
        Session session;
        session.Show();
        session.Open(WriteState(m_dir, "ctrl.zst", PlausibleParty()));
        const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            return session.Sheet().CurrentIndex();
        };
        QCOMPARE(press(Qt::Key_Tab, Qt::ControlModifier), 1);
        QCOMPARE(press(Qt::Key_PageDown, Qt::ControlModifier), 2);
        QCOMPARE(press(Qt::Key_PageUp, Qt::ControlModifier), 1);
        QCOMPARE(press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier), 0);
        QCOMPARE(press(Qt::Key_PageUp, Qt::ControlModifier), 11);
        QVERIFY(session.Sheet().Page(11)->IsLoaded());
    }

    void altLettersReachMenusAndLabelledEdits() {
        Session session;
        session.Show();
        session.Open(WriteState(m_dir, "alt.zst", PlausibleParty()));
        const std::pair<Qt::Key, const char*> labels[] = {{Qt::Key_S, "silverPoints"},
                                                          {Qt::Key_N, "saves"},
                                                          {Qt::Key_T, "hourTens"},
                                                          {Qt::Key_G, "gold"}};
        for (const auto& [key, edit] : labels) {
            QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget(), session.Find<QLineEdit>(0, edit));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(session.Sheet().FileMenu()->isVisible());
        session.Sheet().FileMenu()->close();
    }

    void tabFollowsTheControlTables() {
        Session session;
        session.Show();
        session.Open(WriteState(m_dir, "tab.zst", PlausibleParty()));
        const auto chain = [&](int tab, const char* first, int steps) {
            QStringList names;
            session.Sheet().Page(tab)->findChild<QWidget*>(QString::fromLatin1(first))->setFocus();
            for (int i = 0; i < steps; ++i) {
                names << QApplication::focusWidget()->objectName();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            return names;
        };
        QCOMPARE(chain(0, "gold", 7), (QStringList{"gold", "silverPoints", "saves", "hourTens",
                                                   "hourUnits", "minuteTens", "minuteUnits"}));
        session.ShowTab(1);
        QCOMPARE(
            chain(1, "name", 20),
            (QStringList{"name",         "face",  "level",     "experience", "experienceToNext",
                         "currentHp",    "maxHp", "currentMp", "maxMp",      "power",
                         "stamina",      "speed", "magic",     "hit",        "evade",
                         "magicDefence", "armor", "helmet",    "weapon",     "accessory"}));
    }

    void theStartArgumentOpensLikeFileOpenUnderItsFullPath() {
        const QString path = WriteState(m_dir, "start.zst", PlausibleParty());
        Session session;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        session.app.Start(QStringLiteral("start.zst"));
        QDir::setCurrent(previous);
        QVERIFY(session.Sheet().isVisible());
        QVERIFY(session.Sheet().SaveAction()->isEnabled());
        QCOMPARE(session.Find<QLabel>(0, "banner")->text(), QDir::toNativeSeparators(path));
        QCOMPARE(QString::fromStdString(session.Document().GetPath().string()), path);

        Session failing;
        failing.app.Start(m_dir.filePath("absent.zst"));
        QVERIFY(!failing.Sheet().SaveAction()->isEnabled());
        QCOMPARE(failing.messages.shown.size(), std::size_t{1});
        session.Sheet().close();
        failing.Sheet().close();
    }

    void aDroppedFileOpensLikeFileOpenUnderItsFullPath() {
        Session session;
        session.Show();
        const QString path = WriteState(m_dir, "dropped.zst", PlausibleParty());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("dropped.zst"))});
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&session.Sheet(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&session.Sheet(), &drop);
        QDir::setCurrent(previous);
        QVERIFY(session.Sheet().SaveAction()->isEnabled());
        QCOMPARE(session.Find<QLabel>(0, "banner")->text(), QDir::toNativeSeparators(path));
    }

    void theAboutBoxClosesOnEnterEscapeAndOk() {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            AboutDialog box;
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            QTest::keyClick(&box, key);
            QVERIFY(!box.isVisible());
        }
        AboutDialog box;
        QCOMPARE(box.windowTitle(), QStringLiteral("About..."));
        auto* ok = box.findChild<QPushButton*>();
        QVERIFY(ok->isDefault());
        QStringList texts;
        for (const QLabel* label : box.findChildren<QLabel*>()) {
            texts << label->text();
        }
        QVERIFY(texts.contains("Orvane Save State Editor"));
        QVERIFY(texts.contains("The orvane developers"));
        QCOMPARE(box.findChild<QGroupBox*>()->title(), QStringLiteral("orvane V1.0"));

        Session session;
        const QString path = WriteState(m_dir, "about.zst", PlausibleParty());
        const QByteArray before = ReadFile(path);
        session.Open(path);
        QTimer::singleShot(0, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        session.Sheet().HelpMenu()->actions().first()->trigger();
        session.Sheet().Save();
        QCOMPARE(ReadFile(path), before);
    }
};

ORVANE_UI_TEST(SheetTest);

}  // namespace orvane::test

#include "sheet_test.moc"
