// SPDX-License-Identifier: GPL-3.0-or-later
// Load, an edit and Save of compressed states beside their floor: zlib's (or the RLE's) own
// decoding and coding of the same data, in the same container, plus the same write, flushes and
// rename.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bsnes_rle.h"
#include "decoded_state.h"
#include "state_document.h"

namespace fs = std::filesystem;
using namespace orvane;

namespace {

// The real states: snes9x's (gzip, a 1557631-byte stream), RetroArch's snes9x core (RZIP, in
// chunks of 128 KiB, an 823432-byte stream), Mesen2's (a zlib body of 324245 bytes after its
// header and picture) and bsnes's .bsz (a ZIP of two stored quick states, each a 290423-byte
// image in bsnes's run-length coding).
const char* const kStates[] = {"snes9x-1.63.000", "retroarch-1.14-snes9x-1.63-rzip.state",
                               "mesen2-2.1.1.mss", "bsnes-115.bsz"};
enum StateIndex { kGzip, kRzip, kMesen2, kBsz };

const fs::path& Dir() {
    static const fs::path dir = [] {
        std::string pattern = (fs::temp_directory_path() / "bench-formats-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return fs::path(pattern);
    }();
    return dir;
}

fs::path Copy(const benchmark::State& state) {
    const char* name = kStates[state.range(0)];
    const fs::path path = Dir() / name;
    fs::copy_file(fs::path(ORVANE_TEST_DATA) / name, path, fs::copy_options::overwrite_existing);
    return path;
}

Bytes ReadAll(const fs::path& path) {
    Bytes bytes(fs::file_size(path));
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (::read(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::abort();
    }
    ::close(fd);
    return bytes;
}

// What any program pays to put new content in place safely.
void WriteFlushRename(const fs::path& path, const Bytes& bytes) {
    const fs::path temp = path.string() + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::fsync(fd);
    ::close(fd);
    ::rename(temp.c_str(), path.c_str());
    const int dir = ::open(Dir().c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(dir);
    ::close(dir);
}

// One zlib stream of `in` into `out`; windowBits 31 is gzip with its header and CRC-32, 15 a
// zlib stream as RZIP's chunks hold.
void Inflate(const Bytes& in, Bytes& out, int windowBits) {
    z_stream z{};
    inflateInit2(&z, windowBits);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    inflate(&z, Z_FINISH);
    inflateEnd(&z);
}

void Deflate(const std::uint8_t* in, std::size_t size, Bytes& out, int windowBits, int level = 6) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    const std::size_t start = out.size();
    out.resize(start + deflateBound(&z, static_cast<uLong>(size)));
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data() + start;
    z.avail_out = static_cast<uInt>(out.size() - start);
    deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
}

std::uint32_t Little32(const Bytes& bytes, std::size_t at) {
    return *Load32(bytes, at);
}

// Mesen2: the header, picture and name kept, the body inflated and deflated at level 1, the
// emulator's own, behind its two sizes.
Bytes Mesen2Floor(const Bytes& file) {
    std::size_t at = 3 + 12 + 16;      // "MSS", version, format, console; picture
    at += 4 + Little32(file, at);      // the picture's zlib stream
    at += 4 + Little32(file, at) + 1;  // the game's name, the compressed flag
    Bytes body(Little32(file, at));
    const Bytes packed(file.begin() + std::ptrdiff_t(at + 8), file.end());
    Inflate(packed, body, 15);
    Bytes out(file.begin(), file.begin() + std::ptrdiff_t(at + 8));
    Deflate(body.data(), body.size(), out, 15, 1);
    const auto packedSize = static_cast<std::uint32_t>(out.size() - at - 8);
    std::memcpy(out.data() + at + 4, &packedSize, 4);
    return out;
}

// bsnes's .bsz: the first entry's image out of its run-length coding and into it again, the
// entry's CRC-32, the rest of the archive as it was.
Bytes BszFloor(const Bytes& file) {
    const std::size_t data = 30 + *LoadLittle(file, 26, 2) + *LoadLittle(file, 28, 2);
    const std::size_t stored = Little32(file, 18);
    const std::size_t image = Little32(file, data + 4);
    const auto decoded = DecodeBsnesRle(ByteSpan(file).subspan(data + 12, image));
    Bytes coded;
    EncodeBsnesRle(decoded->head, coded);
    Bytes out(file.begin(), file.begin() + std::ptrdiff_t(data + 12));
    out.insert(out.end(), coded.begin(), coded.end());
    out.insert(out.end(), file.begin() + std::ptrdiff_t(data + 12 + image), file.end());
    const auto crc = static_cast<std::uint32_t>(crc32_z(0, out.data() + data, stored));
    std::memcpy(out.data() + 14, &crc, 4);
    return out;
}

// RZIP: 20 bytes of header, then each chunk's length and zlib stream.
Bytes RzipFloor(const Bytes& file, std::size_t size) {
    Bytes stream(size);
    std::size_t at = 20;
    for (std::size_t done = 0; done < size; done += 131072) {
        const std::size_t length = *Load32(file, at);
        const Bytes chunk(file.begin() + at + 4, file.begin() + at + 4 + length);
        Bytes piece(std::min<std::size_t>(131072, size - done));
        Inflate(chunk, piece, 15);
        std::copy(piece.begin(), piece.end(), stream.begin() + done);
        at += 4 + length;
    }
    Bytes out(file.begin(), file.begin() + 20);
    for (std::size_t done = 0; done < size; done += 131072) {
        const std::size_t lengthAt = out.size();
        out.resize(lengthAt + 4);
        Deflate(stream.data() + done, std::min<std::size_t>(131072, size - done), out, 15);
        const auto length = static_cast<std::uint32_t>(out.size() - lengthAt - 4);
        std::memcpy(out.data() + lengthAt, &length, 4);  // little-endian, as RZIP's
    }
    return out;
}

// The floor: the file read, its compressed part decoded and coded again by zlib (or the RLE)
// alone, as its container holds it, written.
void FloorZlib(benchmark::State& state) {
    const fs::path path = Copy(state);
    const auto decoded = DecodedState::Decode(ReadAll(path));
    const std::size_t size = decoded->Stream().size();
    for (auto _ : state) {
        const Bytes file = ReadAll(path);
        Bytes out;
        switch (state.range(0)) {
            case kGzip: {
                Bytes stream(size);
                Inflate(file, stream, 31);
                Deflate(stream.data(), stream.size(), out, 31);
                break;
            }
            case kRzip:
                out = RzipFloor(file, size);
                break;
            case kMesen2:
                out = Mesen2Floor(file);
                break;
            default:
                out = BszFloor(file);
                break;
        }
        WriteFlushRename(path, out);
    }
}

// Load, one field changed, Save: the work a user's edit costs.
void DocumentLoadEditSave(benchmark::State& state) {
    const fs::path path = Copy(state);
    StateDocument doc;
    std::uint32_t gold = 1;
    for (auto _ : state) {
        if (!doc.Load(path)) {
            state.SkipWithError("load failed");
        }
        doc.SetGeneral(kGeneralGold, gold++);
        if (!doc.Save()) {
            state.SkipWithError("save failed");
        }
    }
}

}  // namespace

// Real time: a flush waits for the disk, not the processor.
BENCHMARK(FloorZlib)->ArgName("state")->DenseRange(kGzip, kBsz)->UseRealTime();
BENCHMARK(DocumentLoadEditSave)->ArgName("state")->DenseRange(kGzip, kBsz)->UseRealTime();

BENCHMARK_MAIN();
