// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a synthetic save state with believable values of our own, for trying the editors and for
// tests that want a whole file. Usage: make_demo_state [--size BYTES] OUTPUT
// The size picks the layout; by default that of the last official release, which most users have.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "equipment_lists.h"
#include "state_document.h"
#include "zsnes_state.h"

namespace {

using namespace orvane;

struct DemoMember {
    CharacterId id;
    const char* name;
    std::uint32_t level, hp, mp, power, speed;
    std::uint8_t techLevel;
};

constexpr DemoMember kDemo[] = {
    {kCrono, "Crono", 24, 412, 38, 31, 13, 0xF8}, {kMarle, "Marle", 23, 365, 52, 16, 8, 0xF0},
    {kLucca, "Lucca", 23, 348, 56, 14, 6, 0xF0},  {kRobo, "Robo", 22, 520, 24, 36, 6, 0xE0},
    {kFrog, "Frog", 22, 430, 30, 26, 11, 0xE0},   {kAyla, "Ayla", 21, 470, 18, 40, 13, 0xC0},
    {kMagus, "Magus", 20, 380, 60, 18, 12, 0x80},
};

struct DemoItem {
    const char* name;
    std::uint32_t amount;
};

constexpr DemoItem kInventory[] = {
    {"Tonic", 12},    {"Mid Tonic", 7},  {"Ether", 5},     {"Heal", 9},
    {"Revive", 3},    {"Shelter", 2},    {"Power Tab", 1}, {"Hyper Ether", 4},
    {"Gold Helm", 1}, {"Speed Belt", 1}, {"Bike Key", 1},  {"Pendant", 1},
};

// Picks the n-th entry of a member's list for one slot, so equipment always suits its wearer.
std::string Pick(const StateDocument& doc, EquipmentSlot slot, int portraitId, std::size_t n) {
    std::vector<std::string> names;
    FillEquipmentList(doc.Catalog(), slot, portraitId, names);
    return names.empty() ? std::string() : names[n % names.size()];
}

const FileLayout* LayoutOfSize(std::size_t size) {
    for (const FileLayout& layout : kFileLayouts) {
        if (layout.size == size) {
            return &layout;
        }
    }
    return nullptr;
}

// A state of the layout with its header and nothing else, which the document can then load.
bool WriteBlankState(const char* path, const FileLayout& layout) {
    std::vector<char> bytes(layout.size, 0);
    const StateHeader& header = kStateHeaders[layout.header];
    std::memcpy(bytes.data(), header.text.data(), header.text.size());
    std::memcpy(bytes.data() + header.text.size(), header.tail, sizeof header.tail);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t size = 282459;
    if (argc == 4 && std::strcmp(argv[1], "--size") == 0) {
        size = std::strtoul(argv[2], nullptr, 10);
    } else if (argc != 2) {
        std::fprintf(stderr, "usage: %s [--size BYTES] OUTPUT\n", argv[0]);
        return 2;
    }
    const char* output = argv[argc - 1];
    const FileLayout* layout = LayoutOfSize(size);
    if (layout == nullptr) {
        std::fprintf(stderr, "no layout of %zu bytes\n", size);
        return 2;
    }
    StateDocument doc;
    doc.SetWarningSink([](std::string_view text) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    });
    if (!WriteBlankState(output, *layout) || !doc.Load(output)) {
        std::fprintf(stderr, "cannot write %s\n", output);
        return 1;
    }

    for (std::size_t i = 0; i < std::size(kDemo); ++i) {
        const DemoMember& m = kDemo[i];
        const int portraitId = FindPartyMember(m.id)->portraitId;
        doc.SetName(m.id, m.name);
        doc.SetStat(m.id, kStatFace, static_cast<std::uint32_t>(i));
        doc.SetStat(m.id, kStatMaxHp, m.hp);
        doc.SetStat(m.id, kStatCurrentHp, m.hp - 17 * static_cast<std::uint32_t>(i));
        doc.SetStat(m.id, kStatMaxMp, m.mp);
        doc.SetStat(m.id, kStatCurrentMp, m.mp);
        doc.SetStat(m.id, kStatPower, m.power);
        doc.SetStat(m.id, kStatStamina, 20 + static_cast<std::uint32_t>(i));
        doc.SetStat(m.id, kStatSpeed, m.speed);
        doc.SetStat(m.id, kStatMagic, 10 + 2 * static_cast<std::uint32_t>(i));
        doc.SetStat(m.id, kStatHit, 12);
        doc.SetStat(m.id, kStatEvade, 9);
        doc.SetStat(m.id, kStatMagicDefence, 15 + static_cast<std::uint32_t>(i));
        doc.SetStat(m.id, kStatLevel, m.level);
        doc.SetStat(m.id, kStatExperience, 9000 * m.level);
        doc.SetStat(m.id, kStatExperienceToNext, 1500 + 40 * m.level);
        doc.SetStat(m.id, kStatTechLeft, 120 + 10 * static_cast<std::uint32_t>(i));
        doc.SetStat(m.id, kStatHelmet,
                    doc.GetItemId(Pick(doc, EquipmentSlot::Helmet, portraitId, 4)));
        doc.SetStat(m.id, kStatArmor,
                    doc.GetItemId(Pick(doc, EquipmentSlot::Armor, portraitId, 5)));
        doc.SetStat(m.id, kStatWeapon,
                    doc.GetItemId(Pick(doc, EquipmentSlot::Weapon, portraitId, 3)));
        doc.SetStat(m.id, kStatAccessory,
                    doc.GetItemId(Pick(doc, EquipmentSlot::Accessory, portraitId, 6)));
        doc.SetTechLevel(m.id, m.techLevel);
    }

    for (int slot = 0; slot < static_cast<int>(std::size(kInventory)); ++slot) {
        doc.SetInventorySlot(slot, kInventory[slot].amount, kInventory[slot].name);
    }

    const MemberSetKey learnedPairs[] = {3, 5, 6, 12, 24};
    for (MemberSetKey key : learnedPairs) {
        doc.SetComboTech(key, EncodeTechLevel(key == 3 ? 3 : 1));
    }
    doc.SetComboTech(7, kTripleTechLearned);

    doc.SetGeneral(kGeneralGold, 48210);
    doc.SetGeneral(kGeneralSilverPoints, 37);
    doc.SetGeneral(kGeneralSaves, 64);
    doc.SetGeneral(kGeneralHourTens, 1);
    doc.SetGeneral(kGeneralHourUnits, 7);
    doc.SetGeneral(kGeneralMinuteTens, 4);
    doc.SetGeneral(kGeneralMinuteUnits, 2);

    if (!doc.Save()) {
        std::fprintf(stderr, "cannot write %s\n", output);
        return 1;
    }
    return 0;
}
