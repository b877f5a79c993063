// SPDX-License-Identifier: GPL-3.0-or-later
#include "rastate.h"

namespace orvane {

namespace {

constexpr std::size_t kSignatureSize = 8;
constexpr std::size_t kBlockHeaderSize = 8;  // tag and u32 length

Outcome<RaStateMemory> Refuse(const std::string& why) {
    return Outcome<RaStateMemory>::Refused("it is a RetroArch state " + why);
}

}  // namespace

Outcome<RaStateMemory> FindRaStateMemory(ByteSpan stream) {
    if (!IsRaState(stream) || stream.size() < kSignatureSize) {
        return Refuse("that ends early");
    }
    if (stream[7] != 1) {
        return Refuse("of wrapper version " + std::to_string(stream[7]) +
                      ", which this program does not know");
    }
    std::optional<RaStateMemory> memory;
    for (std::size_t at = kSignatureSize;;) {
        if (!Fits(stream, at, kBlockHeaderSize)) {
            return Refuse("whose block list ends without its END block");
        }
        const std::string tag = Printable(TextField(stream, at, 4));
        const std::string name = tag.substr(0, tag.find_last_not_of(' ') + 1);
        const std::size_t length = *Load32(stream, at + 4);
        const std::size_t data = at + kBlockHeaderSize;
        const std::size_t padded = length + (8 - length % 8) % 8;
        if (!Fits(stream, data, padded)) {
            return Refuse("whose " + name + " block runs past the end of the state");
        }
        if (tag == "END ") {
            if (data != stream.size()) {
                return Refuse("with data after its END block");
            }
            break;
        }
        if (tag == "MEM ") {
            if (memory) {
                return Refuse("with more than one MEM block");
            }
            memory = RaStateMemory{data, length};
        }
        at = data + padded;
    }
    if (!memory) {
        return Refuse("without the core's data (a MEM block)");
    }
    return *memory;
}

}  // namespace orvane
