// SPDX-License-Identifier: GPL-3.0-or-later
#include "zsnes_state.h"

#include <algorithm>
#include <string>

namespace orvane {

namespace {

bool Matches(ByteSpan head, const StateHeader& header) {
    return head.size() >= kHeaderSize && StartsWith(head, header.text) &&
           head[header.text.size()] == header.tail[0] &&
           head[header.text.size() + 1] == header.tail[1];
}

// The printable text after the prefix, up to the first byte that cannot belong to a version.
std::string_view VersionAfterPrefix(ByteSpan head) {
    const auto* start = reinterpret_cast<const char*>(head.data()) + kHeaderPrefix.size();
    const std::size_t room = std::min(head.size(), kHeaderSize) - kHeaderPrefix.size();
    std::size_t length = 0;
    while (length < room && start[length] > ' ' && start[length] < 0x7F) {
        ++length;
    }
    return {start, length};
}

// "it is 282490 bytes long with the header of ...": what the file's size and start say.
std::string WhatWasFound(const Recognition& found, std::size_t size) {
    const std::string length = "it is " + std::to_string(size) + " bytes long";
    switch (found.headerKind) {
        case HeaderKind::Known: {
            const std::string text =
                length + " with the header of a state of " + std::string(found.header->writtenBy);
            const bool shorter =
                std::all_of(kFileLayouts.begin(), kFileLayouts.end(), [&](const FileLayout& l) {
                    return &kStateHeaders[l.header] != found.header || l.size > size;
                });
            return shorter ? text + ", so it may have been cut short" : text;
        }
        case HeaderKind::Unknown:
            return length +
                   " with the header of an emulator version that this program does not know (\"" +
                   std::string(found.version) + "\")";
        case HeaderKind::None:
            break;
    }
    return length + " and does not start with the header of a save state";
}

}  // namespace

Recognition RecognizeState(ByteSpan head, std::uintmax_t size) {
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

Outcome<StreamLayout> ParseZsnesState(ByteSpan file) {
    const Recognition found = RecognizeState(file, file.size());
    if (found.layout == nullptr) {
        return Outcome<StreamLayout>::Refused(WhatWasFound(found, file.size()));
    }
    return StreamLayout{found.layout->workRamStart,
                        found.layout->batteryRamStart,
                        std::string(found.layout->writtenBy),
                        {}};
}

}  // namespace orvane
