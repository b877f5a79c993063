// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The save-state file held in memory byte for byte, as long as the file it came from: an offset
// in the image is the file offset. The bytes live inside the object, so loading never allocates.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "file_layouts.h"

namespace orvane {

class SaveStateImage {
public:
    using Storage = std::array<std::uint8_t, kLargestStateSize>;

    // All zero, as long as the first layout's files.
    SaveStateImage() = default;

    std::size_t size() const { return m_size; }
    const std::uint8_t* data() const { return m_bytes.data(); }
    std::uint8_t* data() { return m_bytes.data(); }
    const std::uint8_t* begin() const { return data(); }
    const std::uint8_t* end() const { return data() + m_size; }
    std::span<const std::uint8_t> Bytes() const { return {data(), m_size}; }

    std::uint8_t operator[](std::size_t pos) const { return m_bytes[pos]; }
    std::uint8_t& operator[](std::size_t pos) { return m_bytes[pos]; }
    std::uint8_t at(std::size_t pos) const { return m_bytes.at(Checked(pos)); }
    std::uint8_t& at(std::size_t pos) { return m_bytes.at(Checked(pos)); }

    // Becomes a copy of a whole file of at most kLargestStateSize bytes.
    void Assign(std::span<const std::uint8_t> file) {
        if (file.size() > m_bytes.size()) {
            throw std::length_error("save-state image");
        }
        std::copy(file.begin(), file.end(), m_bytes.begin());
        std::fill(m_bytes.begin() + static_cast<std::ptrdiff_t>(file.size()), m_bytes.end(), 0);
        m_size = file.size();
    }

private:
    std::size_t Checked(std::size_t pos) const {
        if (pos >= m_size) {
            throw std::out_of_range("save-state image");
        }
        return pos;
    }

    Storage m_bytes{};
    std::size_t m_size = kFileLayouts[0].size;
};

}  // namespace orvane
