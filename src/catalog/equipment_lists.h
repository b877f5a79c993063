// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which items each party member may wear in each equipment slot, in the order the slot boxes
// offer them. Members are keyed by their portrait image id (103 to 109).

#include <concepts>
#include <cstdint>
#include <functional>
#include <string>

#include "item_catalog.h"
#include "party_members.h"

namespace orvane {

enum class EquipmentSlot { Armor, Helmet, Weapon, Accessory };

using NameAppender = std::function<void(const std::string& name)>;

// Appends the names of the slot's items for the member, in list order; never clears or sorts.
void FillEquipmentList(const ItemCatalog& catalog, EquipmentSlot slot, int portraitId,
                       const NameAppender& append);

// The same for any container with push_back (a QStringList needs the appender form).
template <typename Container>
requires requires(Container& c, const std::string& s) {
    c.push_back(s);
}
void FillEquipmentList(const ItemCatalog& catalog, EquipmentSlot slot, int portraitId,
                       Container& out) {
    FillEquipmentList(catalog, slot, portraitId,
                      NameAppender([&out](const std::string& name) { out.push_back(name); }));
}

}  // namespace orvane
