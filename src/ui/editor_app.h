// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application: owns the one document for the whole run, routes the model's warnings to the
// message seam, and shows the editor sheet.

#include <QString>
#include <memory>
#include <optional>

#include "file_dialogs.h"
#include "messages.h"
#include "state_document.h"

namespace orvane {

class EditorSheet;

class EditorApp {
public:
    EditorApp(Messages& messages, FileDialogs& dialogs);
    ~EditorApp();
    EditorApp(const EditorApp&) = delete;
    EditorApp& operator=(const EditorApp&) = delete;

    // Shows the sheet; a given file is opened as File > Open would open it.
    void Start(const std::optional<QString>& file);

    StateDocument& Document() { return m_document; }
    EditorSheet& Sheet() { return *m_sheet; }

private:
    StateDocument m_document;
    std::unique_ptr<EditorSheet> m_sheet;
};

}  // namespace orvane
