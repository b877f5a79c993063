// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a small starting corpus for each fuzz target: make_fuzz_corpus DIR creates DIR/<target>/.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "field_map.h"
#include "save_state_image.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void Append32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

// A setter script: mode byte, then (op, selector, values...) steps.
Bytes DocumentScript(std::uint8_t op) {
    Bytes input = {static_cast<std::uint8_t>(4 | (op & 3))};
    for (const orvane::MemberInfo& m : orvane::kMembers) {
        input.push_back(op);
        Append32(input, static_cast<std::uint32_t>(m.id));
        Append32(input, 13);
        Append32(input, 0x01020304);
    }
    return input;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path doc = root / "fuzz_document";
    const fs::path catalog = root / "fuzz_catalog";
    const fs::path companion = root / "fuzz_tellim";
    fs::create_directories(doc);
    fs::create_directories(catalog);
    fs::create_directories(companion);

    for (std::uint8_t op = 0; op < 10; ++op) {
        Write(doc / ("setters-" + std::to_string(op)), DocumentScript(op));
    }
    Write(doc / "short-file", Bytes(64, 0x80));
    Write(doc / "whole-image", Bytes(274047, 0x80));
    // One file of each layout's size with the newer header, and one a few bytes off.
    for (std::uint8_t layout = 0; layout < 4; ++layout) {
        Write(doc / ("layout-" + std::to_string(layout)),
              Bytes{static_cast<std::uint8_t>(4 | layout)});
        Write(doc / ("near-layout-" + std::to_string(layout)),
              Bytes{static_cast<std::uint8_t>(12 | layout), 33});
    }

    Bytes lookups;
    for (std::uint32_t id : {0x00u, 0xBDu, 0x94u, 0xE7u, 0xE8u}) {
        Append32(lookups, id);
        lookups.push_back(5);
        for (char c : std::string("Tonic")) {
            lookups.push_back(static_cast<std::uint8_t>(c));
        }
        lookups.push_back(static_cast<std::uint8_t>(id % 4));
        Append32(lookups, 103 + id % 7);
    }
    Write(catalog / "lookups", lookups);

    // Each known state as it is, then a size near a known one, a known size without its header,
    // a header a byte late and a state cut short; then a name and the boxes as typed text.
    struct Companion {
        const char* name;
        Bytes size;           // size choice, shift (and, for a free size, a third byte)
        std::uint8_t header;  // 0 none, 1 old, 2 new, 3 new a byte late
    };
    const Companion companions[] = {
        {"1.42", {0, 0}, 1},
        {"1.42-headerless", {0, 0}, 0},
        {"1.51", {1, 0}, 2},
        {"fork-2.1", {2, 0}, 2},
        {"fork-2.2", {3, 0}, 2},
        {"fork-2.2-plus-one", {3, 193}, 2},
        {"1.51-minus-one", {1, 191}, 2},
        {"fork-2.1-headerless", {2, 0}, 0},
        {"fork-2.2-late-header", {3, 0}, 3},
        {"cut-short", {4, 0xDB, 0x8A}, 2},
    };
    for (const Companion& c : companions) {
        Bytes input = c.size;
        input.push_back(c.header);
        Append32(input, 14390);
        for (const char* text :
             {"Magus", "Crono", "Marle", "Lucca", "Frog", "Robo", "Ayla", "Magus"}) {
            input.push_back(static_cast<std::uint8_t>(std::strlen(text)));
            input.insert(input.end(), text, text + std::strlen(text));
        }
        for (char digit : {'1', '2', '3', '4'}) {
            input.push_back(1);
            input.push_back(static_cast<std::uint8_t>(digit));
        }
        Write(companion / c.name, input);
    }
    return 0;
}
