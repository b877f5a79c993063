// SPDX-License-Identifier: GPL-3.0-or-later
// The editor offscreen: the whole cycle (Open, every page's first activation, write-back, Save)
// and each page's first activation alone. An activation counts until the window is painted: the
// targets are frames.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <optional>
#include <string>

#include "demo_in_format.h"
#include "editor_app.h"
#include "editor_sheet.h"
#include "file_dialogs.h"
#include "messages.h"
#include "state_page.h"

using namespace orvane;

namespace {

// Counts what the editor would show; a benchmark that drew a warning measured a failure.
class SilentMessages final : public Messages {
public:
    bool Ask(const QString&) override {
        ++warnings;
        return false;
    }
    void Show(const QString& text, Icon icon, const QString&) override {
        if (icon == Icon::Warning) {
            lastWarning = text.toStdString();
            ++warnings;
        } else {
            ++informations;
        }
    }

    std::string lastWarning;
    int warnings = 0;
    int informations = 0;
};

// The benchmarks open by path; a dialog asked for is a cancel.
class NoDialogs final : public FileDialogs {
public:
    std::optional<QString> ChooseFileToOpen(QWidget*, const DialogStart&) override {
        return std::nullopt;
    }
    std::optional<QString> ChooseFileToSaveAs(QWidget*, const DialogStart&) override {
        return std::nullopt;
    }
};

// The demo state in the container of the real state of this name, or the demo state itself.
const char* const kCycleStates[] = {nullptr, "snes9x-1.63.000",
                                    "retroarch-1.14-snes9x-1.63-rzip.state", "mesen2-2.1.1.mss",
                                    "bsnes-115.bsz"};

// The shown editor over a copy of a demo state, which Save overwrites.
struct Editor {
    explicit Editor(const char* real = nullptr)
        : path(dir.filePath(QString::fromLatin1(real != nullptr ? real : "state.zst"))) {
        const bool copied = real != nullptr
                                ? bench::WriteDemoIn(ORVANE_DEMO_STATE,
                                                     std::filesystem::path(ORVANE_TEST_DATA) / real,
                                                     QFile::encodeName(path).toStdString())
                                : QFile::copy(QStringLiteral(ORVANE_DEMO_STATE), path);
        if (!dir.isValid() || !copied) {
            std::abort();
        }
        app.Start(std::nullopt);
    }

    EditorSheet& Sheet() { return app.Sheet(); }

    QTemporaryDir dir;
    QString path;
    SilentMessages messages;
    NoDialogs dialogs;
    EditorApp app{messages, dialogs};
};

// Delivers what the switch posted, the window's update request among it: the next frame.
void Frame() {
    QCoreApplication::processEvents();
}

// Lets the sheet finish what it does in idle time after it is shown: building the pages.
void Settle(EditorSheet& sheet) {
    while (sheet.BuiltPageCount() < sheet.PageCount()) {
        Frame();
    }
}

// Counts the paints a widget receives, so a frame that painted nothing is caught.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : QObject(widget) { widget->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }

    int paints = 0;
};

bool Failed(benchmark::State& state, const Editor& editor, bool ok, const char* what) {
    if (!ok || editor.messages.warnings > 0) {
        state.SkipWithError(editor.messages.warnings > 0 ? editor.messages.lastWarning.c_str()
                                                         : what);
        return true;
    }
    return false;
}

// Each iteration starts from a sheet just shown and settled, as a user finds it.
void EditorCycle(benchmark::State& state) {
    std::optional<Editor> editor;
    for (auto _ : state) {
        state.PauseTiming();
        editor.emplace(kCycleStates[state.range(0)]);
        Settle(editor->Sheet());
        state.ResumeTiming();
        EditorSheet& sheet = editor->Sheet();
        if (Failed(state, *editor, sheet.OpenPath(editor->path), "open failed")) {
            break;
        }
        Frame();
        bool switched = true;
        for (int i = 0; i < sheet.PageCount() && switched; ++i) {
            switched = sheet.SwitchTo(i) && sheet.Page(i)->IsLoaded();
            Frame();
        }
        if (Failed(state, *editor, switched, "a page did not fill")) {
            break;
        }
        sheet.Save();
        if (Failed(state, *editor, editor->messages.informations == 1, "save reported nothing")) {
            break;
        }
        state.counters["pages"] = sheet.PageCount();
    }
}

// From the sheet shown to its last page built in idle time: work the user does not wait for
// unless a click lands in it, so no single step may take longer than a frame.
void IdleBuild(benchmark::State& state) {
    std::optional<Editor> editor;
    for (auto _ : state) {
        state.PauseTiming();
        editor.reset();
        Frame();
        state.ResumeTiming();
        editor.emplace();
        Settle(editor->Sheet());
    }
}

// The first time a page is shown after start-up and an Open: it is filled and painted.
void FirstActivation(benchmark::State& state, int index) {
    std::optional<Editor> editor;
    for (auto _ : state) {
        state.PauseTiming();
        editor.emplace();
        EditorSheet& sheet = editor->Sheet();
        // Come from another tab, as a click does; Open has filled the first one already.
        const int from = index == 0 ? 1 : 0;
        Settle(sheet);
        const bool opened = sheet.OpenPath(editor->path) && sheet.SwitchTo(from);
        if (index == 0) {
            sheet.Page(0)->Reset();
        }
        Frame();
        state.ResumeTiming();
        if (Failed(state, *editor, opened, "open failed")) {
            break;
        }
        const bool switched = sheet.SwitchTo(index);
        StatePage* page = sheet.Page(index);
        const PaintCounter painted(page);
        Frame();
        if (Failed(state, *editor, switched && page->IsLoaded(), "the page did not fill") ||
            Failed(state, *editor, painted.paints > 0, "the page was not painted")) {
            break;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("IdleBuild", IdleBuild)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("EditorCycle", EditorCycle)
        ->ArgName("state")
        ->DenseRange(0, static_cast<int>(std::size(kCycleStates)) - 1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    Editor names;
    for (int i = 0; i < names.Sheet().PageCount(); ++i) {
        const std::string name = "FirstActivation/" + std::to_string(i) + ":" +
                                 names.Sheet().Page(i)->Caption().toStdString();
        benchmark::RegisterBenchmark(name.c_str(),
                                     [i](benchmark::State& state) { FirstActivation(state, i); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
