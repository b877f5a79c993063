// Load and Save of a state beside the floor: a plain read and write of the same bytes.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "state_document.h"

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

const fs::path& StateFile() {
    static const fs::path path = [] {
        const fs::path p = Dir() / "state.zst";
        StateDocument doc;
        doc.SetGeneral(kGeneralGold, 123456);
        if (!doc.SaveAs(p)) {
            std::abort();
        }
        return p;
    }();
    return path;
}

void PlainRead(std::vector<std::uint8_t>& buffer) {
    const int fd = ::open(StateFile().c_str(), O_RDONLY);
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
    std::vector<std::uint8_t> buffer(kImageSize);
    for (auto _ : state) {
        PlainRead(buffer);
    }
}

void FloorWrite(benchmark::State& state) {
    const std::vector<std::uint8_t> buffer(kImageSize, 0x42);
    for (auto _ : state) {
        PlainWrite(buffer, state.range(0) != 0);
    }
}

// The flush alone: what every safe save pays on this disk, whatever the program.
void FloorFsync(benchmark::State& state) {
    const std::vector<std::uint8_t> buffer(kImageSize, 0x42);
    const fs::path path = Dir() / "flushed.zst";
    for (auto _ : state) {
        state.PauseTiming();
        TimeFsyncAlone(state, WriteUnflushed(path, buffer));
        state.ResumeTiming();
    }
}

// The second flush of a safe save: the directory, after a rename into it.
void FloorDirectoryFsync(benchmark::State& state) {
    const std::vector<std::uint8_t> buffer(kImageSize, 0x42);
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
    std::vector<std::uint8_t> buffer(kImageSize);
    for (auto _ : state) {
        PlainRead(buffer);
        PlainWrite(buffer, true);
    }
}

void DocumentLoad(benchmark::State& state) {
    StateDocument doc;
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.Load(StateFile()));
    }
}

void DocumentSave(benchmark::State& state) {
    StateDocument doc;
    doc.Load(StateFile());
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.Save());
    }
}

void DocumentLoadSave(benchmark::State& state) {
    StateDocument doc;
    for (auto _ : state) {
        doc.Load(StateFile());
        benchmark::DoNotOptimize(doc.Save());
    }
}

}  // namespace

// Real time: a flush waits for the disk, not the processor.
BENCHMARK(FloorRead)->UseRealTime();
BENCHMARK(FloorWrite)->Arg(0)->Arg(1)->ArgName("fsync")->UseRealTime();
BENCHMARK(FloorFsync)->UseRealTime();
BENCHMARK(FloorDirectoryFsync)->UseRealTime();
BENCHMARK(FloorReadWrite)->UseRealTime();
BENCHMARK(DocumentLoad)->UseRealTime();
BENCHMARK(DocumentSave)->UseRealTime();
BENCHMARK(DocumentLoadSave)->UseRealTime();

BENCHMARK_MAIN();
