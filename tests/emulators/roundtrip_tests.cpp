// SPDX-License-Identifier: GPL-3.0-or-later
// The emulators that Debian ships load a state that orvane saved and keep its changes: each real
// state of one is edited and saved by the document, loaded and saved again by the emulator itself
// (roundtrip, beside this file), and the emulator's new file read back. Skipped, with the reason,
// where the emulator or Xvfb is missing.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

extern char** environ;

namespace {

constexpr int kSkipped = 77;  // roundtrip's status when the emulator or Xvfb is missing

struct EmulatorState {
    const char* emulator;  // roundtrip's name for it
    const char* file;      // its real state in tests/data
};

constexpr EmulatorState kEmulatorStates[] = {
    {"mednafen-snes", "mednafen-1.29-snes.mc0"},
    {"mednafen-snes_faust", "mednafen-1.29-snes_faust.mc0"},
    {"retroarch-bsnes-mercury-accuracy", "retroarch-1.14-bsnes-mercury-accuracy.state"},
    {"retroarch-bsnes-mercury-balanced", "retroarch-1.14-bsnes-mercury-balanced.state"},
    {"retroarch-bsnes-mercury-performance", "retroarch-1.14-bsnes-mercury-performance.state"},
};

void PrintTo(const EmulatorState& state, std::ostream* out) {
    *out << state.emulator;
}

struct Outcome {
    int status = -1;  // the exit status, -1 when it did not exit
    std::string errors;
};

// roundtrip with these arguments; its standard error is kept in a file, since it says why it
// failed or was skipped.
Outcome RoundTrip(std::vector<std::string> arguments, const fs::path& errors) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    arguments.insert(arguments.begin(), ORVANE_ROUNDTRIP);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    Outcome outcome;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        outcome.errors = std::string("cannot start roundtrip: ") + std::strerror(spawned);
        return outcome;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        outcome.status = WEXITSTATUS(status);
    }
    std::ifstream text(errors);
    std::ostringstream all;
    all << text.rdbuf();
    outcome.errors = all.str();
    return outcome;
}

class EmulatorRoundTrip : public ::testing::TestWithParam<EmulatorState> {};

TEST_P(EmulatorRoundTrip, KeepsTheGoldAndNameThatOrvaneSaved) {
    const EmulatorState& state = GetParam();
    ScratchDir dir;
    // Before orvane's part, so a machine without the emulator skips whatever orvane opens.
    const Outcome check = RoundTrip({"--check", state.emulator}, dir / "errors.txt");
    if (check.status == kSkipped) {
        GTEST_SKIP() << check.errors;
    }
    ASSERT_EQ(check.status, 0) << check.errors;
    const fs::path copy = dir / state.file;
    fs::copy_file(TestData(state.file), copy);
    const fs::path edited = dir / ("edited-" + std::string(state.file));
    {
        StateDocument doc;
        ASSERT_TRUE(doc.Load(copy)) << "orvane does not open " << state.file;
        doc.SetGeneral(kGeneralGold, 7654321);
        doc.SetName(kMagus, "Zeal");
        ASSERT_TRUE(doc.SaveAs(edited));
    }

    const fs::path saved = dir / ("emulator-" + std::string(state.file));
    const Outcome outcome =
        RoundTrip({state.emulator, edited.string(), saved.string()}, dir / "errors.txt");
    ASSERT_EQ(outcome.status, 0) << outcome.errors;

    StateDocument back;
    ASSERT_TRUE(back.Load(saved)) << "orvane does not open what " << state.emulator << " saved";
    EXPECT_EQ(back.GetGeneral(kGeneralGold), 7654321u);
    EXPECT_EQ(back.GetName(kMagus), "Zeal ");
    // What the cartridge stored and nobody changed (markers.json: names, save count, silver
    // points).
    EXPECT_EQ(back.GetName(kCrono), "Aleph");
    EXPECT_EQ(back.GetName(kAyla), "Fjord");
    EXPECT_EQ(back.GetGeneral(kGeneralSaves), 0x1234u);
    EXPECT_EQ(back.GetGeneral(kGeneralSilverPoints), 0xA7u);
}

INSTANTIATE_TEST_SUITE_P(DebianEmulators, EmulatorRoundTrip, ::testing::ValuesIn(kEmulatorStates),
                         [](const ::testing::TestParamInfo<EmulatorState>& info) {
                             std::string name = info.param.emulator;
                             for (char& ch : name) {
                                 if (ch == '-') {
                                     ch = '_';
                                 }
                             }
                             return name;
                         });

}  // namespace
