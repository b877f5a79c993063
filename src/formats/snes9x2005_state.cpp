// SPDX-License-Identifier: GPL-3.0-or-later
#include "snes9x2005_state.h"

#include <array>

namespace orvane {

namespace {

// The builds measured, by their data's size. The plus build keeps another sound processor's
// state at the end; work RAM and battery RAM lie where they do in the other.
struct Build {
    std::size_t size;
    const char* name;
};
constexpr std::array<Build, 2> kBuilds{{{562192, "snes9x2005"}, {564544, "snes9x2005 plus"}}};
constexpr std::size_t kWorkRam = 68684;
// Battery RAM is the start of the cartridge's RAM buffer, which follows work RAM.
constexpr std::size_t kBatteryRam = 199756;

const Build* BuildOfSize(std::size_t size) {
    for (const Build& build : kBuilds) {
        if (build.size == size) {
            return &build;
        }
    }
    return nullptr;
}

}  // namespace

bool IsSnes9x2005Data(ByteSpan data) {
    return BuildOfSize(data.size()) != nullptr;
}

Outcome<StreamLayout> ParseSnes9x2005Data(ByteSpan data) {
    const Build* build = BuildOfSize(data.size());
    if (build == nullptr) {
        return Outcome<StreamLayout>::Refused("it is core data of " + std::to_string(data.size()) +
                                              " bytes, which no snes9x2005 build this program "
                                              "knows writes");
    }
    return StreamLayout{kWorkRam, kBatteryRam, build->name, {}};
}

}  // namespace orvane
