// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor_sheet.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "about_dialog.h"
#include "artwork.h"
#include "character_page.h"
#include "dual_tech_page.h"
#include "items_page.h"
#include "main_page.h"
#include "state_page.h"
#include "tab_strip.h"
#include "tech_page.h"
#include "triple_tech_page.h"

namespace orvane {

namespace {

// The string table of the character tabs' captions, by string id 1 to 7 (Frog before Robo).
constexpr const char* kCaptionStrings[] = {"Crono", "Marle", "Lucca", "Frog",
                                           "Robo",  "Ayla",  "Magus"};

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

QString SaveFailureText(const WriteResult& result, WholeFileOnly replacing) {
    const QString reason = qt_error_string(result.systemError);
    const QString wholeOnly =
        replacing == WholeFileOnly::Checksummed
            ? EditorSheet::tr(
                  "The file keeps a checksum for each slot, so only a whole new file can "
                  "replace it")
            : EditorSheet::tr("The file is compressed, so only a whole new file can replace it");
    QString why;
    switch (result.error) {
        case WriteError::NoFolder:
            why = EditorSheet::tr("The folder does not exist (any more).");
            break;
        case WriteError::NotRegularFile:
            why = EditorSheet::tr("The name belongs to a folder, a device or a pipe, not a file.");
            break;
        case WriteError::ReadOnly:
            why = EditorSheet::tr("The file is read-only.");
            break;
        case WriteError::CannotCreate:
            why = EditorSheet::tr("No file can be written in the folder: %1.").arg(reason);
            break;
        case WriteError::CannotWrite:
            why = EditorSheet::tr("Writing failed: %1.").arg(reason);
            break;
        case WriteError::CannotReplace:
            why =
                EditorSheet::tr("The new content could not take the file's place: %1.").arg(reason);
            break;
        case WriteError::ReadBackDiffers:
            why = EditorSheet::tr("What was written read back otherwise.");
            break;
        case WriteError::TooLarge:
            why = EditorSheet::tr("The file is larger than any save state.");
            break;
        case WriteError::WholeOnlyHardLinked:
            why = EditorSheet::tr(
                      "%1, and that would leave the file's other names (hard links) with the "
                      "old state. Save it under another name with Save As.")
                      .arg(wholeOnly);
            break;
        case WriteError::WholeOnlyRefused:
            why = EditorSheet::tr(
                      "%1, and the folder allows none: %2. Save it elsewhere with "
                      "Save As.")
                      .arg(wholeOnly, reason);
            break;
        case WriteError::CannotEncode:
            why = EditorSheet::tr("It could not be written in its format: %1.")
                      .arg(QString::fromStdString(result.detail));
            break;
        case WriteError::None:
            return {};
    }
    return EditorSheet::tr("%1 The file on disk is as it was.").arg(why);
}

QString LoadFailureText(const QString& path, const LoadResult& result) {
    const QString name = QDir::toNativeSeparators(path);
    const QString reason = qt_error_string(result.read.systemError);
    switch (result.read.error) {
        case ReadError::CannotOpen:
            return EditorSheet::tr("Cannot open \"%1\": %2.").arg(name, reason);
        case ReadError::NotRegularFile:
            return EditorSheet::tr(
                       "Cannot open \"%1\": it is not a file but a folder, a device "
                       "or a pipe.")
                .arg(name);
        case ReadError::CannotRead:
            return EditorSheet::tr("Cannot read \"%1\": %2.").arg(name, reason);
        case ReadError::TooLarge:
            return EditorSheet::tr(
                       "\"%1\" is no save state that this program can open: it is %2 bytes "
                       "long, larger than any save state.")
                .arg(name)
                .arg(result.read.identity.size);
        case ReadError::ChangedWhileRead:
            return EditorSheet::tr(
                       "\"%1\" changed while it was read. Open it again once the "
                       "program that writes it has finished.")
                .arg(name);
        case ReadError::None:
            break;
    }
    return EditorSheet::tr(
               "\"%1\" is no save state that this program can open: %2.\n\nIt opens the game's "
               "battery save (.srm) and the save states of %3.")
        .arg(name, QString::fromStdString(result.refusal),
             QString::fromStdString(KnownStatesInWords()));
}

EditorSheet::EditorSheet(StateDocument& document, Messages& messages, FileDialogs& dialogs)
    : m_document(document), m_messages(messages), m_dialogs(dialogs) {
    setWindowTitle(QStringLiteral("Chrono Trigger"));
    setWindowIcon(AppIcon());
    setAcceptDrops(true);

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_tabs = new TabStrip(body);
    m_stack = new QStackedWidget(body);
    m_stack->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack);
    setCentralWidget(body);

