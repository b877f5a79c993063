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

void SetBytes(Bytes& bytes, std::int64_t offset, std::initializer_list<std::uint8_t> values);
Bytes ReadAll(const std::filesystem::path& path);

// Offsets where the two differ, including every offset only one of them has.
std::vector<std::int64_t> ChangedOffsets(const Bytes& before, const Bytes& after);

// Clears every write permission bit.
void MakeReadOnly(const std::filesystem::path& path);
