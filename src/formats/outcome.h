// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A value, or in words why a file gave none: the formats' answer to "what is this file?".

#include <optional>
#include <string>
#include <utility>

namespace orvane {

template <typename T>
class Outcome {
public:
    Outcome(T value) : m_value(std::move(value)) {}

    // Why is a clause about the file, as in "it is a snes9x state whose RAM block is 131071
    // bytes long".
    static Outcome Refused(std::string why) {
        Outcome outcome;
        outcome.m_refusal = std::move(why);
        return outcome;
    }
    // Passes another outcome's refusal on.
    template <typename U>
    static Outcome Refused(const Outcome<U>& other) {
        return Refused(other.Refusal());
    }

    explicit operator bool() const { return m_value.has_value(); }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    const std::string& Refusal() const { return m_refusal; }

private:
    Outcome() = default;

    std::optional<T> m_value;
    std::string m_refusal;
};

}  // namespace orvane
