// SPDX-License-Identifier: GPL-3.0-or-later
#include "state_files.h"

#include <cstdlib>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <string>

namespace testfiles {

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "state-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::vector<std::string> ScratchDir::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

Bytes RandomBytes(std::size_t size, std::uint32_t stream) {
    std::mt19937 rng(stream);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes bytes(size);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(byte(rng));
    }
    return bytes;
}

Bytes RandomImage(std::uint32_t stream, std::size_t size) {
    return RandomBytes(size, stream);
}

std::filesystem::path TestData(const std::string& name) {
    return std::filesystem::path(ORVANE_TEST_DATA) / name;
}

std::map<std::uint32_t, std::uint8_t> WorkRamMarkers() {
    std::ifstream in(TestData("markers.json"));
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t start = text.find("\"wram\"");
    const std::size_t end = text.find('}', start);
    if (start == std::string::npos || end == std::string::npos) {
        throw std::runtime_error("markers.json has no work-RAM markers");
    }
    std::map<std::uint32_t, std::uint8_t> markers;
    const std::regex entry(R"re("([0-9A-F]{6})": (\d+))re");
    const std::string wram = text.substr(start, end - start);
    for (auto it = std::sregex_iterator(wram.begin(), wram.end(), entry);
         it != std::sregex_iterator(); ++it) {
        markers[static_cast<std::uint32_t>(std::stoul((*it)[1], nullptr, 16))] =
            static_cast<std::uint8_t>(std::stoul((*it)[2]));
    }
    return markers;
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write fixture " + path.string());
    }
}

Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testfiles
