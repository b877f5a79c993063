// SPDX-License-Identifier: GPL-3.0-or-later
// Form1: tellim's main window, the seven name boxes and the play time of one save-state file.
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>

#include "name_time_file.h"

class Dialogs;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class TextBox;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Dialogs& dialogs, QWidget* parent = nullptr);

    // What Open does with a chosen file: on success it becomes the current file.
    bool OpenFile(const QString& path);
    QString CurrentFile() const { return m_fileName; }

    // Both warn and leave the boxes, or the file, untouched when they cannot do their whole job.
    bool OpenState(const QString& path);
    bool SaveState(const QString& path);

    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuAbout_Click();

    std::array<QGroupBox*, 7> Frame1{};
    std::array<TextBox*, 7> txtName{};
    QGroupBox* Frame2 = nullptr;
    TextBox* txtHour1 = nullptr;
    TextBox* txtHour2 = nullptr;
    QLabel* Label1 = nullptr;
    TextBox* txtMinute1 = nullptr;
    TextBox* txtMinute2 = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSep = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuAbout = nullptr;

private:
    void CreateControls();
    void CreateMenu();
    std::array<TextBox*, 4> TimeBoxes() const;
    void Warn(const QString& action, const QString& path, tellim::FileError error,
              const tellim::FileKind& kind, const QString& consequence = {});

    Dialogs& m_dialogs;
    QString m_fileName;
};
