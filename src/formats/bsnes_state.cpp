// SPDX-License-Identifier: GPL-3.0-or-later
#include "bsnes_state.h"

#include <algorithm>

namespace orvane {

namespace {

// bsnes 115: signature, length, 16 bytes of version text, 512 of description, two flag bytes
// (538 in all); then 20 bytes, battery RAM, 86 bytes, work RAM.
constexpr std::string_view kBsnesVersion = "115.1";
constexpr std::size_t kBsnesBatteryRam = 558;
constexpr std::size_t kBsnesWorkRam = 8836;

// bsnes-mercury 094: signature, serializer version, 64 hex digits of the cartridge's SHA-256,
// 512 bytes of description (584 in all); battery RAM and work RAM further on.
constexpr std::uint32_t kMercurySerializer = 27;
constexpr std::size_t kMercuryBatteryRam = 600;
constexpr std::size_t kMercuryWorkRam = 19107;

Outcome<StreamLayout> Refuse(const std::string& why) {
    return Outcome<StreamLayout>::Refused("it is a bsnes state " + why);
}

bool IsHexDigit(std::uint8_t byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'f') ||
           (byte >= 'A' && byte <= 'F');
}

Outcome<StreamLayout> Layout(std::size_t imageSize, std::string writer, std::size_t workRam,
                             std::size_t batteryRam) {
    if (workRam > imageSize || imageSize - workRam < kWorkRamSize) {
        return Outcome<StreamLayout>::Refused("it is a " + writer +
                                              " state too short to hold work RAM");
    }
    return StreamLayout{workRam, batteryRam, std::move(writer), {}};
}

}  // namespace

Outcome<StreamLayout> ParseBsnesImage(ByteSpan image) {
    return ParseBsnesImageHead(image.first(std::min(image.size(), kBsnesImageHead)), image.size());
}

Outcome<StreamLayout> ParseBsnesImageHead(ByteSpan head, std::size_t imageSize) {
    const auto second = Load32(head, 4);
    if (!IsBsnesImage(head) || !second) {
        return Refuse("that ends early");
    }
    const std::string_view version = TextField(head, 8, 16);
    if (version == kBsnesVersion) {
        if (*second != imageSize) {
            return Refuse("whose length field says " + std::to_string(*second) +
                          " bytes, but which is " + std::to_string(imageSize) + " bytes long");
        }
        return Layout(imageSize, "bsnes 115", kBsnesWorkRam, kBsnesBatteryRam);
    }
    if (*second == kMercurySerializer) {
        for (std::size_t i = 8; i < 8 + 64; ++i) {
            if (i >= head.size() || !IsHexDigit(head[i])) {
                return Outcome<StreamLayout>::Refused(
                    "it is a bsnes-mercury state whose cartridge hash is malformed");
            }
        }
        return Layout(imageSize, "bsnes-mercury 094", kMercuryWorkRam, kMercuryBatteryRam);
    }
    if (*second == imageSize) {
        return Refuse("of version \"" + Printable(version) +
                      "\", which this program does not know");
    }
    return Refuse("of serializer version " + std::to_string(*second) +
                  ", which this program does not know");
}

}  // namespace orvane
