// SPDX-License-Identifier: GPL-3.0-or-later
// RetroArch's RZIP files, and anything else: a file taken decodes to the size its header gives
// and no more than the limit, in chunks that follow one another to the file's end; encoded again
// with its chunks kept it is the same file, and with one byte changed only that byte's chunk
// changes; then the whole file as the programs open it.

#include "fuzz_states.h"
#include "rzip.h"

using namespace orvane;
using namespace fuzzstates;

namespace {

ByteSpan ChunkBytes(ByteSpan file, const RzipChunk& chunk) {
    return file.subspan(chunk.at, chunk.length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan file(data, size);
    const auto rzip = DecodeRzip(file, kFuzzLimit);
    if (!rzip) {
        CheckRefusal(rzip);
        return 0;
    }
    const Bytes& stream = rzip->stream;
    Check(size >= 20 && HasAt(file, 0, "#RZIPv\x01#", 8));
    Check(rzip->chunkSize == Little(file, 8, 4) && rzip->chunkSize != 0);
    Check(stream.size() == Little(file, 12, 8) && stream.size() <= kFuzzLimit);
    Check(rzip->chunks.size() == (stream.size() + rzip->chunkSize - 1) / rzip->chunkSize);
    std::size_t at = 20;
    for (const RzipChunk& chunk : rzip->chunks) {
        Check(chunk.at == at + 4 && Little(file, at, 4) == chunk.length);
        at = chunk.at + chunk.length;
    }
    Check(at == size);

    const RzipOriginal original{file, stream, rzip->chunks};
    Bytes same;
    Check(EncodeRzip(rzip->chunkSize, stream, same, &original) && Same(same, file));

    if (!stream.empty()) {
        Bytes edited = stream;
        const std::size_t changed = size % edited.size();
        edited[changed] ^= 0xA5;
        Bytes out;
        Check(EncodeRzip(rzip->chunkSize, edited, out, &original));
        const auto back = DecodeRzip(out, kFuzzLimit);
        Check(back && back->chunkSize == rzip->chunkSize && Same(back->stream, edited) &&
              back->chunks.size() == rzip->chunks.size());
        const std::size_t changedChunk = changed / rzip->chunkSize;
        for (std::size_t i = 0; i < back->chunks.size(); ++i) {
            Check(i == changedChunk ||
                  Same(ChunkBytes(out, back->chunks[i]), ChunkBytes(file, rzip->chunks[i])));
        }
    }

    CheckWholeState(file, size);
    return 0;
}
