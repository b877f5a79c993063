#pragma once
// Fixtures made by code: images of chosen or random bytes written into a scratch directory.

#include <cstdint>
#include <filesystem>
#include <random>
#include <vector>

namespace testfiles {

using Bytes = std::vector<std::uint8_t>;

// A fresh directory under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return m_path / name;
    }
    // Names of the entries in the directory, to spot temporary files left behind.
    std::vector<std::string> Entries() const;

private:
    std::filesystem::path m_path;
};

Bytes RandomBytes(std::size_t size, std::uint32_t stream);
Bytes RandomImage(std::uint32_t stream);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadBytes(const std::filesystem::path& path);

}  // namespace testfiles
