// SPDX-License-Identifier: GPL-3.0-or-later
#include "battery_save.h"

#include <algorithm>
#include <string>
#include <vector>

namespace orvane {

namespace {

enum class SlotStatus {
    Saved,
    NeverSaved,
    Damaged,  // marked, but the checksum does not match: the game shows it as empty
    Hollow,   // marked and the checksum matches, but the game's bytes hold nothing
};

constexpr std::size_t Place(std::uint32_t address) {
    return address - 0x7E0000;
}

ByteSpan Slot(ByteSpan file, std::size_t n) {
    return file.subspan(n * kSlotSize, kSlotSize);
}

std::uint16_t Load16(ByteSpan bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void Store16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    StoreLittle(bytes, at, value, 2);
}

SlotStatus StatusOf(ByteSpan file, std::size_t n) {
    if (Load16(file, kSlotMarks + 2 * n) != kSavedMark) {
        return SlotStatus::NeverSaved;
    }
    const ByteSpan slot = Slot(file, n);
    if (Load16(file, kSlotChecksums + 2 * n) != SlotChecksum(slot)) {
        return SlotStatus::Damaged;
    }
    const ByteSpan written = slot.first(kSlotWritten);
    const bool hollow = std::all_of(written.begin(), written.end(),
                                    [&written](std::uint8_t byte) { return byte == written[0]; });
    return hollow ? SlotStatus::Hollow : SlotStatus::Saved;
}

const char* Words(SlotStatus status) {
    switch (status) {
        case SlotStatus::Saved:
            break;
        case SlotStatus::NeverSaved:
            return "never saved";
        case SlotStatus::Damaged:
            return "damaged, the game shows it as empty";
        case SlotStatus::Hollow:
            return "marked as saved, but holds no game";
    }
    return "";
}

std::string SlotTitle(std::size_t n) {
    return "Slot " + std::to_string(n + 1);
}

// Whether the view holds nothing outside the ranges a slot keeps: an edit there would be lost.
bool KeepsEveryEdit(ByteSpan view) {
    Bytes outside(view.begin(), view.end());
    for (const SlotRange& range : kSlotRanges) {
        std::fill_n(outside.begin() + static_cast<std::ptrdiff_t>(Place(range.address)),
                    range.length, 0);
    }
    return std::all_of(outside.begin(), outside.end(), [](std::uint8_t byte) { return byte == 0; });
}

// The game's bytes of slot n into a view of work RAM, and back. Places the slot does not keep
// read as zero.
class BatterySlots final : public BodyCoding {
public:
    std::vector<StoredState> States(ByteSpan stream) const override {
        std::vector<StoredState> states;
        for (std::size_t n = 0; n < kSlotCount; ++n) {
            const SlotStatus status = StatusOf(stream, n);
            states.push_back({SlotTitle(n), status == SlotStatus::Saved, Words(status),
                              status == SlotStatus::NeverSaved});
        }
        return states;
    }

    std::size_t FirstToOpen(ByteSpan stream) const override {
        const std::size_t last = stream[kLastSlotUsed];
        if (last < kSlotCount && StatusOf(stream, last) == SlotStatus::Saved) {
            return last;
        }
        for (std::size_t n = 0; n < kSlotCount; ++n) {
            if (StatusOf(stream, n) == SlotStatus::Saved) {
                return n;
            }
        }
        return 0;
    }

    Outcome<Body> Open(ByteSpan stream, std::size_t state) const override {
        if (state >= kSlotCount) {
            return Outcome<Body>::Refused("it is a battery save, which has three slots");
        }
        if (const SlotStatus status = StatusOf(stream, state); status != SlotStatus::Saved) {
            return Outcome<Body>::Refused("it is a battery save whose " + SlotTitle(state) +
                                          " is " + Words(status));
        }
        Body body;
        body.bytes.assign(kWorkRamSize, 0);
        const ByteSpan slot = Slot(stream, state);
        for (const SlotRange& range : kSlotRanges) {
            std::copy_n(slot.begin() + static_cast<std::ptrdiff_t>(range.slotOffset), range.length,
                        body.bytes.begin() + static_cast<std::ptrdiff_t>(Place(range.address)));
        }
        body.layout = {0, std::nullopt, "battery save", SlotTitle(state)};
        return body;
    }

