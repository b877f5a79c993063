// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One page on its own over a document loaded from a file made by code, with the recorder as the
// model's warning sink, and a save done the way the sheet does it.

#include <QApplication>
#include <memory>

#include "editor_fixtures.h"

namespace orvane::test {

template <typename Page>
class PageHarness {
public:
    explicit PageHarness(const Patch& bytes) {
        document.SetWarningSink([this](std::string_view text) {
            messages.Warning(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        });
        path = WriteState(dir, QStringLiteral("state.zs1"), bytes);
        loaded = ReadFile(path);
        if (!document.Load(FsPath(path))) {
            qFatal("cannot load %s", qPrintable(path));
        }
        page = std::make_unique<Page>(document, messages);
    }

    // The page becomes the visible tab of an active window, as keyboard tests need.
    Page& Show() {
        page->show();
        QApplication::setActiveWindow(page.get());
        if (!QTest::qWaitForWindowActive(page.get())) {
            qWarning("the page did not become active");
        }
        page->OnActivate();
        return *page;
    }

    // Leave the page, write it back if it was filled, save; false when the page refused.
    bool Save() {
        if (!page->ReadControls()) {
            return false;
        }
        if (page->IsLoaded()) {
            page->WriteBack();
        }
        return static_cast<bool>(document.Save());
    }
    std::vector<long> ChangedOffsets() const { return DiffOffsets(loaded, ReadFile(path)); }
    std::uint8_t SavedByte(std::size_t offset) const {
        return static_cast<std::uint8_t>(ReadFile(path).at(static_cast<qsizetype>(offset)));
    }

    QTemporaryDir dir;
    RecordingMessages messages;
    StateDocument document;
    QString path;
    QByteArray loaded;
    std::unique_ptr<Page> page;
};

}  // namespace orvane::test
