// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_layouts.h"

namespace orvane {

namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view text) {
    return bytes.size() >= text.size() &&
           std::equal(text.begin(), text.end(), bytes.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

bool Matches(std::span<const std::uint8_t> head, const StateHeader& header) {
    return head.size() >= kHeaderSize && StartsWith(head, header.text) &&
           head[header.text.size()] == header.tail[0] &&
           head[header.text.size() + 1] == header.tail[1];
}

// The printable text after the prefix, up to the first byte that cannot belong to a version.
std::string_view VersionAfterPrefix(std::span<const std::uint8_t> head) {
    const auto* start = reinterpret_cast<const char*>(head.data()) + kHeaderPrefix.size();
    const std::size_t room = std::min(head.size(), kHeaderSize) - kHeaderPrefix.size();
    std::size_t length = 0;
    while (length < room && start[length] > ' ' && start[length] < 0x7F) {
        ++length;
    }
    return {start, length};
}

}  // namespace

Recognition RecognizeState(std::span<const std::uint8_t> head, std::uintmax_t size) {
    Recognition found;
    for (const StateHeader& header : kStateHeaders) {
        if (Matches(head, header)) {
            found.headerKind = HeaderKind::Known;
            found.header = &header;
        }
    }
    if (found.header == nullptr && StartsWith(head, kHeaderPrefix)) {
        found.headerKind = HeaderKind::Unknown;
        found.version = VersionAfterPrefix(head);
    }
    for (const FileLayout& layout : kFileLayouts) {
        if (layout.size != size) {
            continue;
        }
        if (layout.headerOptional || found.header == &kStateHeaders[layout.header]) {
            found.layout = &layout;
        }
    }
    return found;
}

}  // namespace orvane