    Outcome<Bytes> Encode(ByteSpan stream, std::size_t state, ByteSpan body) const override {
        if (state >= kSlotCount || body.size() != kWorkRamSize) {
            return Outcome<Bytes>::Refused("it is a battery save, which has three slots");
        }
        if (!KeepsEveryEdit(body)) {
            return Outcome<Bytes>::Refused(
                "a value was changed where a battery save keeps nothing of work RAM");
        }
        Bytes file(stream.begin(), stream.end());
        const auto slot = file.begin() + static_cast<std::ptrdiff_t>(state * kSlotSize);
        for (const SlotRange& range : kSlotRanges) {
            std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(Place(range.address)),
                        range.length, slot + static_cast<std::ptrdiff_t>(range.slotOffset));
        }
        Seal(file, state);
        return file;
    }

    Outcome<Bytes> Copy(ByteSpan stream, std::size_t from, std::size_t to) const override {
        if (from >= kSlotCount || to >= kSlotCount || StatusOf(stream, from) != SlotStatus::Saved) {
            return Outcome<Bytes>::Refused("it is a battery save whose slot to copy is not saved");
        }
        Bytes file(stream.begin(), stream.end());
        const ByteSpan source = Slot(stream, from);
        std::copy(source.begin(), source.end(),
                  file.begin() + static_cast<std::ptrdiff_t>(to * kSlotSize));
        Seal(file, to);
        return file;
    }

    WholeFileOnly Replacing() const override { return WholeFileOnly::Checksummed; }

private:
    // The checksum over the slot as it now is, and the mark the game sets when it saves it.
    static void Seal(Bytes& file, std::size_t n) {
        Store16(file, kSlotChecksums + 2 * n, SlotChecksum(Slot(file, n)));
        Store16(file, kSlotMarks + 2 * n, kSavedMark);
    }
};

}  // namespace

std::optional<std::size_t> SlotOffsetOf(std::size_t workRamPlace) {
    for (const SlotRange& range : kSlotRanges) {
        const std::size_t start = Place(range.address);
        if (workRamPlace >= start && workRamPlace - start < range.length) {
            return range.slotOffset + (workRamPlace - start);
        }
    }
    return std::nullopt;
}

std::uint16_t SlotChecksum(ByteSpan slot) {
    std::uint32_t sum = 0;
    std::uint32_t carry = 0;
    for (std::size_t i = 0; i + 1 < slot.size(); i += 2) {
        const std::uint32_t total = sum + Load16(slot, i) + carry;
        sum = total & 0xFFFF;
        carry = total >> 16;
    }
    return static_cast<std::uint16_t>(sum);
}

Outcome<FormatFound> ReadBatterySave(ByteSpan data) {
    if (!IsBatterySaveSize(data)) {
        return Outcome<FormatFound>::Refused("it is no battery save, which is 8192 bytes long");
    }
    std::string marked;
    for (std::size_t n = 0; n < kSlotCount; ++n) {
        const SlotStatus status = StatusOf(data, n);
        if (status == SlotStatus::Saved) {
            return FormatFound{StreamLayout{0, std::nullopt, "battery save", {}},
                               std::make_shared<const BatterySlots>()};
        }
        if (status != SlotStatus::NeverSaved) {
            marked += (marked.empty() ? "" : "; ") + SlotTitle(n) + " is " + Words(status);
        }
    }
    if (marked.empty()) {
        return Outcome<FormatFound>::Refused(
            "it holds no saved game: the game shows three empty slots");
    }
    return Outcome<FormatFound>::Refused("it is a battery save that holds no saved game (" +
                                         marked + ")");
}

}  // namespace orvane
