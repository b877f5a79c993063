// SPDX-License-Identifier: GPL-3.0-or-later
// gzip members as snes9x and mednafen write them, and anything else: a member taken keeps its
// header as read, decodes to no more than the limit, and compressed again decodes to the same
// header and stream; then the whole file as the programs open it.

#include "fuzz_states.h"
#include "gzip.h"

using namespace orvane;
using namespace fuzzstates;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan file(data, size);
    const auto member = DecodeGzip(file, kFuzzLimit);
    if (!member) {
        CheckRefusal(member);
        return 0;
    }
    Check(member->stream.size() <= kFuzzLimit);
    Check(member->header.size() >= 10 && Same(member->header, file.first(member->header.size())));

    Bytes again;
    Check(EncodeGzip(member->header, member->stream, again));
    const auto back = DecodeGzip(again, kFuzzLimit);
    Check(back && Same(back->header, member->header) && Same(back->stream, member->stream));

    CheckWholeState(file, size);
    return 0;
}
