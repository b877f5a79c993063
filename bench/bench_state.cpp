// SPDX-License-Identifier: GPL-3.0-or-later
// Load and Save of a state beside the floor: a plain read and write of the same bytes, for the
// oldest layout and the one most users have.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "state_document.h"
#include "zsnes_state.h"

namespace fs = std::filesystem;
using namespace orvane;

namespace {

const fs::path& Dir() {
    static const fs::path dir = [] {
        std::string pattern = (fs::temp_directory_path() / "bench-state-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return fs::path(pattern);
    }();
    return dir;
}

// A state of the layout of that size, with its header, written once.
fs::path StateFile(std::size_t size) {
    const fs::path path = Dir() / ("state-" + std::to_string(size) + ".zst");
    if (fs::exists(path)) {
        return path;
    }
    for (const FileLayout& layout : kFileLayouts) {
        if (layout.size == size) {
            std::vector<char> bytes(size, 0x42);
            const StateHeader& header = kStateHeaders[layout.header];
            std::copy(header.text.begin(), header.text.end(), bytes.begin());
            std::copy(std::begin(header.tail), std::end(header.tail),
                      bytes.begin() + static_cast<std::ptrdiff_t>(header.text.size()));
            std::ofstream(path, std::ios::binary)
                .write(bytes.data(), static_cast<std::streamsize>(size));
            return path;
        }
    }
    std::abort();
}

std::size_t Size(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

void PlainRead(std::vector<std::uint8_t>& buffer) {
    const int fd = ::open(StateFile(buffer.size()).c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
    ::close(fd);
}

int WriteUnflushed(const fs::path& path, const std::vector<std::uint8_t>& buffer) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, buffer.data(), buffer.size()));
    return fd;
}

void PlainWrite(const std::vector<std::uint8_t>& buffer, bool sync) {
    const int fd = WriteUnflushed(Dir() / "plain.zst", buffer);
    if (sync) {
        ::fsync(fd);
    }
    ::close(fd);
}

// Entered and left with the timing paused: only the flush counts.
void TimeFsyncAlone(benchmark::State& state, int fd) {
    state.ResumeTiming();
    ::fsync(fd);
    state.PauseTiming();
    ::close(fd);
}

void FloorRead(benchmark::State& state) {
    std::vector<std::uint8_t> buffer(Size(state));
    for (auto _ : state) {
        PlainRead(buffer);
    }
}

void FloorWrite(benchmark::State& state) {
    const std::vector<std::uint8_t> buffer(Size(state), 0x42);
    for (auto _ : state) {
        PlainWrite(buffer, state.range(1) != 0);
    }
}

// The flush alone: what every safe save pays on this disk, whatever the program.
void FloorFsync(benchmark::State& state) {
    const std::vector<std::uint8_t> buffer(Size(state), 0x42);
    const fs::path path = Dir() / "flushed.zst";
    for (auto _ : state) {
        state.PauseTiming();
        TimeFsyncAlone(state, WriteUnflushed(path, buffer));
        state.ResumeTiming();
    }
}

// The second flush of a safe save: the directory, after a rename into it.
void FloorDirectoryFsync(benchmark::State& state) {
    const std::vector<std::uint8_t> buffer(Size(state), 0x42);
    const fs::path temp = Dir() / "renamed.tmp";
    const fs::path path = Dir() / "renamed.zst";
    for (auto _ : state) {
        state.PauseTiming();
        const int fd = WriteUnflushed(temp, buffer);
        ::fsync(fd);
        ::close(fd);
        ::rename(temp.c_str(), path.c_str());
        TimeFsyncAlone(state, ::open(Dir().c_str(), O_RDONLY | O_DIRECTORY));
        state.ResumeTiming();
    }
}

void FloorReadWrite(benchmark::State& state) {
    std::vector<std::uint8_t> buffer(Size(state));
    for (auto _ : state) {
        PlainRead(buffer);
        PlainWrite(buffer, true);
    }
}

void DocumentLoad(benchmark::State& state) {
    StateDocument doc;
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.Load(StateFile(Size(state))));
    }
}

void DocumentSave(benchmark::State& state) {
    StateDocument doc;
    doc.Load(StateFile(Size(state)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.Save());
    }
}

void DocumentLoadSave(benchmark::State& state) {
    StateDocument doc;
    for (auto _ : state) {
        doc.Load(StateFile(Size(state)));
        benchmark::DoNotOptimize(doc.Save());
    }
}

}  // namespace

// Real time: a flush waits for the disk, not the processor.
#define STATE_BENCHMARK(name) \
    BENCHMARK(name)->ArgName("bytes")->Arg(274047)->Arg(282459)->UseRealTime()
STATE_BENCHMARK(FloorRead);
BENCHMARK(FloorWrite)
    ->ArgNames({"bytes", "fsync"})
    ->ArgsProduct({{274047, 282459}, {0, 1}})
    ->UseRealTime();
STATE_BENCHMARK(FloorFsync);
STATE_BENCHMARK(FloorDirectoryFsync);
STATE_BENCHMARK(FloorReadWrite);
STATE_BENCHMARK(DocumentLoad);
STATE_BENCHMARK(DocumentSave);
STATE_BENCHMARK(DocumentLoadSave);

BENCHMARK_MAIN();
