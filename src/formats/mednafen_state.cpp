// SPDX-License-Identifier: GPL-3.0-or-later
#include "mednafen_state.h"

#include <vector>

namespace orvane {

namespace {

// "MDFNSVST", u64 time, u32 version, u32 total length (its top bit marks a big-endian writer,
// which changes nothing for byte arrays), u32 preview width and height.
constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kSectionHeaderSize = 36;  // 32 bytes of name, u32 length

// The snes module's image: "BST1", u32 serializer version 4, u32 cartridge CRC, 512 bytes of
// description, then work RAM; battery RAM further on, for the game's cartridge.
constexpr std::uint32_t kOmniCatSerializer = 4;
constexpr std::size_t kOmniCatWorkRam = 524;
constexpr std::size_t kOmniCatBatteryRam = 263724;

Outcome<StreamLayout> Refuse(const std::string& why) {
    return Outcome<StreamLayout>::Refused("it is a mednafen state " + why);
}

struct Entry {
    std::string section;
    std::string name;
    std::size_t at;
    std::size_t length;
};

// Every entry of a section, or nothing when they do not fill it exactly.
std::optional<std::vector<Entry>> Entries(ByteSpan stream, const std::string& section,
                                          std::size_t from, std::size_t to) {
    std::vector<Entry> entries;
    for (std::size_t at = from; at < to;) {
        const std::size_t nameLength = stream[at];
        const auto length = Load32(stream, at + 1 + nameLength);
        const std::size_t data = at + 1 + nameLength + 4;
        if (!length || data > to || *length > to - data) {
            return std::nullopt;
        }
        entries.push_back(
            {section, std::string(TextField(stream, at + 1, nameLength)), data, *length});
        at = data + *length;
    }
    return entries;
}

}  // namespace

Outcome<StreamLayout> ParseMednafenState(ByteSpan stream) {
    if (!IsMednafenState(stream) || stream.size() < kHeaderSize) {
        return Refuse("that ends early");
    }
    const std::uint64_t total = *Load32(stream, 20) & 0x7FFFFFFFu;
    if (total > stream.size()) {
        return Refuse("that ends early");
    }
    if (total < stream.size()) {
        return Refuse("with data after its end");
    }
    // Width times height fits in 64 bits; three bytes a pixel may not, so pixels are compared.
    const std::uint64_t pixels = std::uint64_t{*Load32(stream, 24)} * *Load32(stream, 28);
    if (pixels > (total - kHeaderSize) / 3) {
        return Refuse("whose preview picture runs past its end");
    }
    const std::uint64_t preview = pixels * 3;

    std::vector<Entry> entries;
    for (std::size_t at = kHeaderSize + preview; at < total;) {
        const std::string name = Printable(TextField(stream, at, 32));
        const auto length = Load32(stream, at + 32);
        const std::size_t data = at + kSectionHeaderSize;
        if (!length || data > total || *length > total - data) {
            return Refuse("whose sections run past its end");
        }
        const auto found = Entries(stream, name, data, data + *length);
        if (!found) {
            return Refuse("whose section " + name + " is malformed");
        }
        entries.insert(entries.end(), found->begin(), found->end());
        at = data + *length;
    }

    std::vector<StreamLayout> modules;
    std::optional<std::size_t> cartRam;
    for (const Entry& entry : entries) {
        if (entry.section == "SNES" && entry.name == "WRAM") {
            if (entry.length != kWorkRamSize) {
                return Refuse("whose WRAM entry is " + std::to_string(entry.length) +
                              " bytes long");
            }
            modules.push_back({entry.at, std::nullopt, "mednafen", "module snes_faust"});
        } else if (entry.section == "CART" && entry.name == "&CartRAM[0]" &&
                   entry.length >= kBatteryRamSize) {
            cartRam = entry.at;
        } else if (entry.section == "DATA" && entry.name == "OmniCat") {
            const ByteSpan image = stream.subspan(entry.at, entry.length);
            const auto version = Load32(image, 4);
            if (!StartsWith(image, "BST1") || !version) {
                return Refuse("whose snes module data is no bsnes image");
            }
            if (*version != kOmniCatSerializer) {
                return Refuse("whose snes module data is of serializer version " +
                              std::to_string(*version) + ", which this program does not know");
            }
            if (!Fits(image, kOmniCatWorkRam, kWorkRamSize)) {
                return Refuse("whose snes module data is too short to hold work RAM");
            }
            StreamLayout layout{kOmniCatWorkRam, std::nullopt, "mednafen", "module snes"};
            if (Fits(image, kOmniCatBatteryRam, kBatteryRamSize)) {
                layout.batteryRam = kOmniCatBatteryRam;
            }
            modules.push_back(layout.MovedBy(entry.at));
        }
    }
    if (modules.empty()) {
        return Refuse("without the work RAM of the snes or snes_faust module");
    }
    if (modules.size() > 1) {
        return Refuse("with work RAM more than once");
    }
    if (!modules.front().batteryRam) {
        modules.front().batteryRam = cartRam;
    }
    return modules.front();
}

}  // namespace orvane
