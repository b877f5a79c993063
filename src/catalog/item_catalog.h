// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed table of the game's item IDs and the names the editor shows for them, with lookups
// both ways. Unknown IDs and names are reported through the installed warning sink.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "warning_sink.h"

namespace orvane {

using ItemId = std::uint32_t;

struct ItemEntry {
    ItemId id;
    std::string_view name;
};

inline constexpr std::string_view kEmptyItemName = "<empty>";
inline constexpr std::string_view kItemIdNotFound = "Item ID not found!";
inline constexpr std::string_view kItemNameNotFound = "Item name not found!";

class ItemCatalog {
public:
    ItemCatalog();

    // Empties both sequences and appends every table entry, ID first, then name.
    void BuildItemCatalog();

    // The stored name of the ID, or null (after "Item ID not found!") when the table lacks it.
    // The text lives as long as the catalogue.
    const std::string* GetItemName(ItemId id) const;

    // The ID of the exactly equal name, or 0 (after "Item name not found!") when none matches.
    ItemId GetItemId(std::string_view name) const;

    // Lookups that stay silent, for callers that handle the miss themselves.
    const std::string* FindItemName(ItemId id) const;
    bool HasItemName(std::string_view name) const;

    std::size_t Size() const { return m_ids.size(); }
    const std::vector<std::string>& Names() const { return m_names; }
    const std::vector<ItemId>& Ids() const { return m_ids; }

    void SetWarningSink(WarningSink sink) { m_warn = std::move(sink); }

private:
    void Warn(std::string_view text) const;

    std::vector<std::string> m_names;
    std::vector<ItemId> m_ids;
    WarningSink m_warn;
};

}  // namespace orvane
