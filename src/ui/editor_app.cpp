// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor_app.h"

#include "editor_sheet.h"

namespace orvane {

EditorApp::EditorApp(Messages& messages, FileDialogs& dialogs) {
    m_document.SetWarningSink([&messages](std::string_view text) {
        messages.Warning(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    });
    m_sheet = std::make_unique<EditorSheet>(m_document, messages, dialogs);
}

EditorApp::~EditorApp() = default;

void EditorApp::Start(const std::optional<QString>& file) {
    m_sheet->show();
    if (file) {
        m_sheet->OpenPath(*file);
    }
}

}  // namespace orvane