    // The pages in tab order; this order is also the order of reset and write-back.
    AddPage(MainPage::Title(), kPageUnits, [this] { return new MainPage(m_document, m_messages); });
    // The character tabs follow the member bits, whatever the order of the string table.
    for (const PartyMember& member : kPartyMembers) {
        const QString caption = QString::fromLatin1(kCaptionStrings[member.captionId - 1]);
        AddPage(caption, kPageUnits, [this, &member, caption] {
            return new CharacterPage(m_document, m_messages, caption, member.id, member.portraitId);
        });
    }
    AddPage(ItemsPage::Title(), kPageUnits,
            [this] { return new ItemsPage(m_document, m_messages); });
    AddPage(TechPage::Title(), kPageUnits, [this] { return new TechPage(m_document, m_messages); });
    AddPage(DualTechPage::Title(), kDualTechPageUnits,
            [this] { return new DualTechPage(m_document, m_messages); });
    AddPage(TripleTechPage::Title(), kTripleTechPageUnits,
            [this] { return new TripleTechPage(m_document, m_messages); });
    FinishPages();

    BuildMenu();
    BuildKeys();
    connect(m_tabs, &TabStrip::TabRequested, this, &EditorSheet::SwitchTo);
}

void EditorSheet::AddPage(QString caption, QSize sizeInUnits, std::function<StatePage*()> make) {
    auto* placeholder = new QWidget;
    placeholder->setFixedSize(
        DialogUnits(PageFont()).Size(sizeInUnits.width(), sizeInUnits.height()));
    m_stack->addWidget(placeholder);
    m_pages.push_back({std::move(caption), sizeInUnits, std::move(make), nullptr});
}

StatePage* EditorSheet::Page(int index) const {
    PageSlot& slot = m_pages.at(static_cast<std::size_t>(index));
    if (slot.page == nullptr) {
        slot.page = slot.make();
        QWidget* placeholder = m_stack->widget(index);
        const bool current = m_stack->currentWidget() == placeholder;
        m_stack->insertWidget(index, slot.page);
        m_stack->removeWidget(placeholder);
        delete placeholder;
        if (current) {
            m_stack->setCurrentWidget(slot.page);
        }
    }
    return slot.page;
}

int EditorSheet::BuiltPageCount() const {
    return static_cast<int>(std::count_if(
        m_pages.begin(), m_pages.end(), [](const PageSlot& slot) { return slot.page != nullptr; }));
}

void EditorSheet::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    QTimer::singleShot(0, this, &EditorSheet::BuildNextPageWhenIdle);
}

void EditorSheet::BuildNextPageWhenIdle() {
    for (int i = 0; i < PageCount(); ++i) {
        if (m_pages[static_cast<std::size_t>(i)].page == nullptr) {
            // Polished now, the page costs only its fill when it is first shown.
            Page(i)->ensurePolished();
            QTimer::singleShot(0, this, &EditorSheet::BuildNextPageWhenIdle);
            return;
        }
    }
}

void EditorSheet::FinishPages() {
    const DialogUnits units(PageFont());
    QSize largest;
    QStringList captions;
    for (const PageSlot& slot : m_pages) {
        largest =
            largest.expandedTo(units.Size(slot.sizeInUnits.width(), slot.sizeInUnits.height()));
        captions << slot.caption;
    }
    m_stack->setFixedSize(largest + QSize(2, 2) * m_stack->frameWidth());
    m_tabs->SetTabs(captions, m_stack->width());
    ShowPage(0, false);
}

