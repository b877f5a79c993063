// SPDX-License-Identifier: GPL-3.0-or-later
// bsnes's run-length coding, and anything else: a coding taken decodes to its declared length
// and no more than the limit, of which a head decodes alike, and codes again to what decodes to
// the same bytes. Then the input itself coded: the coding is no longer than literals alone and
// gives the input back.

#include "bsnes_rle.h"
#include "fuzz_states.h"

using namespace orvane;
using namespace fuzzstates;

namespace {

// Every byte a literal, a count before each 128: the longest coding of n bytes.
std::size_t LongestCoding(std::size_t size) {
    return 8 + size + (size + 127) / 128;
}

void CheckCodes(ByteSpan data) {
    Bytes coding = {0xA5};
    EncodeBsnesRle(data, coding);
    Check(coding[0] == 0xA5 && coding.size() - 1 <= LongestCoding(data.size()));
    const ByteSpan coded = ByteSpan(coding).subspan(1);
    Check(Little(coded, 0, 8) == data.size());
    const auto back = DecodeBsnesRle(coded, SIZE_MAX, kFuzzLimit);
    Check(back && Same(back->head, data) && BsnesRleGives(coded, data));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan coded(data, size);
    const auto decoded = DecodeBsnesRle(coded, SIZE_MAX, kFuzzLimit);
    if (!decoded) {
        CheckRefusal(decoded);
        Check(!BsnesRleGives(coded, {}));
    } else {
        Check(size >= 8 && decoded->size == Little(coded, 0, 8) && decoded->size <= kFuzzLimit);
        Check(decoded->head.size() == decoded->size && BsnesRleGives(coded, decoded->head));
        const std::size_t keep = size % 300;
        const auto head = DecodeBsnesRle(coded, keep, kFuzzLimit);
        Check(head && head->size == decoded->size &&
              Same(head->head, ByteSpan(decoded->head).first(std::min(keep, decoded->size))));
        if (!decoded->head.empty()) {
            Bytes other = decoded->head;
            other[size % other.size()] ^= 0x5A;
            Check(!BsnesRleGives(coded, other));
        }
        CheckCodes(decoded->head);
    }
    CheckCodes(coded);
    return 0;
}
