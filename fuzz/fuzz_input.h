// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Takes typed values off the front of a fuzzer's input; past its end every value is zero.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_pos >= m_size; }
    std::size_t Remaining() const { return m_size - m_pos; }

    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    std::uint32_t U32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | Byte();
        }
        return v;
    }

    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

    // The next `length` bytes, fewer where the input ends first.
    std::span<const std::uint8_t> Take(std::size_t length) {
        const std::size_t taken = length < Remaining() ? length : Remaining();
        const std::span<const std::uint8_t> out(m_data + m_pos, taken);
        m_pos += taken;
        return out;
    }

    // A short text whose length comes first.
    std::string Text(std::size_t maxLength) {
        const std::size_t length = Byte() % (maxLength + 1);
        std::string out;
        for (std::size_t i = 0; i < length && !Empty(); ++i) {
            out.push_back(static_cast<char>(Byte()));
        }
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
