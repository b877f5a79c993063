// SPDX-License-Identifier: GPL-3.0-or-later
#include "rzip.h"

#include <algorithm>

#include "zlib_codec.h"

namespace orvane {

namespace {

constexpr std::size_t kHeaderSize = 20;  // signature, chunk size (u32), decoded size (u64)

Outcome<RzipFile> Refuse(const std::string& why) {
    return Outcome<RzipFile>::Refused("it is a RetroArch file " + why);
}

}  // namespace

Outcome<RzipFile> DecodeRzip(ByteSpan file, std::size_t limit) {
    if (!IsRzip(file) || file.size() < kHeaderSize) {
        return Refuse("whose header is cut short");
    }
    RzipFile decoded;
    decoded.chunkSize = *Load32(file, 8);
    const std::uint64_t size = *LoadLittle(file, 12, 8);
    if (decoded.chunkSize == 0) {
        return Refuse("whose chunk size is 0");
    }
    if (size > limit) {
        return Refuse("that would decode to more than " + MebibytesText(limit));
    }
    decoded.stream.resize(static_cast<std::size_t>(size));
    std::size_t at = kHeaderSize;
    for (std::size_t done = 0; done < decoded.stream.size();) {
        const auto length = Load32(file, at);
        if (!length || !Fits(file, at + 4, *length)) {
            return Refuse("whose compressed data ends early");
        }
        const RzipChunk chunk{at + 4, *length};
        const std::size_t room = std::min<std::size_t>(decoded.chunkSize, size - done);
        std::size_t produced = 0;
        std::size_t consumed = 0;
        switch (InflateInto(file.subspan(chunk.at, chunk.length), ZlibWrapper::Zlib,
                            std::span(decoded.stream).subspan(done, room), produced, consumed)) {
            case InflateStatus::Ended:
                break;
            case InflateStatus::OutputFull:
                return Refuse("whose chunks hold more than its header says");
            case InflateStatus::InputEnded:
                return Refuse("whose compressed data ends early");
            case InflateStatus::Damaged:
                return Refuse("whose compressed data is damaged");
        }
        if (consumed != chunk.length) {
            return Refuse("whose compressed data is damaged");
        }
        if (produced != room) {
            return Refuse("whose chunks hold less than its header says");
        }
        decoded.chunks.push_back(chunk);
        done += produced;
        at = chunk.at + chunk.length;
    }
    if (at != file.size()) {
        return Refuse("whose chunks hold more than its header says");
    }
    return decoded;
}

bool EncodeRzip(std::uint32_t chunkSize, ByteSpan stream, Bytes& out,
                const RzipOriginal* original) {
    if (chunkSize == 0) {
        return false;
    }
    const std::string_view signature("#RZIPv\x01#", 8);
    out.assign(signature.begin(), signature.end());
    Store32(out, chunkSize);
    Store32(out, static_cast<std::uint32_t>(stream.size()));
    Store32(out, static_cast<std::uint32_t>(static_cast<std::uint64_t>(stream.size()) >> 32));
    const bool comparable = original != nullptr && original->stream.size() == stream.size();
    std::size_t index = 0;
    for (std::size_t done = 0; done < stream.size(); done += chunkSize, ++index) {
        const ByteSpan piece =
            stream.subspan(done, std::min<std::size_t>(chunkSize, stream.size() - done));
        const std::size_t lengthAt = out.size();
        Store32(out, 0);
        if (comparable && index < original->chunks.size() &&
            std::equal(piece.begin(), piece.end(),
                       original->stream.begin() + static_cast<std::ptrdiff_t>(done))) {
            const RzipChunk& kept = original->chunks[index];
            const ByteSpan compressed = original->file.subspan(kept.at, kept.length);
            out.insert(out.end(), compressed.begin(), compressed.end());
        } else if (!DeflateAppend(piece, ZlibWrapper::Zlib, kDefaultLevel, out)) {
            return false;
        }
        const auto length = static_cast<std::uint32_t>(out.size() - lengthAt - 4);
        StoreLittle(out, lengthAt, length, 4);
    }
    return true;
}

}  // namespace orvane
