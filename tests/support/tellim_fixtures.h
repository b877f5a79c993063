// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// tellim's dialogs for its tests: the open dialog answers from a script and every message shown
// is recorded instead of waiting for a user.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>

#include "dialogs.h"
#include "fixtures.h"

namespace orvane::test {

class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        Icon icon;
        QString title;
        QString text;
    };

    void Message(QWidget*, Icon icon, const QString& title, const QString& text) override {
        shown.push_back({icon, title, text});
    }

    // An unscripted dialog is a cancel.
    QString OpenFileName(QWidget*, const QString& title, const QString& filter,
                         const QString& current) override {
        openTitles << title;
        openFilters << filter;
        openCurrents << current;
        if (answers.isEmpty()) {
            ++unscripted;
            return {};
        }
        return answers.takeFirst();
    }

    void RunModal(QDialog& dialog) override {
        dialog.open();
        if (onModal) {
            onModal(dialog);
        } else {
            ++unscripted;
        }
        modalStillOpen = dialog.isVisible();
    }

    QStringList answers;
    QStringList openTitles, openFilters, openCurrents;
    QList<Shown> shown;
    std::function<void(QDialog&)> onModal;
    bool modalStillOpen = false;
    int unscripted = 0;
};

inline QString ToQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace orvane::test
