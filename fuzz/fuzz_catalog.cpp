// SPDX-License-Identifier: GPL-3.0-or-later
// Catalogue lookups with arbitrary IDs and names: a name found must lead back to its ID, and a
// miss must warn exactly once.

#include <cstdlib>
#include <string>

#include "equipment_lists.h"
#include "fuzz_input.h"
#include "item_catalog.h"

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ItemCatalog catalog;
    std::size_t warnings = 0;
    catalog.SetWarningSink([&warnings](std::string_view) { ++warnings; });
    FuzzInput in(data, size);
    while (!in.Empty()) {
        const std::uint32_t id = in.U32();
        std::size_t before = warnings;
        if (const std::string* name = catalog.GetItemName(id)) {
            if (catalog.GetItemId(*name) != id || warnings != before) {
                std::abort();
            }
        } else if (warnings != before + 1) {
            std::abort();
        }

        const std::string name = in.Text(20);
        before = warnings;
        const ItemId found = catalog.GetItemId(name);
        const bool known = catalog.HasItemName(name);
        if (warnings != before + (known ? 0 : 1) || (!known && found != 0)) {
            std::abort();
        }

        std::size_t entries = 0;
        FillEquipmentList(catalog, static_cast<EquipmentSlot>(in.Byte() % 4),
                          static_cast<int>(in.I32() % 200),
                          [&entries](const std::string&) { ++entries; });
        if (entries > 40) {
            std::abort();
        }
    }
    catalog.SetWarningSink({});
    return 0;
}