void EditorSheet::BuildMenu() {
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->addAction(tr("&Open..."), this, &EditorSheet::Open);
    m_fileMenu->addSeparator();
    m_save = m_fileMenu->addAction(tr("&Save"), this, &EditorSheet::Save);
    m_saveAs = m_fileMenu->addAction(tr("S&ave As..."), this, &EditorSheet::SaveAs);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(tr("E&xit"), this, &QWidget::close);
    m_save->setEnabled(false);
    m_saveAs->setEnabled(false);

    // On the menu bar only while a file that keeps several states is open.
    m_slotMenu = new QMenu(tr("&Slot"), this);

    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->addAction(tr("About..."), this, &EditorSheet::About);
}

void EditorSheet::BuildKeys() {
    const auto step = [this](int by) {
        SwitchTo((CurrentIndex() + by + PageCount()) % PageCount());
    };
    const std::pair<QKeySequence, int> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& [key, by] : keys) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [step, by = by] { step(by); });
    }
}

int EditorSheet::CurrentIndex() const {
    return m_stack->currentIndex();
}

bool EditorSheet::SwitchTo(int index) {
    // The visible page is not activated again: that would put back the held values over edits.
    if (index == CurrentIndex()) {
        return true;
    }
    return ShowPage(index, true);
}

bool EditorSheet::ShowPage(int index, bool activate) {
    if (index < 0 || index >= PageCount()) {
        return false;
    }
    if (index != CurrentIndex() && !CurrentPage()->ReadControls()) {
        return false;
    }
    m_stack->setCurrentWidget(Page(index));
    m_tabs->SetCurrent(index);
    if (activate) {
        CurrentPage()->OnActivate();
        CurrentPage()->FocusFirstControl();
    }
    return true;
}

void EditorSheet::Open() {
    if (const std::optional<QString> path = m_dialogs.ChooseFileToOpen(this, LoadedStart())) {
        OpenPath(*path);
    }
}

bool EditorSheet::OpenPath(const QString& given) {
    // The document keeps the path for every later Save and the banner shows it: a relative name
    // would depend on the working directory.
    const QString path = QFileInfo(given).absoluteFilePath();
    // Load first: a file that cannot be taken leaves the open file, the pages and the menu alone.
    const LoadResult result = m_document.Load(ToPath(path));
    if (!result) {
        m_messages.Warning(LoadFailureText(path, result));
        return false;
    }
    RefillPages();
    m_save->setEnabled(true);
    m_saveAs->setEnabled(true);
    RebuildSlotMenu();
    return true;
}

void EditorSheet::RefillPages() {
    ShowPage(0, false);
    for (const PageSlot& slot : m_pages) {
        if (slot.page != nullptr) {
            slot.page->Reset();
        }
    }
    CurrentPage()->OnActivate();
    CurrentPage()->FocusFirstControl();
}

void EditorSheet::RebuildSlotMenu() {
    m_slotMenu->clear();
    delete m_slotChoices;
    m_slotChoices = new QActionGroup(m_slotMenu);
    const std::vector<StoredStateSummary> states = m_document.StoredStates();
    menuBar()->removeAction(m_slotMenu->menuAction());
    if (!states.empty()) {
        menuBar()->insertMenu(m_helpMenu->menuAction(), m_slotMenu);
    }
    const std::size_t open = m_document.OpenState();
    for (std::size_t i = 0; i < states.size(); ++i) {
        QAction* choice = m_slotMenu->addAction(QString::fromStdString(states[i].label));
        choice->setCheckable(true);
        choice->setChecked(i == open);
        choice->setEnabled(states[i].opens);
        m_slotChoices->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, i] { ChooseState(i); });
    }
    if (states.size() > 1) {
        m_slotMenu->addSeparator();
    }
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (i != open) {
            m_slotMenu->addAction(tr("Copy to %1...").arg(QString::fromStdString(states[i].title)),
                                  this, [this, i] { CopyOpenStateTo(i); });
        }
    }
}

