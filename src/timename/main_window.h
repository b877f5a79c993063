// SPDX-License-Identifier: GPL-3.0-or-later
// tellim's one window: the seven name boxes and the play time of one save-state file.
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "name_time_file.h"

class Dialogs;
class QAction;
class QActionGroup;
class QGroupBox;
class QLabel;
class QMenu;
class TextBox;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Dialogs& dialogs, QWidget* parent = nullptr);

    // What Open does with a chosen file: on success it becomes the current file, at the slot a
    // user expects where it keeps several states.
    bool OpenFile(const QString& path);
    QString CurrentFile() const { return m_fileName; }

    // Both warn and leave the boxes, or the file, untouched when they cannot do their whole job.
    // They read and write the current slot of a file that keeps several states.
    bool OpenState(const QString& path);
    bool SaveState(const QString& path);
    // Opens another slot of the current file, asking first where a box was edited.
    void ChooseSlot(std::size_t slot);

    void Open();
    void Save();
    void Exit();
    void About();

    // In the window's order: Crono, Marle, Lucca, Frog, Robo, Ayla, Magus.
    const std::array<QGroupBox*, 7>& NameFrames() const { return m_nameFrames; }
    const std::array<TextBox*, 7>& NameBoxes() const { return m_nameBoxes; }
    QGroupBox* TimeFrame() const { return m_timeFrame; }
    TextBox* HourTensBox() const { return m_hourTensBox; }
    TextBox* HourUnitsBox() const { return m_hourUnitsBox; }
    QLabel* ColonLabel() const { return m_colonLabel; }
    TextBox* MinuteTensBox() const { return m_minuteTensBox; }
    TextBox* MinuteUnitsBox() const { return m_minuteUnitsBox; }

    QMenu* FileMenu() const { return m_fileMenu; }
    // Shown only for a file that keeps several states, such as a battery save's slots.
    QMenu* SlotMenu() const { return m_slotMenu; }
    QAction* OpenAction() const { return m_open; }
    QAction* SaveAction() const { return m_save; }
    QAction* AboutAction() const { return m_about; }

private:
    void CreateControls();
    void CreateMenu();
    std::array<TextBox*, 4> TimeBoxes() const;
    void RebuildSlotMenu();
    void Warn(const QString& action, const QString& path, tellim::FileError error,
              const tellim::FileKind& kind, const QString& consequence = {});

    Dialogs& m_dialogs;
    QString m_fileName;
    // The current file's slots and the open one, where it keeps several states.
    std::optional<std::size_t> m_slot;
    std::vector<tellim::SlotSummary> m_slots;

    std::array<QGroupBox*, 7> m_nameFrames{};
    std::array<TextBox*, 7> m_nameBoxes{};
    QGroupBox* m_timeFrame = nullptr;
    TextBox* m_hourTensBox = nullptr;
    TextBox* m_hourUnitsBox = nullptr;
    QLabel* m_colonLabel = nullptr;
    TextBox* m_minuteTensBox = nullptr;
    TextBox* m_minuteUnitsBox = nullptr;

    QMenu* m_fileMenu = nullptr;
    QMenu* m_slotMenu = nullptr;
    QActionGroup* m_slotChoices = nullptr;
    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_about = nullptr;
};
