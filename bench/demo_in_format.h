// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The demo state's work RAM in the container of a real state of another emulator: a compressed
// state with believable values, which the pages show without a warning.

#include <filesystem>
#include <fstream>
#include <iterator>

#include "decoded_state.h"

namespace orvane::bench {

inline Bytes ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// False when either state cannot be read or the result cannot be written.
inline bool WriteDemoIn(const std::filesystem::path& demo, const std::filesystem::path& real,
                        const std::filesystem::path& out) {
    const auto from = DecodedState::Decode(ReadWhole(demo));
    auto into = DecodedState::Decode(ReadWhole(real));
    if (!from || !into) {
        return false;
    }
    std::copy(from->WorkRam().begin(), from->WorkRam().end(), into->WorkRam().begin());
    const auto file = into->Encode();
    if (!file) {
        return false;
    }
    std::ofstream(out, std::ios::binary)
        .write(reinterpret_cast<const char*>(file->data()),
               static_cast<std::streamsize>(file->size()));
    return std::filesystem::file_size(out) == file->size();
}

}  // namespace orvane::bench
