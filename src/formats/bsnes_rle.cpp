// SPDX-License-Identifier: GPL-3.0-or-later
#include "bsnes_rle.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace orvane {

namespace {

constexpr std::size_t kShortestRun = 4;
constexpr std::size_t kLongestRun = 127 + kShortestRun;
constexpr std::size_t kLongestLiteral = 128;
constexpr std::size_t kWord = sizeof(std::uint64_t);

void AppendLiterals(ByteSpan literals, Bytes& out) {
    for (std::size_t at = 0; at < literals.size(); at += kLongestLiteral) {
        const std::size_t count = std::min(kLongestLiteral, literals.size() - at);
        out.push_back(static_cast<std::uint8_t>(count - 1));
        out.insert(out.end(), literals.begin() + static_cast<std::ptrdiff_t>(at),
                   literals.begin() + static_cast<std::ptrdiff_t>(at + count));
    }
}

// Hands each run to run(done, count, input), input being the run's one repeated byte or its
// literals, until run returns false; the declared length once every run walked is checked
// against it and against what is there.
template <typename Run>
Outcome<std::size_t> WalkRuns(ByteSpan coded, std::size_t limit, Run run) {
    using Result = Outcome<std::size_t>;
    const auto declared = LoadLittle(coded, 0, 8);
    if (!declared) {
        return Result::Refused("it is coded without the length it decodes to");
    }
    if (*declared > limit) {
        return Result::Refused("it is coded to " + std::to_string(*declared) +
                               " bytes, more than " + MebibytesText(limit));
    }
    const auto size = static_cast<std::size_t>(*declared);
    std::size_t at = 8;
    std::size_t done = 0;
    while (done < size) {
        if (at >= coded.size()) {
            return Result::Refused("it is coded with runs that end before its declared length");
        }
        const std::uint8_t control = coded[at++];
        const bool repeats = control >= 128;
        const std::size_t count = repeats ? (control & 127u) + kShortestRun : control + 1u;
        const std::size_t input = repeats ? 1 : count;
        if (count > size - done) {
            return Result::Refused("it is coded with a run that passes its declared length");
        }
        if (input > coded.size() - at) {
            return Result::Refused("it is coded with runs that end before its declared length");
        }
        if (!run(done, count, coded.subspan(at, input))) {
            break;
        }
        at += input;
        done += count;
    }
    return size;
}

std::uint64_t Repeated(std::uint8_t byte) {
    return byte * std::uint64_t{0x0101010101010101};
}

}  // namespace

Outcome<BsnesRleDecoded> DecodeBsnesRle(ByteSpan coded, std::size_t keep, std::size_t limit) {
    BsnesRleDecoded decoded;
    const auto declared = LoadLittle(coded, 0, 8);
    const auto kept =
        static_cast<std::size_t>(declared ? std::min<std::uint64_t>({keep, *declared, limit}) : 0);
    // Room for a run's last word to pass the end: runs are written a word at a time.
    decoded.head.resize(kept + kWord);
    std::uint8_t* const head = decoded.head.data();
    const auto size =
        WalkRuns(coded, limit, [&](std::size_t done, std::size_t count, ByteSpan input) {
            if (done < kept) {
                const std::size_t written = std::min(count, kept - done);
                if (count > input.size()) {
                    const std::uint64_t word = Repeated(input[0]);
                    for (std::size_t i = 0; i < written; i += kWord) {
                        std::memcpy(head + done + i, &word, kWord);
                    }
                } else {
                    std::memcpy(head + done, input.data(), written);
                }
            }
            return true;
        });
    if (!size) {
        return Outcome<BsnesRleDecoded>::Refused(size);
    }
    decoded.size = *size;
    decoded.head.resize(kept);
    return decoded;
}

bool BsnesRleGives(ByteSpan coded, ByteSpan data) {
    if (LoadLittle(coded, 0, 8) != data.size()) {
        return false;
    }
    bool same = true;
    const auto size =
        WalkRuns(coded, data.size(), [&](std::size_t done, std::size_t count, ByteSpan input) {
            const std::uint8_t* here = data.data() + done;
            if (count > input.size()) {
                std::size_t i = 0;
                const std::uint64_t word = Repeated(input[0]);
                for (; i + kWord <= count; i += kWord) {
                    std::uint64_t bytes;
                    std::memcpy(&bytes, here + i, kWord);
                    same = same && bytes == word;
                }
                for (; i < count; ++i) {
                    same = same && here[i] == input[0];
                }
            } else {
                same = std::memcmp(here, input.data(), count) == 0;
            }
            return same;
        });
    return size && same;
}

void EncodeBsnesRle(ByteSpan data, Bytes& out) {
    // A state codes to about a seventh of its size; a little more room spares most regrowth.
    out.reserve(out.size() + 8 + data.size() / 4);
    AppendLittle(out, data.size(), 8);
    std::size_t literals = 0;
    std::size_t at = 0;
    while (at < data.size()) {
        const std::size_t most = std::min(kLongestRun, data.size() - at);
        const std::uint64_t word = Repeated(data[at]);
        std::size_t run = 1;
        for (std::uint64_t bytes = 0; run + kWord <= most; run += kWord) {
            std::memcpy(&bytes, data.data() + at + run, kWord);
            if (bytes != word) {
                break;
            }
        }
        while (run < most && data[at + run] == data[at]) {
            ++run;
        }
        if (run < kShortestRun) {
            ++at;
            continue;
        }
        AppendLiterals(data.subspan(literals, at - literals), out);
        out.push_back(static_cast<std::uint8_t>(0x80 | (run - kShortestRun)));
        out.push_back(data[at]);
        at += run;
        literals = at;
    }
    AppendLiterals(data.subspan(literals), out);
}

}  // namespace orvane
