#pragma once
// Which items each party member may wear in each equipment slot, in the order the slot boxes
// offer them. Members are keyed by their portrait image id (103 to 109).

#include <concepts>
#include <cstdint>
#include <functional>
#include <string>

#include "item_catalog.h"

namespace orvane {

enum class EquipmentSlot { Armor, Helmet, Weapon, Accessory };

namespace portrait {
inline constexpr int kRobo = 103;
inline constexpr int kAyla = 104;
inline constexpr int kCrono = 105;
inline constexpr int kFrog = 106;
inline constexpr int kLucca = 107;
inline constexpr int kMagus = 108;
inline constexpr int kMarle = 109;
}  // namespace portrait

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