void EditorSheet::ChooseState(std::size_t state) {
    const std::vector<StoredStateSummary> states = m_document.StoredStates();
    const std::size_t open = m_document.OpenState();
    // Whatever is answered, the menu checks the state that is open afterwards.
    const auto rebuild = qScopeGuard([this] { RebuildSlotMenu(); });
    if (state == open || state >= states.size() || !PrepareSave()) {
        return;
    }
    if (m_document.HasUnsavedEdits() &&
        !m_messages.Ask(tr("%1 has changes that are not saved. Open %2 without them?")
                            .arg(QString::fromStdString(states[open].title),
                                 QString::fromStdString(states[state].title)))) {
        return;
    }
    if (const std::string refusal = m_document.OpenStoredState(state); !refusal.empty()) {
        m_messages.Warning(
            tr("%1 cannot be opened: %2.")
                .arg(QString::fromStdString(states[state].title), QString::fromStdString(refusal)));
    }
    RefillPages();
}

void EditorSheet::CopyOpenStateTo(std::size_t state) {
    const std::vector<StoredStateSummary> states = m_document.StoredStates();
    const std::size_t open = m_document.OpenState();
    if (state == open || state >= states.size() || !PrepareSave()) {
        return;
    }
    const StoredStateSummary& target = states[state];
    if (!target.blank && !m_messages.Ask(tr("Replace %1 with a copy of %2 and save the file?\n\n%3")
                                             .arg(QString::fromStdString(target.title),
                                                  QString::fromStdString(states[open].title),
                                                  QString::fromStdString(target.label)))) {
        return;
    }
    if (!MayReplaceLoadedFile()) {
        return;
    }
    ReportSave(m_document.CopyOpenStateAndSave(state));
}

bool EditorSheet::PrepareSave() {
    // A refused value stops the save: writing the pages' held values now would store it.
    if (!CurrentPage()->ReadControls()) {
        return false;
    }
    for (const PageSlot& slot : m_pages) {
        if (slot.page != nullptr && slot.page->IsLoaded()) {
            slot.page->WriteBack();
        }
    }
    return true;
}

void EditorSheet::ReportSave(const WriteResult& result) {
    // The slots' words follow what the file now holds.
    RebuildSlotMenu();
    if (result) {
        m_messages.Information(tr("File Saved Successful!"));
    } else {
        const DecodedState* state = m_document.State();
        m_messages.Warning(tr("Error Saving File!"),
                           SaveFailureText(result, state ? state->Replacing() : WholeFileOnly::No));
    }
}

bool EditorSheet::MayReplaceLoadedFile() {
    if (!m_document.ChangedOnDisk()) {
        return true;
    }
    const QString name = QDir::toNativeSeparators(QFile::decodeName(m_document.GetPath().c_str()));
    return m_messages.Ask(tr("\"%1\" has changed on disk since it was opened or last saved, "
                             "perhaps by the emulator. Replace it with the edited state?")
                              .arg(name));
}

void EditorSheet::Save() {
    if (!m_document.IsLoaded() || !PrepareSave() || !MayReplaceLoadedFile()) {
        return;
    }
    ReportSave(m_document.Save());
}

void EditorSheet::SaveAs() {
    if (!m_document.IsLoaded()) {
        return;
    }
    const std::optional<QString> path = m_dialogs.ChooseFileToSaveAs(this, LoadedStart());
    if (!path || !PrepareSave()) {
        return;
    }
    const std::filesystem::path target = ToPath(*path);
    if (m_document.IsLoadedFile(target) && !MayReplaceLoadedFile()) {
        return;
    }
    ReportSave(m_document.SaveAs(target));
}

DialogStart EditorSheet::LoadedStart() const {
    const DecodedState* state = m_document.State();
    if (state == nullptr) {
        return {};
    }
    const QString path = QFile::decodeName(m_document.GetPath().c_str());
    return {FilterFor(path, state->Writer()), QFileInfo(path).absolutePath()};
}

void EditorSheet::About() {
    AboutDialog box(this);
    box.exec();
}

void EditorSheet::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void EditorSheet::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        event->acceptProposedAction();
        OpenPath(urls.front().toLocalFile());
    }
}

}  // namespace orvane
