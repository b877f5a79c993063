// SPDX-License-Identifier: GPL-3.0-or-later
#include "mesen_state.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "zlib_codec.h"

namespace orvane {

namespace {

// Which states each emulator loads: none of a newer version (major << 16 | minor << 8 | patch)
// than its own, and only the formats (the body's layouts) it knows.
struct Versions {
    std::uint32_t newest;
    std::uint32_t oldestFormat;
    std::uint32_t newestFormat;
};
constexpr Versions kMesenSVersions{0x000400, 6, 8};  // 0.4.0
constexpr Versions kMesen2Versions{0x020101, 3, 4};  // 2.1.1
constexpr std::uint32_t kSuperNintendo = 0;

// Mesen-S: "MSS", u32 version, u32 format, 40 hex digits of the game's SHA-1, u8, then the game's
// file name behind its u32 length.
constexpr std::size_t kMesenSName = 52;
// Mesen2: "MSS", u32 version, u32 format, u32 console; then the picture: u32 frame size, width,
// height, scale, and its zlib stream behind its u32 length.
constexpr std::size_t kMesen2FrameSize = 15;
constexpr std::size_t kMesen2PictureLength = 31;

// Mesen-S's body: each component's values behind a u32 length, and inside the memory manager
// (the second) and the cartridge (the sixth) each value again behind its own.
constexpr std::size_t kMemoryManager = 1;
constexpr std::size_t kWorkRamValue = 1;  // after the manager's registers
constexpr std::size_t kCartridge = 5;
constexpr std::size_t kBatteryRamValue = 0;

// Deflate makes at most 1032 bytes of one, so a size beyond that is refused before memory is
// taken for it.
constexpr std::size_t kMostInflated = 1032;

std::string VersionText(std::uint32_t version) {
    return std::to_string(version >> 16) + "." + std::to_string(version >> 8 & 0xFF) + "." +
           std::to_string(version & 0xFF);
}

// A body behind its u32 size: compressed, the u32 compressed size and a zlib stream follow; or
// the body itself.
struct BodyPlace {
    std::size_t sizesAt = 0;
    std::size_t size = 0;
    std::size_t dataAt = 0;
    std::size_t dataLength = 0;
    bool compressed = true;
};

// What a header says: where the body is, and the format in words.
struct Header {
    BodyPlace body;
    std::string detail;
};

// One of the two formats: its name, its header, where work RAM lies in its body, and whether its
// data keeps its length (a RetroArch core's, padded with zeros).
struct MesenKind {
    const char* writer;
    Outcome<Header> (*header)(ByteSpan data);
    Outcome<StreamLayout> (*layout)(ByteSpan body);
    bool keepsLength;
};

std::string StateOf(const char* writer) {
    return std::string("it is a ") + writer + " state ";
}

Outcome<BodyPlace> PlaceBody(ByteSpan data, std::size_t at, bool compressed, const char* writer) {
    const std::string state = StateOf(writer);
    BodyPlace place{at, 0, at + (compressed ? 8 : 4), 0, compressed};
    const auto size = Load32(data, at);
    const auto length = compressed ? Load32(data, at + 4) : size;
    if (!size || !length) {
        return Outcome<BodyPlace>::Refused(state + "that ends early");
    }
    if (*size > kDecodeLimit) {
        return Outcome<BodyPlace>::Refused(state + "whose body would decode to more than " +
                                           MebibytesText(kDecodeLimit));
    }
    if (!Fits(data, place.dataAt, *length)) {
        return Outcome<BodyPlace>::Refused(state + "whose body runs past its end");
    }
    if (compressed && *size / kMostInflated > *length) {
        return Outcome<BodyPlace>::Refused(state + "whose body cannot inflate to the " +
                                           std::to_string(*size) + " bytes it declares");
    }
    place.size = *size;
    place.dataLength = *length;
    return place;
}

// The body as stored, or inflated from a zlib stream that fills the place the header gives it, to
// the size the header declares.
Outcome<Bytes> ReadBody(ByteSpan data, const BodyPlace& place, const char* writer) {
    using Result = Outcome<Bytes>;
    const ByteSpan stored = data.subspan(place.dataAt, place.dataLength);
    if (!place.compressed) {
        return Bytes(stored.begin(), stored.end());
    }
    const std::string state = StateOf(writer);
    Bytes body(place.size);
    std::size_t produced = 0;
    std::size_t consumed = 0;
    switch (InflateInto(stored, ZlibWrapper::Zlib, body, produced, consumed)) {
        case InflateStatus::Ended:
            if (produced != body.size()) {
                return Result::Refused(state + "whose body inflates to " +
                                       std::to_string(produced) + " bytes, not the " +
                                       std::to_string(body.size()) + " it declares");
            }
            if (consumed != stored.size()) {
                return Result::Refused(state + "with data after its compressed body");
            }
            return body;
        case InflateStatus::OutputFull:
            return Result::Refused(state + "whose body inflates to more than the " +
                                   std::to_string(body.size()) + " bytes it declares");
        case InflateStatus::InputEnded:
            return Result::Refused(state + "whose compressed body ends early");
        case InflateStatus::Damaged:
            break;
    }
    return Result::Refused(state + "whose compressed body is damaged");
}

// The data up to the body as it was, then the body stored as it was: compressed at Mesen's
// level, with its sizes and zlib's check value, or as it is. Data that keeps its length is
// written into room for all of it at once.
Outcome<Bytes> WriteBody(ByteSpan data, const BodyPlace& place, ByteSpan body, bool keepsLength) {
    Bytes out;
    out.reserve(keepsLength ? data.size() : 0);
    out.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(place.sizesAt));
    Store32(out, static_cast<std::uint32_t>(body.size()));
    if (!place.compressed) {
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
    const std::size_t lengthAt = out.size();
    Store32(out, 0);
    if (!DeflateAppend(body, ZlibWrapper::Zlib, kMesenLevel, out)) {
        return Outcome<Bytes>::Refused("there was not enough memory to compress it");
    }
    const auto length = static_cast<std::uint32_t>(out.size() - lengthAt - 4);
    StoreLittle(out, lengthAt, length, 4);
    return out;
}

class MesenBody final : public BodyCoding {
public:
    explicit MesenBody(const MesenKind& kind) : m_kind(kind) {}

