// SPDX-License-Identifier: GPL-3.0-or-later
#include "gzip.h"

#include <algorithm>

#include "zlib_codec.h"

namespace orvane {

namespace {

constexpr std::size_t kFixedHeader = 10;
constexpr std::size_t kTrailer = 8;  // CRC-32 and length, little-endian
constexpr std::uint8_t kText = 1, kHeaderCheck = 2, kExtra = 4, kName = 8, kComment = 16;

Outcome<GzipMember> Refuse(const std::string& why) {
    return Outcome<GzipMember>::Refused("it is a gzip-compressed file " + why);
}

// The length of the header with its optional fields, or nothing when they run past the end.
std::optional<std::size_t> HeaderLength(ByteSpan file, std::uint8_t flags) {
    std::size_t at = kFixedHeader;
    if (flags & kExtra) {
        const auto length = LoadLittle(file, at, 2);
        if (!length || !Fits(file, at + 2, *length)) {
            return std::nullopt;
        }
        at += 2 + *length;
    }
    for (std::uint8_t zeroTerminated : {kName, kComment}) {
        if (flags & zeroTerminated) {
            while (at < file.size() && file[at] != 0) {
                ++at;
            }
            if (at++ >= file.size()) {
                return std::nullopt;
            }
        }
    }
    if (flags & kHeaderCheck) {
        if (!Fits(file, at, 2)) {
            return std::nullopt;
        }
        at += 2;
    }
    return at;
}

}  // namespace

Outcome<GzipMember> DecodeGzip(ByteSpan file, std::size_t limit) {
    if (!IsGzip(file) || file.size() < kFixedHeader + kTrailer) {
        return Refuse("that ends early");
    }
    if (file[2] != 8) {
        return Refuse("whose compression method is not deflate");
    }
    const std::uint8_t flags = file[3];
    if (flags & ~(kText | kHeaderCheck | kExtra | kName | kComment)) {
        return Refuse("with header flags that gzip does not define");
    }
    const auto headerLength = HeaderLength(file, flags);
    if (!headerLength) {
        return Refuse("whose header is cut short");
    }
    if ((flags & kHeaderCheck) &&
        LoadLittle(file, *headerLength - 2, 2) != (Crc32(file.first(*headerLength - 2)) & 0xFFFF)) {
        return Refuse("whose header check is wrong");
    }

    GzipMember member;
    member.header.assign(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(*headerLength));
    const ByteSpan data = file.subspan(*headerLength);
    // The stored length is the size modulo 4 GiB: a guess at the room needed, never trusted
    // beyond what deflate can expand the data to (1032 to 1).
    const std::uint32_t storedLength = *Load32(file, file.size() - 4);
    const std::size_t room = std::min<std::size_t>(storedLength, 1032 * data.size());
    std::size_t consumed = 0;
    switch (InflateAll(data, ZlibWrapper::Raw, limit, room, member.stream, consumed)) {
        case InflateStatus::Ended:
            break;
        case InflateStatus::OutputFull:
            return Refuse(("that would decode to more than " + MebibytesText(limit)));
        case InflateStatus::InputEnded:
            return Refuse("whose compressed data ends early");
        case InflateStatus::Damaged:
            return Refuse("whose compressed data is damaged");
    }
    const std::size_t left = data.size() - consumed;
    if (left < kTrailer) {
        return Refuse("whose compressed data ends early");
    }
    if (left > kTrailer) {
        return Refuse("with data after the end of its compressed data");
    }
    if (*Load32(data, consumed) != Crc32(member.stream)) {
        return Refuse("whose data does not match its CRC-32");
    }
    if (storedLength != static_cast<std::uint32_t>(member.stream.size())) {
        return Refuse("whose length field does not match its data");
    }
    return member;
}

bool EncodeGzip(ByteSpan header, ByteSpan stream, Bytes& out) {
    out.assign(header.begin(), header.end());
    if (!DeflateAppend(stream, ZlibWrapper::Raw, kDefaultLevel, out)) {
        return false;
    }
    Store32(out, Crc32(stream));
    Store32(out, static_cast<std::uint32_t>(stream.size()));
    return true;
}

}  // namespace orvane
