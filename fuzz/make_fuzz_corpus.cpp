// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a small starting corpus for each fuzz target: make_fuzz_corpus DIR DATA creates
// DIR/<target>/, taking the real states from DATA (tests/data): the files themselves for the
// compressed containers, their decoded streams for the parsers of what they hold.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "decoded_state.h"
#include "field_map.h"
#include "gzip.h"
#include "rastate.h"
#include "rzip.h"
#include "zip_archive.h"
#include "zlib_codec.h"

namespace fs = std::filesystem;
using orvane::Bytes;
using orvane::ByteSpan;

namespace {

void Write(const fs::path& path, ByteSpan bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "make_fuzz_corpus: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

Bytes Read(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    Bytes bytes(error ? 0 : size);
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in || bytes.empty()) {
        std::fprintf(stderr, "make_fuzz_corpus: cannot read %s\n", path.c_str());
        std::exit(1);
    }
    return bytes;
}

// A real state as the programs decode it.
orvane::DecodedState Decoded(const Bytes& file) {
    auto state = orvane::DecodedState::Decode(file);
    if (!state) {
        std::fprintf(stderr, "make_fuzz_corpus: a real state is refused: %s\n",
                     state.Refusal().c_str());
        std::exit(1);
    }
    return std::move(*state);
}

Bytes Stream(const Bytes& file) {
    const orvane::DecodedState state = Decoded(file);
    return Bytes(state.Stream().begin(), state.Stream().end());
}

// What the programs edit of a real state kept coded in its stream.
Bytes Body(const Bytes& file) {
    const orvane::DecodedState state = Decoded(file);
    return Bytes(state.Body().begin(), state.Body().end());
}

// The core's data inside a RetroArch state.
ByteSpan CoreData(const Bytes& stream) {
    const auto memory = orvane::FindRaStateMemory(stream);
    if (!memory) {
        std::fprintf(stderr, "make_fuzz_corpus: %s\n", memory.Refusal().c_str());
        std::exit(1);
    }
    return ByteSpan(stream).subspan(memory->at, memory->length);
}

void Append32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

// A setter script: the bytes that choose the file, then (op, selector, values...) steps.
Bytes DocumentScript(Bytes input, std::uint8_t op) {
    for (const orvane::MemberInfo& m : orvane::kMembers) {
        input.push_back(op);
        Append32(input, static_cast<std::uint32_t>(m.id));
        Append32(input, 13);
        Append32(input, 0x01020304);
    }
    return input;
}

// The smallest snes9x stream the programs take: the signature and a RAM block.
Bytes SmallSnes9xStream() {
    const std::string head = "#!s9xsnp:0012\nRAM:131072:";
    Bytes stream(head.begin(), head.end());
    stream.resize(stream.size() + 131072, 0x55);
    return stream;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DIR DATA\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path data = argv[2];
    const auto target = [&root](const char* name) {
        const fs::path dir = root / name;
        fs::create_directories(dir);
        return dir;
    };

    const fs::path doc = target("fuzz_document");
    for (std::uint8_t op = 0; op < 10; ++op) {
        Write(doc / ("setters-" + std::to_string(op)),
              DocumentScript({static_cast<std::uint8_t>(4 | (op & 3))}, op));
    }
    Write(doc / "short-file", Bytes(64, 0x80));
    // The shape byte, then the file.
    Write(doc / "whole-image", Bytes(1 + 274047, 0x80));
    // One file of each layout's size with the newer header, and one a few bytes off.
    for (std::uint8_t layout = 0; layout < 4; ++layout) {
        Write(doc / ("layout-" + std::to_string(layout)),
              Bytes{static_cast<std::uint8_t>(4 | layout)});
        Write(doc / ("near-layout-" + std::to_string(layout)),
              Bytes{static_cast<std::uint8_t>(12 | layout), 33});
    }
    // Each real state the target edits, as written and as its stream, with setters.
    for (std::uint8_t base = 0; base < 11; ++base) {
        Write(doc / ("real-" + std::to_string(base)),
              DocumentScript({static_cast<std::uint8_t>(0xC0 | base)}, base % 7));
        Write(doc / ("real-stream-" + std::to_string(base)),
              DocumentScript({static_cast<std::uint8_t>(0xE0 | base), 0}, base % 7));
    }

    const fs::path catalog = target("fuzz_catalog");
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
    const fs::path companion = target("fuzz_tellim");
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

    const Bytes snes9x = Read(data / "snes9x-1.63.000");
    const Bytes faust = Read(data / "mednafen-1.29-snes_faust.mc0");
    const Bytes mednafenSnes = Read(data / "mednafen-1.29-snes.mc0");
    const Bytes snes9xRzip = Read(data / "retroarch-1.14-snes9x-1.63-rzip.state");
    const Bytes bsnesRzip = Read(data / "retroarch-1.14-bsnes-115-rzip.state");
    const Bytes snes9xCore = Read(data / "retroarch-1.14-snes9x-1.63.state");
    const Bytes bsnes = Read(data / "retroarch-1.14-bsnes-115.state");
    const Bytes mercury = Read(data / "retroarch-1.14-bsnes-mercury-accuracy.state");
    const Bytes snes9x2005 = Read(data / "retroarch-1.14-snes9x2005.state");

    // Compressed real states as the rest of the input, to be damaged in place.
    const std::pair<const char*, const Bytes*> compressed[] = {{"raw-snes9x", &snes9x},
                                                               {"raw-rzip", &bsnesRzip}};
    for (const auto& [name, file] : compressed) {
        Bytes input = {0x80};
        input.insert(input.end(), file->begin(), file->end());
        Write(doc / name, input);
    }

    const fs::path gzip = target("fuzz_gzip");
    Write(gzip / "snes9x", snes9x);
    Write(gzip / "mednafen-snes_faust", faust);
    Write(gzip / "mednafen-snes", mednafenSnes);
    // Every optional header field, its check included, around a small stream the programs take.
    Bytes header = {0x1F, 0x8B, 8, 0x1F, 0, 0, 0, 0, 0, 3, 4, 0, 'a', 'b', 0, 0};
    for (const char* text : {"state.000", "comment"}) {
        header.insert(header.end(), text, text + std::strlen(text) + 1);
    }
    const std::uint32_t check = orvane::Crc32(header);
    header.push_back(static_cast<std::uint8_t>(check));
    header.push_back(static_cast<std::uint8_t>(check >> 8));
    Bytes member;
    orvane::EncodeGzip(header, SmallSnes9xStream(), member);
    Write(gzip / "every-header-field", member);

    const fs::path rzip = target("fuzz_rzip");
    Write(rzip / "retroarch-snes9x", snes9xRzip);
    Write(rzip / "retroarch-bsnes", bsnesRzip);
    // Many small chunks.
    Bytes chunked;
    orvane::EncodeRzip(4096, SmallSnes9xStream(), chunked);
    Write(rzip / "small-chunks", chunked);

    const fs::path rastate = target("fuzz_rastate");
    Write(rastate / "snes9x", snes9xCore);
    Write(rastate / "bsnes", bsnes);
    Write(rastate / "bsnes-mercury", mercury);
    Write(rastate / "snes9x2005", snes9x2005);

    const fs::path blocks = target("fuzz_snes9x");
    Write(blocks / "snes9x", Stream(snes9x));
    Write(blocks / "retroarch-snes9x", CoreData(snes9xCore));
    // The earlier formats, and the older signature.
    for (const char* release : {"1.53", "1.55", "1.60"}) {
        Write(blocks / (std::string("snes9x-") + release),
              Stream(Read(data / (std::string("snes9x-") + release + ".000"))));
    }
    for (const char* core : {"snes9x2010", "snes9x2002"}) {
        Write(blocks / (std::string("retroarch-") + core),
              CoreData(Read(data / (std::string("retroarch-1.14-") + core + ".state"))));
    }

    // Both builds' data, and one byte short of the first's size.
    const fs::path structs = target("fuzz_snes9x2005");
    const ByteSpan snes9x2005Core = CoreData(snes9x2005);
    Write(structs / "snes9x2005", snes9x2005Core);
    Write(structs / "snes9x2005-plus",
          CoreData(Read(data / "retroarch-1.14-snes9x2005-plus.state")));
    Write(structs / "snes9x2005-short", snes9x2005Core.first(snes9x2005Core.size() - 1));

    const fs::path images = target("fuzz_bsnes");
    Write(images / "bsnes", CoreData(bsnes));
    Write(images / "bsnes-mercury", CoreData(mercury));

    // The player's battery save, and with slot 1 sealed again and slot 3 sealed over whatever it
    // holds (the rest of the input: how many seals, then which slots).
    const fs::path battery = target("fuzz_battery");
    Bytes slots = Read(data / "one-slot.srm");
    Write(battery / "one-slot", slots);
    slots.insert(slots.end(), {2, 0, 2});
    Write(battery / "sealed", slots);

    // Mesen's files as they are (the shape byte 0 first), and their bodies behind the target's
    // own headers: Mesen2's records compressed and stored, Mesen-S's components bare and in
    // RetroArch's wrapper with room to spare (then the byte of slack and the edit's place).
    const fs::path mesen = target("fuzz_mesen");
    const Bytes mesen2 = Read(data / "mesen2-2.1.1.mss");
    const Bytes mesenS = Read(data / "retroarch-1.14-mesen-s-0.4.0.state");
    const std::pair<const char*, Bytes> mesenFiles[] = {
        {"mesen2", mesen2},
        {"mesen-s", mesenS},
        {"mesen-s-rzip", Read(data / "retroarch-1.14-mesen-s-0.4.0-rzip.state")},
        {"mesen-s-core", Bytes(CoreData(mesenS).begin(), CoreData(mesenS).end())},
    };
    for (const auto& [name, file] : mesenFiles) {
        Bytes input = {0};
        input.insert(input.end(), file.begin(), file.end());
        Write(mesen / name, input);
    }
    const std::pair<const char*, std::uint8_t> mesenBodies[] = {
        {"mesen2-records", 0x80},
        {"mesen2-records-stored", 0x81},
        {"mesen-s-components", 0xC0},
        {"mesen-s-components-wrapped", 0xC2}};
    for (const auto& [name, shape] : mesenBodies) {
        Bytes input = {shape, 4};
        Append32(input, 0x2C53);
        const Bytes body = Body(shape < 0xC0 ? mesen2 : mesenS);
        input.insert(input.end(), body.begin(), body.end());
        Write(mesen / name, input);
    }

    // bsnes's .bsz as written; for the coding, each entry's coded image and coded preview
    // (whose runs are of 2-byte units: another coding to the decoder), and a short one.
    const Bytes bsz = Read(data / "bsnes-115.bsz");
    Write(target("fuzz_bsz") / "bsnes-115", bsz);
    const fs::path rle = target("fuzz_rle");
    const auto zip = orvane::ZipArchive::Open(bsz);
    for (std::size_t i = 0; zip && i < zip->Entries().size(); ++i) {
        const auto entry = zip->Stored(i);
        const auto image = entry ? orvane::Load32(*entry, 4) : std::nullopt;
        const auto preview = entry ? orvane::Load32(*entry, 8) : std::nullopt;
        if (!image || !preview || 12 + std::size_t{*image} + *preview > entry->size()) {
            std::fprintf(stderr, "make_fuzz_corpus: %s is no bsnes state\n",
                         zip->Entries()[i].name.c_str());
            std::exit(1);
        }
        const ByteSpan bytes(*entry);
        Write(rle / ("image-" + std::to_string(i)), bytes.subspan(12, *image));
        Write(rle / ("preview-" + std::to_string(i)), bytes.subspan(12 + *image, *preview));
    }
    Write(rle / "short", Bytes{8, 0, 0, 0, 0, 0, 0, 0, 1, 'a', 'b', 0x81, 'c', 0, 'd'});

    const fs::path sections = target("fuzz_mednafen");
    Write(sections / "snes_faust", Stream(faust));
    Write(sections / "snes", Stream(mednafenSnes));
    return 0;
}
