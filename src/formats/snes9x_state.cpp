// SPDX-License-Identifier: GPL-3.0-or-later
#include "snes9x_state.h"

namespace orvane {

namespace {

constexpr std::size_t kSignatureSize = 14;    // "#!s9xsnp:0012\n"
constexpr std::size_t kBlockHeaderSize = 11;  // "RAM:131072:"

// The format versions that each signature's streams are known in, and their name in words.
struct Formats {
    int first;
    int last;
    const char* words;
};
constexpr Formats kFormats{7, 12, "format"};
constexpr Formats kOldFormats{1, 1, "old format"};

Outcome<StreamLayout> Refuse(const std::string& why) {
    return Outcome<StreamLayout>::Refused("it is a snes9x state " + why);
}

bool IsDigit(std::uint8_t byte) {
    return byte >= '0' && byte <= '9';
}

std::string Text(ByteSpan bytes, std::size_t at, std::size_t length) {
    return std::string(reinterpret_cast<const char*>(bytes.data() + at), length);
}

// A block's data length: six decimal digits, or, above 999999, "--" and four big-endian bytes.
std::optional<std::size_t> BlockLength(ByteSpan header) {
    if (header[4] == '-' && header[5] == '-') {
        return std::size_t{header[6]} << 24 | std::size_t{header[7]} << 16 |
               std::size_t{header[8]} << 8 | header[9];
    }
    std::size_t length = 0;
    for (std::size_t i = 4; i < 10; ++i) {
        if (!IsDigit(header[i])) {
            return std::nullopt;
        }
        length = length * 10 + (header[i] - '0');
    }
    return length;
}

}  // namespace

Outcome<StreamLayout> ParseSnes9xStream(ByteSpan stream) {
    const bool old = IsOldSnes9xStream(stream);
    if ((!old && !IsSnes9xStream(stream)) || stream.size() < kSignatureSize) {
        return Refuse("that ends early");
    }
    for (std::size_t i = 9; i < 13; ++i) {
        if (!IsDigit(stream[i])) {
            return Refuse("whose signature is malformed");
        }
    }
    if (stream[13] != '\n') {
        return Refuse("whose signature is malformed");
    }
    const std::string version = Text(stream, 9, 4);
    const int number = std::stoi(version);
    const Formats& formats = old ? kOldFormats : kFormats;
    if (number < formats.first || number > formats.last) {
        return Refuse(std::string("of ") + formats.words + " " + version +
                      ", which this program does not know");
    }

    StreamLayout layout;
    layout.writer = "snes9x";
    layout.detail = std::string(formats.words) + " " + std::to_string(number);
    int ramBlocks = 0;
    for (std::size_t at = kSignatureSize; at < stream.size();) {
        if (!Fits(stream, at, kBlockHeaderSize)) {
            return Refuse("whose last block is cut short");
        }
        const ByteSpan header = stream.subspan(at, kBlockHeaderSize);
        const auto length = BlockLength(header);
        if (header[3] != ':' || header[10] != ':' || !length) {
            return Refuse("with a malformed block header at byte " + std::to_string(at));
        }
        const std::string name = Text(stream, at, 3);
        const std::size_t data = at + kBlockHeaderSize;
        if (!Fits(stream, data, *length)) {
            return Refuse("whose " + name + " block runs past the end of the state");
        }
        if (name == "RAM") {
            if (*length != kWorkRamSize) {
                return Refuse("whose RAM block is " + std::to_string(*length) + " bytes long");
            }
            ++ramBlocks;
            layout.workRam = data;
        } else if (name == "SRA" && *length >= kBatteryRamSize && !layout.batteryRam) {
            layout.batteryRam = data;
        }
        at = data + *length;
    }
    if (ramBlocks == 0) {
        return Refuse("without a RAM block");
    }
    if (ramBlocks > 1) {
        return Refuse("with more than one RAM block");
    }
    return layout;
}

}  // namespace orvane
