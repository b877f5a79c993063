// SPDX-License-Identifier: GPL-3.0-or-later
#include "state_files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

StateFiles::StateFiles() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tellim-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_dir = pattern;
}

StateFiles::~StateFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

std::filesystem::path StateFiles::Write(const std::string& name, const Bytes& bytes) const {
    const std::filesystem::path path = m_dir / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
    return path;
}

Bytes FillerState(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 37 + i / 251 + 11) & 0xFF);
    }
    return bytes;
}

const std::string kOldHeader("ZSNES Save State File V0.6\x1A\x3C", 28);
const std::string kNewHeader("ZSNES Save State File V143\x1A\x8F", 28);

Bytes StateWithHeader(std::size_t size, const std::string& header, std::size_t at) {
    Bytes bytes = FillerState(size);
    for (std::size_t i = 0; i < header.size() && at + i < size; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(header[i]);
    }
    return bytes;
}

void SetBytes(Bytes& bytes, std::int64_t offset, std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t value : values) {
        bytes.at(static_cast<std::size_t>(offset++)) = value;
    }
}

Bytes ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::int64_t> ChangedOffsets(const Bytes& before, const Bytes& after) {
    std::vector<std::int64_t> changed;
    const std::size_t longest = std::max(before.size(), after.size());
    for (std::size_t i = 0; i < longest; ++i) {
        if (i >= before.size() || i >= after.size() || before[i] != after[i]) {
            changed.push_back(static_cast<std::int64_t>(i));
        }
    }
    return changed;
}

void MakeReadOnly(const std::filesystem::path& path) {
    using std::filesystem::perms;
    std::filesystem::permissions(path,
                                 perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
}
