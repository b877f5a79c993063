// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor's one window: the File and Help menus, the tab strip over the pages, and the page
// protocol that carries every edit between the pages and the document on Open and Save.

#include <QMainWindow>
#include <QSize>
#include <functional>
#include <vector>

#include "file_dialogs.h"
#include "messages.h"
#include "state_document.h"

class QAction;
class QActionGroup;
class QMenu;
class QStackedWidget;

namespace orvane {

class StatePage;
class TabStrip;

class EditorSheet : public QMainWindow {
    Q_OBJECT

public:
    EditorSheet(StateDocument& document, Messages& messages, FileDialogs& dialogs);

    void Open();
    // Open without the dialog: the start-up argument and dropped files come here.
    bool OpenPath(const QString& path);
    void Save();
    void SaveAs();
    void About();
    // Opens another of the file's states, asking first where the open one has unsaved edits.
    void ChooseState(std::size_t state);
    // Makes another of the file's states a copy of the open one and saves the file, asking
    // first where that state holds anything.
    void CopyOpenStateTo(std::size_t state);

    // Leave the visible page for another; false when the visible page refuses its values.
    bool SwitchTo(int index);
    int CurrentIndex() const;
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // A page's controls come into being when the page is first needed (shown, or asked for
    // here) or, once the sheet is on screen, in idle time: the sheet appears without waiting for
    // eleven pages nobody has looked at yet, and the first look at each is not slowed by them.
    StatePage* Page(int index) const;
    int BuiltPageCount() const;
    StatePage* CurrentPage() const { return Page(CurrentIndex()); }
    TabStrip* Tabs() const { return m_tabs; }
    QMenu* FileMenu() const { return m_fileMenu; }
    // Shown only for a file that keeps several states, such as a battery save's slots.
    QMenu* SlotMenu() const { return m_slotMenu; }
    QMenu* HelpMenu() const { return m_helpMenu; }
    QAction* SaveAction() const { return m_save; }
    QAction* SaveAsAction() const { return m_saveAs; }

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // A page not built yet is not loaded: it has nothing to reset and nothing to write back.
    struct PageSlot {
        QString caption;
        QSize sizeInUnits;
        std::function<StatePage*()> make;
        StatePage* page = nullptr;
    };

    void AddPage(QString caption, QSize sizeInUnits, std::function<StatePage*()> make);
    // Builds the first page not built yet and asks for another turn while any is left.
    void BuildNextPageWhenIdle();
    void BuildMenu();
    void BuildKeys();
    void FinishPages();
    bool ShowPage(int index, bool activate);
    // Main in front, every page reset, and Main filled from the document.
    void RefillPages();
    // The slots (or other states) of the loaded file, with the open one checked.
    void RebuildSlotMenu();
    // The visible page's values taken and checked, and every loaded page's written back; false
    // when the visible page refuses a value.
    bool PrepareSave();
    void ReportSave(const WriteResult& result);
    // True unless the loaded file changed on disk and the user would rather keep it.
    bool MayReplaceLoadedFile();
    // The dialogs start on the loaded file's kind, in its folder.
    DialogStart LoadedStart() const;

    StateDocument& m_document;
    Messages& m_messages;
    FileDialogs& m_dialogs;
    mutable std::vector<PageSlot> m_pages;  // in tab order; built pages are owned by the stack
    TabStrip* m_tabs = nullptr;
    QStackedWidget* m_stack = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_slotMenu = nullptr;
    QActionGroup* m_slotChoices = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_save = nullptr;
    QAction* m_saveAs = nullptr;
};

// The warning for a file that could not be opened, naming it and the reason.
QString LoadFailureText(const QString& path, const LoadResult& result);
// What "Error Saving File!" says below its text: why, and that the file was kept. replacing
// says why the file may only be replaced as a whole.
QString SaveFailureText(const WriteResult& result, WholeFileOnly replacing = WholeFileOnly::No);

}  // namespace orvane