    std::vector<StoredState> States(ByteSpan) const override { return {}; }
    std::size_t FirstToOpen(ByteSpan) const override { return 0; }

    Outcome<Body> Open(ByteSpan stream, std::size_t state) const override {
        const auto header = m_kind.header(stream);
        if (!header || state != 0) {
            return Outcome<Body>::Refused(header ? OneState() : header.Refusal());
        }
        auto bytes = ReadBody(stream, header->body, m_kind.writer);
        if (!bytes) {
            return Outcome<Body>::Refused(bytes);
        }
        auto layout = m_kind.layout(*bytes);
        if (!layout) {
            return Outcome<Body>::Refused(layout);
        }
        layout->writer = m_kind.writer;
        layout->detail = header->detail;
        return Body{std::move(*bytes), std::move(*layout)};
    }

    Outcome<Bytes> Encode(ByteSpan stream, std::size_t state, ByteSpan body) const override {
        const auto header = m_kind.header(stream);
        if (!header || state != 0) {
            return Outcome<Bytes>::Refused(header ? OneState() : header.Refusal());
        }
        auto out = WriteBody(stream, header->body, body, m_kind.keepsLength);
        if (!out || !m_kind.keepsLength) {
            return out;
        }
        if (out->size() > stream.size()) {
            return Outcome<Bytes>::Refused("compressed again, the edited state takes " +
                                           std::to_string(out->size()) + " bytes, more than the " +
                                           std::to_string(stream.size()) +
                                           " that the core's data holds");
        }
        out->resize(stream.size(), 0);
        return out;
    }

    WholeFileOnly Replacing() const override { return WholeFileOnly::Compressed; }

private:
    std::string OneState() const { return StateOf(m_kind.writer) + "that holds one state only"; }

