// SPDX-License-Identifier: GPL-3.0-or-later
// Load, an edit and Save of compressed states beside their floor: zlib's own inflate and deflate
// of the same stream, in the same container, plus the same write, flushes and rename.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "decoded_state.h"
#include "state_document.h"

namespace fs = std::filesystem;
using namespace orvane;

namespace {

// The real states: snes9x's (gzip, a 1557631-byte stream) and RetroArch's snes9x core (RZIP, in
// chunks of 128 KiB, an 823432-byte stream).
const char* const kStates[] = {"snes9x-1.63.000", "retroarch-1.14-snes9x-1.63-rzip.state"};

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

void Deflate(const std::uint8_t* in, std::size_t size, Bytes& out, int windowBits) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
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

// The floor: the file read, its whole stream inflated and deflated again by zlib alone, written.
void FloorZlib(benchmark::State& state) {
    const fs::path path = Copy(state);
    const auto decoded = DecodedState::Decode(ReadAll(path));
    const std::size_t size = decoded->Stream().size();
    const bool gzip = decoded->Writer() == Emulator::Snes9x;
    for (auto _ : state) {
        const Bytes file = ReadAll(path);
        Bytes stream(size);
        Bytes out;
        if (gzip) {
            Inflate(file, stream, 31);
            Deflate(stream.data(), stream.size(), out, 31);
        } else {
            // RZIP: 20 bytes of header, then each chunk's length and zlib stream.
            std::size_t at = 20;
            for (std::size_t done = 0; done < size; done += 131072) {
                const std::size_t length = *Load32(file, at);
                const Bytes chunk(file.begin() + at + 4, file.begin() + at + 4 + length);
                Bytes piece(std::min<std::size_t>(131072, size - done));
                Inflate(chunk, piece, 15);
                std::copy(piece.begin(), piece.end(), stream.begin() + done);
                at += 4 + length;
            }
            out.assign(file.begin(), file.begin() + 20);
            for (std::size_t done = 0; done < size; done += 131072) {
                const std::size_t lengthAt = out.size();
                out.resize(lengthAt + 4);
                Deflate(stream.data() + done, std::min<std::size_t>(131072, size - done), out, 15);
                const auto length = static_cast<std::uint32_t>(out.size() - lengthAt - 4);
                std::memcpy(out.data() + lengthAt, &length, 4);  // little-endian, as RZIP's
            }
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
BENCHMARK(FloorZlib)->ArgName("state")->Arg(0)->Arg(1)->UseRealTime();
BENCHMARK(DocumentLoadEditSave)->ArgName("state")->Arg(0)->Arg(1)->UseRealTime();

BENCHMARK_MAIN();
