// SPDX-License-Identifier: GPL-3.0-or-later
// Save-state files of chosen bytes for tellim's tests, kept in a private temporary folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class StateFiles {
public:
    StateFiles();
    ~StateFiles();
    StateFiles(const StateFiles&) = delete;
    StateFiles& operator=(const StateFiles&) = delete;

    std::filesystem::path Write(const std::string& name, const Bytes& bytes) const;
    std::filesystem::path PathOf(const std::string& name) const { return m_dir / name; }

private:
    std::filesystem::path m_dir;
};

// Every byte set from a pattern that matches no structure, so a stray read or write shows.
Bytes FillerState(std::size_t size);

// The first bytes the emulator writes: "ZSNES Save State File V0.6" 1A 3C before 1.50,
// "ZSNES Save State File V143" 1A 8F from 1.50 on.
extern const std::string kOldHeader;
extern const std::string kNewHeader;

// A filler state of size bytes with header written at offset at.
Bytes StateWithHeader(std::size_t size, const std::string& header, std::size_t at = 0);

void SetBytes(Bytes& bytes, std::int64_t offset, std::initializer_list<std::uint8_t> values);
Bytes ReadAll(const std::filesystem::path& path);

// Offsets where the two differ, including every offset only one of them has.
std::vector<std::int64_t> ChangedOffsets(const Bytes& before, const Bytes& after);

// Clears every write permission bit.
void MakeReadOnly(const std::filesystem::path& path);