    const MesenKind& m_kind;
};

// The format of a state whose head, "MSS", u32 version, u32 format and what follows, is
// `headLength` bytes long, where the emulator loads it.
Outcome<std::uint32_t> Format(ByteSpan data, std::size_t headLength, const Versions& versions,
                              const char* writer) {
    using Result = Outcome<std::uint32_t>;
    if (!StartsWith(data, "MSS") || !Fits(data, 0, headLength)) {
        return Result::Refused(StateOf(writer) + "that ends early");
    }
    const std::uint32_t version = *Load32(data, 3);
    const std::uint32_t format = *Load32(data, 7);
    if (version > versions.newest) {
        return Result::Refused(StateOf(writer) + "of version " + VersionText(version) +
                               ", which this program does not know");
    }
    if (format < versions.oldestFormat || format > versions.newestFormat) {
        return Result::Refused(StateOf(writer) + "of format " + std::to_string(format) +
                               ", which this program does not know");
    }
    return format;
}

Outcome<Header> MesenSHeader(ByteSpan data) {
    using Result = Outcome<Header>;
    const std::string state = StateOf("Mesen-S");
    const std::size_t nameAt = kMesenSName + 4;
    const auto format = Format(data, nameAt, kMesenSVersions, "Mesen-S");
    if (!format) {
        return Result::Refused(format);
    }
    const std::size_t nameLength = *Load32(data, kMesenSName);
    if (!Fits(data, nameAt, nameLength)) {
        return Result::Refused(state + "that ends early");
    }
    const auto place = PlaceBody(data, nameAt + nameLength, true, "Mesen-S");
    if (!place) {
        return Result::Refused(place);
    }
    // RetroArch pads the core's data with zeros, which the body compressed again takes or leaves.
    const ByteSpan rest = data.subspan(place->dataAt + place->dataLength);
    if (std::any_of(rest.begin(), rest.end(), [](std::uint8_t byte) { return byte != 0; })) {
        return Result::Refused(state + "with data after its compressed body");
    }
    return Header{*place, "format " + std::to_string(*format)};
}

Outcome<Header> Mesen2Header(ByteSpan data) {
    using Result = Outcome<Header>;
    const std::string state = StateOf("Mesen2");
    const auto format = Format(data, kMesen2PictureLength + 4, kMesen2Versions, "Mesen2");
    if (!format) {
        return Result::Refused(format);
    }
    const std::uint32_t console = *Load32(data, 11);
    if (console != kSuperNintendo) {
        return Result::Refused(state + "of another console than the Super Nintendo (console " +
                               std::to_string(console) + ")");
    }
    const std::size_t nameAt = kMesen2PictureLength + 4 + *Load32(data, kMesen2PictureLength);
    const auto nameLength = Load32(data, nameAt);
    if (!nameLength || !Fits(data, nameAt + 4, *nameLength + std::size_t{1})) {
        return Result::Refused(state + "that ends early");
    }
    const std::size_t storedAt = nameAt + 4 + *nameLength;
    if (data[storedAt] > 1) {
        return Result::Refused(state +
                               "whose body is stored in a way this program does not know (" +
                               std::to_string(data[storedAt]) + ")");
    }
    const auto place = PlaceBody(data, storedAt + 1, data[storedAt] == 1, "Mesen2");
    if (!place) {
        return Result::Refused(place);
    }
    if (place->dataAt + place->dataLength != data.size()) {
        return Result::Refused(state + "with data after its body");
    }
    return Header{*place, "format " + std::to_string(*format)};
}

// The header's picture, which Mesen2 refuses to load unless it inflates to its frame size.
std::optional<std::string> PictureFault(ByteSpan data) {
    const std::size_t frameSize = *Load32(data, kMesen2FrameSize);
    const std::size_t length = *Load32(data, kMesen2PictureLength);
    if (frameSize > kDecodeLimit) {
        return "whose picture would decode to more than " + MebibytesText(kDecodeLimit);
    }
    std::size_t produced = 0;
    std::size_t consumed = 0;
    const InflateStatus status = InflateCounting(data.subspan(kMesen2PictureLength + 4, length),
                                                 ZlibWrapper::Zlib, frameSize, produced, consumed);
    if (status != InflateStatus::Ended || produced != frameSize) {
        return "whose picture is damaged";
    }
    return std::nullopt;
}

struct Piece {
    std::size_t at;
    std::size_t length;
};

// The values from `from` to `to`, each behind its u32 length; nothing unless they fill it.
std::optional<std::vector<Piece>> Pieces(ByteSpan body, std::size_t from, std::size_t to) {
    std::vector<Piece> pieces;
    for (std::size_t at = from; at < to;) {
        const auto length = Load32(body, at);
        if (!length || at + 4 > to || *length > to - at - 4) {
            return std::nullopt;
        }
        pieces.push_back({at + 4, *length});
        at += 4 + std::size_t{*length};
    }
    return pieces;
}

// The value at `index` of component `component`, where the components and its values fill them.
std::optional<Piece> Value(ByteSpan body, std::size_t component, std::size_t index) {
    const auto components = Pieces(body, 0, body.size());
    if (!components || components->size() <= component) {
        return std::nullopt;
    }
    const Piece& outer = (*components)[component];
    const auto values = Pieces(body, outer.at, outer.at + outer.length);
    if (!values || values->size() <= index) {
        return std::nullopt;
    }
    return (*values)[index];
}

Outcome<StreamLayout> MesenSLayout(ByteSpan body) {
    const auto workRam = Value(body, kMemoryManager, kWorkRamValue);
    if (!workRam || workRam->length != kWorkRamSize) {
        return Outcome<StreamLayout>::Refused(
            "it is a Mesen-S state whose body does not hold work RAM where Mesen-S keeps it");
    }
    StreamLayout layout{workRam->at, std::nullopt, {}, {}};
    const auto batteryRam = Value(body, kCartridge, kBatteryRamValue);
    if (batteryRam && batteryRam->length >= kBatteryRamSize) {
        layout.batteryRam = batteryRam->at;
    }
    return layout;
}

// Mesen2's records: a key, NUL, the value's u32 length and the value.
Outcome<StreamLayout> Mesen2Layout(ByteSpan body) {
    using Result = Outcome<StreamLayout>;
    const std::string state = StateOf("Mesen2");
    std::optional<std::size_t> workRam;
    StreamLayout layout;
    for (std::size_t at = 0; at < body.size();) {
        const auto* start = reinterpret_cast<const char*>(body.data() + at);
        const auto* end = static_cast<const char*>(std::memchr(start, 0, body.size() - at));
        const std::size_t valueAt =
            end == nullptr ? body.size() : at + static_cast<std::size_t>(end - start) + 5;
        const auto length = Load32(body, valueAt - 4);
        if (end == nullptr || !length || !Fits(body, valueAt, *length)) {
            return Result::Refused(state + "whose records run past the end of its body");
        }
        const std::string_view key(start, static_cast<std::size_t>(end - start));
        if (key == "memoryManager.workRam") {
            if (workRam) {
                return Result::Refused(state + "with work RAM more than once");
            }
            if (*length != kWorkRamSize) {
                return Result::Refused(state + "whose work RAM is " + std::to_string(*length) +
                                       " bytes long");
            }
            workRam = valueAt;
        } else if (key == "cart.saveRam" && *length >= kBatteryRamSize) {
            layout.batteryRam = valueAt;
        }
        at = valueAt + *length;
    }
    if (!workRam) {
        return Result::Refused(state + "without work RAM (a memoryManager.workRam record)");
    }
    layout.workRam = *workRam;
    return layout;
}

constexpr MesenKind kMesenS{"Mesen-S", MesenSHeader, MesenSLayout, true};
constexpr MesenKind kMesen2{"Mesen2", Mesen2Header, Mesen2Layout, false};

Outcome<FormatFound> Found(const MesenKind& kind, const Outcome<Header>& header) {
    if (!header) {
        return Outcome<FormatFound>::Refused(header);
    }
    return FormatFound{StreamLayout{0, std::nullopt, kind.writer, header->detail},
                       std::make_shared<const MesenBody>(kind)};
}

bool IsMss(ByteSpan data, bool mesen2) {
    const auto version = Load32(data, 3);
    return StartsWith(data, "MSS") && (version && *version >> 16 >= 2) == mesen2;
}

}  // namespace

bool IsMesenSState(ByteSpan data) {
    return IsMss(data, false);
}

bool IsMesen2State(ByteSpan data) {
    return IsMss(data, true);
}

Outcome<FormatFound> ReadMesenSState(ByteSpan data) {
    return Found(kMesenS, MesenSHeader(data));
}

Outcome<FormatFound> ReadMesen2State(ByteSpan data) {
    const auto header = Mesen2Header(data);
    if (header) {
        if (const auto fault = PictureFault(data)) {
            return Outcome<FormatFound>::Refused(StateOf("Mesen2") + *fault);
        }
    }
    return Found(kMesen2, header);
}

}  // namespace orvane
