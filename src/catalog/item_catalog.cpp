// SPDX-License-Identifier: GPL-3.0-or-later
#include "item_catalog.h"

#include <array>

namespace orvane {

namespace {

constexpr std::size_t kGrowthStep = 215;

constexpr std::array<ItemEntry, 213> kItems{{
    {0x00, kEmptyItemName},
    {0x01, "Wood Sword"},
    {0x02, "Iron Blade"},
    {0x03, "Steel Saber"},
    {0x04, "Lode Sword"},
    {0x05, "Red Katana"},
    {0x06, "Flint Edge"},
    {0x07, "Dark Saber"},
    {0x08, "Aeon Blade"},
    {0x09, "Demon Edge"},
    {0x0A, "Alloy Blade"},
    {0x0B, "Star Sword"},
    {0x0C, "Vedic Blade"},
    {0x0D, "Kali Blade"},
    {0x0E, "Shiva Edge"},
    {0x0F, "Bolt Sword"},
    {0x10, "Slasher"},
    {0x11, "Bronze Bow"},
    {0x12, "Iron Bow"},
    {0x13, "Lode Bow"},
    {0x14, "Robin Bow"},
    {0x15, "Sage Bow"},
    {0x16, "Dream Bow"},
    {0x17, "Comet Arrow"},
    {0x18, "Sonic Arrow"},
    {0x19, "Valkerye"},
    {0x1A, "Siren"},
    {0x1F, "Air Gun"},
    {0x20, "Dart Gun"},
    {0x21, "Auto Gun"},
    {0x22, "Pico Magnum"},
    {0x23, "Plasma Gun"},
    {0x24, "Ruby Gun"},
    {0x25, "Dream Gun"},
    {0x26, "Megablast"},
    {0x27, "Shock Wave"},
    {0x28, "Wonder Shot"},
    {0x29, "Graedus"},
    {0x2E, "Tin Arm"},
    {0x2F, "Hammer Arm"},
    {0x30, "Mirage Hand"},
    {0x31, "Stone Arm"},
    {0x32, "Doom Finger"},
    {0x33, "Magma Hand"},
    {0x34, "Megaton Arm"},
    {0x35, "Big Hand"},
    {0x36, "Kaiser Arm"},
    {0x37, "Giga Arm"},
    {0x38, "Terra Arm"},
    {0x39, "Crisis Arm"},
    {0x3B, "Bronze Edge"},
    {0x3C, "Iron Sword"},
    {0x3D, "Masamune"},
    {0x3E, "Flash Blade"},
    {0x3F, "Pearl Edge"},
    {0x40, "Rune Blade"},
    {0x41, "Brave Sword"},
    {0x42, "Masamune II"},
    {0x43, "Demon Hit"},
    {0x44, "Fist"},
    {0x45, "Fist II"},
    {0x46, "Fist III"},
    {0x47, "Iron Fist"},
    {0x48, "Bronze Fist"},
    {0x4B, "Dark Scythe"},
    {0x4C, "Hurricane"},
    {0x4D, "Star Scythe"},
    {0x4E, "Doom Sickle"},
    {0x4F, "Mop"},
    {0x50, "Bent Sword"},
    {0x51, "Bent Hilt"},
    {0x52, "Masamune III"},
    {0x53, "Swallow"},
    {0x54, "Slasher 2"},
    {0x55, "Rainbow"},
    {0x5B, "Hide Tunic"},
    {0x5C, "Karate Gi"},
    {0x5D, "Bronze Mail"},
    {0x5E, "Maiden Suit"},
    {0x5F, "Iron Suit"},
    {0x60, "Titan Vest"},
    {0x61, "Gold Suit"},
    {0x62, "Ruby Vest"},
    {0x63, "Dark Mail"},
    {0x64, "Mist Robe"},
    {0x65, "Meso Mai"},
    {0x66, "Lumin Robe"},
    {0x67, "Flash Mail"},
    {0x68, "Lode Vest"},
    {0x69, "Aeon Suit"},
    {0x6A, "Zodiac Cape"},
    {0x6B, "Nova Armor"},
    {0x6C, "Prism Dress"},
    {0x6D, "Moon Armor"},
    {0x6E, "Ruby Armor"},
    {0x6F, "Raven Armor"},
    {0x70, "Gloom Cape"},
    {0x71, "White Mail"},
    {0x72, "Black Mail"},
    {0x73, "Blue Mail"},
    {0x74, "Red Mail"},
    {0x75, "White Vest"},
    {0x76, "Black Vest"},
    {0x77, "Blue Vest"},
    {0x78, "Red Vest"},
    {0x79, "Taban Vest"},
    {0x7A, "Taban Suit"},
    {0x7C, "Hide Cap"},
    {0x7D, "Bronze Helm"},
    {0x7E, "Iron Helm"},
    {0x7F, "Beret"},
    {0x80, "Gold Helm"},
    {0x81, "Rock Helm"},
    {0x82, "Cera Topper"},
    {0x83, "Glow Helm"},
    {0x84, "Lode Helm"},
    {0x85, "Aeon Helm"},
    {0x86, "Prism Helm"},
    {0x87, "Doom Helm"},
    {0x88, "Dark Helm"},
    {0x89, "Gloom Helm"},
    {0x8A, "Safe Helm"},
    {0x8B, "Taban Helm"},
    {0x8C, "Sight Cap"},
    {0x8D, "Memory Cap"},
    {0x8E, "Time Hat"},
    {0x8F, "Vigil Hat"},
    {0x90, "Ozzie Pants"},
    {0x91, "Haste Helm"},
    {0x92, "Rainbow Helm"},
    {0x93, "Mermaid Cap"},
    {0x95, "Bandana"},
    {0x96, "Ribbon"},
    {0x97, "Power Glove"},
    {0x98, "Defender"},
    {0x99, "Magic Scarf"},
    {0x9A, "Amulet"},
    {0x9B, "Dash Ring"},
    {0x9C, "Hit Ring"},
    {0x9D, "Power Ring"},
    {0x9E, "Magic Ring"},
    {0x9F, "Wall Ring"},
    {0xA0, "Silver Erng"},
    {0xA1, "Gold Erng"},
    {0xA2, "Silver Stud"},
    {0xA3, "Gold Stud"},
    {0xA4, "Sight Scope"},
    {0xA5, "Charm Top"},
    {0xA6, "Rage Band"},
    {0xA7, "Frenzy Band"},
    {0xA8, "Third Eye"},
    {0xA9, "Wallet"},
    {0xAA, "Green Dream"},
    {0xAB, "Berserker"},
    {0xAC, "Power Scarf"},
    {0xAD, "Speed Belt"},
    {0xAE, "Black Rock"},
    {0xAF, "Blue Rock"},
    {0xB0, "Silver Rock"},
    {0xB1, "White Rock"},
    {0xB2, "Gold Rock"},
    {0xB3, "Hero Medal"},
    {0xB4, "Muscle Ring"},
    {0xB5, "Flea Vest"},
    {0xB6, "Magic Seal"},
    {0xB7, "Power Seal"},
    {0xB8, "Relic"},
    {0xB9, "Seraph Song"},
    {0xBA, "Sun Shades"},
    {0xBB, "Prism Spectacle"},
    {0xBD, "Tonic"},
    {0xBE, "Mid Tonic"},
    {0xBF, "Full Tonic"},
    {0xC0, "Ether"},
    {0xC1, "Mid Ether"},
    {0xC2, "Full Ether"},
    {0xC3, "Elixir"},
    {0xC4, "Hyper Ether"},
    {0xC5, "Mega Elixir"},
    {0xC6, "Heal"},
    {0xC7, "Revive"},
    {0xC8, "Shelter"},
    {0xC9, "Power Meal"},
    {0xCA, "Lapis"},
    {0xCB, "Barrier"},
    {0xCC, "Shield"},
    {0xCD, "Power Tab"},
    {0xCE, "Magic Tab"},
    {0xCF, "Speed Tab"},
    {0xD0, "Petal"},
    {0xD1, "Fang"},
    {0xD2, "Horn"},
    {0xD3, "Feather"},
    {0xD4, "Seed"},
    {0xD5, "Bike Key"},
    {0xD6, "Pendant"},
    {0xD7, "Gate Key"},
    {0xD8, "Prism Shard"},
    {0xD9, "Chrono Trigger"},
    {0xDA, "Tools"},
    {0xDB, "Jerky"},
    {0xDC, "Dreamstone"},
    {0xDD, "Race Log"},
    {0xDE, "Moon Stone"},
    {0xDF, "Sun Stone"},
    {0xE0, "Ruby Knife"},
    {0xE1, "Yakra Key"},
    {0xE2, "Clone"},
    {0xE3, "Toma's Pop"},
    {0xE4, "2 Petals"},
    {0xE5, "2 Fangs"},
    {0xE6, "2 Horns"},
    {0xE7, "2 Feathers"},
}};

}  // namespace

ItemCatalog::ItemCatalog() {
    BuildItemCatalog();
}

void ItemCatalog::BuildItemCatalog() {
    m_ids.clear();
    m_names.clear();
    m_ids.reserve(kGrowthStep);
    m_names.reserve(kGrowthStep);
    for (const ItemEntry& entry : kItems) {
        m_ids.push_back(entry.id);
        m_names.emplace_back(entry.name);
    }
}

const std::string* ItemCatalog::FindItemName(ItemId id) const {
    for (std::size_t i = 0; i < m_ids.size(); ++i) {
        if (m_ids[i] == id) {
            return &m_names[i];
        }
    }
    return nullptr;
}

const std::string* ItemCatalog::GetItemName(ItemId id) const {
    const std::string* name = FindItemName(id);
    if (name == nullptr) {
        Warn(kItemIdNotFound);
    }
    return name;
}

bool ItemCatalog::HasItemName(std::string_view name) const {
    for (std::size_t i = 0; i < m_ids.size(); ++i) {
        if (m_names[i] == name) {
            return true;
        }
    }
    return false;
}

ItemId ItemCatalog::GetItemId(std::string_view name) const {
    for (std::size_t i = 0; i < m_ids.size(); ++i) {
        if (m_names[i] == name) {
            return m_ids[i];
        }
    }
    Warn(kItemNameNotFound);
    return 0;
}

void ItemCatalog::Warn(std::string_view text) const {
    if (m_warn) {
        m_warn(text);
    }
}

}  // namespace orvane
