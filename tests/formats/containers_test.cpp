// SPDX-License-Identifier: GPL-3.0-or-later
// The containers on the emulators' own files: the encoders give back their bytes, a changed
// RZIP chunk is the only one compressed again, and no length read from a file makes the decoders
// take more memory than the limit. Then every kind of damage to every container: refused with
// its reason, through the document as a user opens a file, and the file left as it was.

#include <gtest/gtest.h>

#include <functional>

#include "decoded_state.h"
#include "fixtures.h"
#include "gzip.h"
#include "mesen_bodies.h"
#include "rzip.h"
#include "state_document.h"
#include "zlib_codec.h"

using namespace orvane;
using namespace orvane::test;

namespace {

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.at(at + std::size_t(i)) = std::uint8_t(value >> (8 * i));
    }
}

std::size_t Find(const Bytes& bytes, std::string_view text, std::size_t from = 0) {
    const auto found =
        std::search(bytes.begin() + std::ptrdiff_t(from), bytes.end(), text.begin(), text.end());
    EXPECT_NE(found, bytes.end()) << text;
    return std::size_t(found - bytes.begin());
}

Bytes Gzipped(const Bytes& stream) {
    Bytes file;
    const Bytes header = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 3};  // as snes9x and mednafen write it
    EXPECT_TRUE(EncodeGzip(header, stream, file));
    return file;
}

Bytes Rzipped(const Bytes& stream) {
    Bytes file;
    EXPECT_TRUE(EncodeRzip(131072, stream, file));
    return file;
}

TEST(Encoders, GiveBackTheEmulatorsOwnFiles) {
    for (const RealState& state : EveryRealState()) {
        SCOPED_TRACE(state.file);
        const Bytes file = ReadBytes(TestData(state.file));
        if (IsGzip(file)) {
            const auto member = DecodeGzip(file);
            ASSERT_TRUE(member);
            Bytes again;
            ASSERT_TRUE(EncodeGzip(member->header, member->stream, again));
            EXPECT_TRUE(again == file);
        } else if (IsRzip(file)) {
            const auto rzip = DecodeRzip(file);
            ASSERT_TRUE(rzip);
            EXPECT_TRUE(Rzipped(rzip->stream) == file);
        }
    }
}

// Another tool may have compressed a state harder than snes9x does: deflating the same stream
// again gives other bytes, so a state encoded without a change keeps the file's own.
TEST(Encoders, KeepAnotherCompressionLevelsBytesWhileTheStreamIsUnchanged) {
    const Bytes stream = DecodedStream(ReadBytes(TestData("snes9x-1.63.000")));
    Bytes file = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 2, 3};  // extra flags 2: the best compression
    ASSERT_TRUE(DeflateAppend(stream, ZlibWrapper::Raw, 9, file));
    Store32(file, Crc32(stream));
    Store32(file, static_cast<std::uint32_t>(stream.size()));
    ASSERT_FALSE(Gzipped(stream) == file);

    auto state = DecodedState::Decode(file);
    ASSERT_TRUE(state);
    const auto unchanged = state->Encode();
    ASSERT_TRUE(unchanged);
    EXPECT_TRUE(*unchanged == file);

    // Edited, it is compressed anew, and only the edited byte differs.
    state->WorkRam()[0] ^= 0xFF;
    const auto edited = state->Encode();
    ASSERT_TRUE(edited);
    const Bytes again = DecodedStream(*edited);
    ASSERT_EQ(again.size(), stream.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < again.size(); ++i) {
        differing += again[i] != stream[i];
    }
    EXPECT_EQ(differing, 1u);
}

TEST(Encoders, CompressAgainOnlyTheRzipChunkThatChanged) {
    const Bytes file = ReadBytes(TestData("retroarch-1.14-snes9x-1.63-rzip.state"));
    auto state = DecodedState::Decode(file);
    ASSERT_TRUE(state);
    // Gold lies in the first chunk; the state's work RAM spans the first and second.
    const auto gold = std::uint8_t(state->WorkRam()[0x2C53] ^ 0xFF);
    state->WorkRam()[0x2C53] = gold;
    const auto saved = state->Encode();
    ASSERT_TRUE(saved);
    const auto before = DecodeRzip(file);
    const auto after = DecodeRzip(*saved);
    ASSERT_TRUE(before && after);
    ASSERT_EQ(before->chunks.size(), after->chunks.size());
    for (std::size_t i = 0; i < before->chunks.size(); ++i) {
        const auto bytes = [](const Bytes& f, const RzipChunk& c) {
            return Bytes(f.begin() + std::ptrdiff_t(c.at),
                         f.begin() + std::ptrdiff_t(c.at + c.length));
        };
        EXPECT_EQ(bytes(file, before->chunks[i]) == bytes(*saved, after->chunks[i]), i != 0) << i;
    }
    EXPECT_TRUE(Changes(before->stream, after->stream) == (Patch{{68519 + 0x2C53, gold}}));
}

// Lengths read from a file are checked against the limit before anything is taken for them.
TEST(Decoders, StopAtTheLimit) {
    const Bytes zeros(17u << 20, 0);
    EXPECT_EQ(DecodeGzip(Gzipped(zeros)).Refusal(),
              "it is a gzip-compressed file that would decode to more than 16 MiB");
    EXPECT_TRUE(DecodeGzip(Gzipped(zeros), 18u << 20));
    Bytes huge = Rzipped(Text("#!s9xsnp:0012\n"));
    Put32(huge, 16, 0x100);  // 2^40 bytes
    EXPECT_EQ(DecodeRzip(huge).Refusal(),
              "it is a RetroArch file that would decode to more than 16 MiB");
}

// No real state of format 8 is here; its blocks are those of the formats around it, so 1.53's
// stream under each format's number stands for every release.
TEST(Snes9xStreams, OfEveryFormatFrom7To12Open) {
    const auto state = DecodedState::Decode(ReadBytes(TestData("snes9x-1.53.000")));
    ASSERT_TRUE(state);
    Bytes stream(state->Stream().begin(), state->Stream().end());
    for (int format = 7; format <= 12; ++format) {
        const std::string digits = (format < 10 ? "000" : "00") + std::to_string(format);
        std::copy(digits.begin(), digits.end(), stream.begin() + 9);
        const auto again = DecodedState::Decode(Gzipped(stream));
        ASSERT_TRUE(again) << again.Refusal();
        EXPECT_EQ(again->Name(), "snes9x state, format " + std::to_string(format) + ", compressed");
        EXPECT_EQ(again->Layout().workRam, 68503u);
    }
}

// RetroArch also loads a core's data without its wrapper: snes9x2005's, known by its size alone,
// then has work RAM and battery RAM at the core's own offsets.
TEST(CoreData, OfSnes9x2005OpensWithoutRetroArchsWrapper) {
    const Bytes file = ReadBytes(TestData("retroarch-1.14-snes9x2005-plus.state"));
    const Bytes core(file.begin() + 16, file.begin() + 16 + 564544);
    const auto state = DecodedState::Decode(core);
    ASSERT_TRUE(state) << state.Refusal();
    EXPECT_EQ(state->Name(), "RetroArch state, snes9x2005 plus core, core data only");
    EXPECT_EQ(state->Layout().workRam, 68684u);
    EXPECT_EQ(state->Layout().batteryRam, std::optional<std::size_t>(199756));
    for (const auto& [address, value] : WorkRamMarkers()) {
        ASSERT_EQ(core.at(68684 + address - 0x7E0000), value) << address;
    }
}

// A damaged copy of a real state: what is done to it, before or after its compression is undone,
// and what the refusal says.
struct Damage {
    const char* what;
    const char* file;
    std::function<void(Bytes& bytes)> toFile;
    std::function<void(Bytes& stream)> toStream;  // compressed again as the emulator would
    std::string refusal;
};

void PrintTo(const Damage& damage, std::ostream* out) {
    *out << damage.what;
}

const char* const kSnes9x = "snes9x-1.63.000";
const char* const kRzip = "retroarch-1.14-snes9x-1.63-rzip.state";
const char* const kBsnes = "retroarch-1.14-bsnes-115.state";
const char* const kMercury = "retroarch-1.14-bsnes-mercury-accuracy.state";
const char* const kFaust = "mednafen-1.29-snes_faust.mc0";
const char* const kMednafenSnes = "mednafen-1.29-snes.mc0";
const char* const kSnes9x2002 = "retroarch-1.14-snes9x2002.state";
const char* const kSnes9x2005 = "retroarch-1.14-snes9x2005.state";
const char* const kSnes9x2005Rzip = "retroarch-1.14-snes9x2005-rzip.state";

// The core's image inside a RetroArch state's MEM block.
constexpr std::size_t kImage = 16;

const char* const kBsz = "bsnes-115.bsz";

// The .bsz with every entry damaged alike and its CRC-32 made right, as a tool that writes what
// it is given would.
std::function<void(Bytes&)> EveryBszEntry(std::function<void(Bytes&)> damage) {
    return [damage](Bytes& file) {
        std::vector<ZipRecord> entries = ReadZip(file);
        for (ZipRecord& entry : entries) {
            damage(entry.data);
            entry = StoredEntry(entry.name, entry.data, entry.time, entry.date);
        }
        file = WriteZip(entries);
    };
}

// The real .bsz's slot 2 alone, its stored length in both its headers made `stored`.
Bytes WithOneEntryStoring(const Bytes& file, std::uint32_t stored) {
    Bytes one = WriteZip({ReadZip(file).at(1)});
    Put32(one, 18, stored);
    Put32(one, one.size() - 22 - 62 + 20, stored);
    return one;
}

// Said of both quick states of the real .bsz.
std::string NeitherOpens(const std::string& why) {
    return "it is a bsnes .bsz file in which no state opens: Quick save 1 " + why +
           "; Quick save 2 " + why;
}

const char* const kMesenS = "retroarch-1.14-mesen-s-0.4.0.state";
const char* const kMesen2 = "mesen2-2.1.1.mss";
// The file with its body changed and compressed again.
std::function<void(Bytes&)> MesenBodyChanged(std::size_t sizes,
                                             std::function<void(Bytes& body)> change) {
    return [sizes, change](Bytes& file) {
        Bytes body = MesenBody(file, sizes);
        change(body);
        PutMesenBody(file, sizes, body, body.size());
    };
}

const Damage kDamages[] = {
    // gzip
    {"gzip cut short", kSnes9x, [](Bytes& f) { f.resize(f.size() - 100); }, nullptr,
     "it is a gzip-compressed file whose compressed data ends early"},
    {"gzip trailer cut", kSnes9x, [](Bytes& f) { f.resize(f.size() - 3); }, nullptr,
     "it is a gzip-compressed file whose compressed data ends early"},
    {"gzip CRC-32 wrong", kFaust, [](Bytes& f) { f[f.size() - 8] ^= 1; }, nullptr,
     "it is a gzip-compressed file whose data does not match its CRC-32"},
    {"gzip length wrong", kSnes9x, [](Bytes& f) { f.back() ^= 1; }, nullptr,
     "it is a gzip-compressed file whose length field does not match its data"},
    {"deflate data damaged", kSnes9x, [](Bytes& f) { f[10] |= 6; }, nullptr,
     "it is a gzip-compressed file whose compressed data is damaged"},
    {"gzip with data after it", kFaust, [](Bytes& f) { f.push_back(0); }, nullptr,
     "it is a gzip-compressed file with data after the end of its compressed data"},
    {"gzip of another method", kSnes9x, [](Bytes& f) { f[2] = 7; }, nullptr,
     "it is a gzip-compressed file whose compression method is not deflate"},
    {"gzip of something else", kSnes9x, nullptr, [](Bytes& s) { s[0] = 'X'; },
     "it is a gzip-compressed file that holds no snes9x or mednafen state"},
    // RZIP
    {"RZIP cut short", kRzip, [](Bytes& f) { f.resize(f.size() - 10); }, nullptr,
     "it is a RetroArch file whose compressed data ends early"},
    {"RZIP chunk longer than the file", kRzip, [](Bytes& f) { Put32(f, 20, 0xFFFFFF); }, nullptr,
     "it is a RetroArch file whose compressed data ends early"},
    {"RZIP chunk check wrong", kRzip, [](Bytes& f) { f[24 + *Load32(f, 20) - 1] ^= 1; }, nullptr,
     "it is a RetroArch file whose compressed data is damaged"},
    {"RZIP size larger than its chunks", kRzip, [](Bytes& f) { Put32(f, 12, *Load32(f, 12) + 1); },
     nullptr, "it is a RetroArch file whose chunks hold less than its header says"},
    {"RZIP size smaller than its chunks", kRzip, [](Bytes& f) { Put32(f, 12, *Load32(f, 12) - 1); },
     nullptr, "it is a RetroArch file whose chunks hold more than its header says"},
    {"RZIP chunk size 0", kRzip, [](Bytes& f) { Put32(f, 8, 0); }, nullptr,
     "it is a RetroArch file whose chunk size is 0"},
    // RASTATE
    {"RASTATE of another version", kRzip, nullptr, [](Bytes& s) { s[7] = 2; },
     "it is a RetroArch state of wrapper version 2, which this program does not know"},
    {"RASTATE without END", kBsnes, [](Bytes& f) { f.resize(f.size() - 8); }, nullptr,
     "it is a RetroArch state whose block list ends without its END block"},
    {"RASTATE MEM longer than the file", kBsnes, [](Bytes& f) { Put32(f, 12, 400000); }, nullptr,
     "it is a RetroArch state whose MEM block runs past the end of the state"},
    {"RASTATE with data after END", kBsnes, [](Bytes& f) { f.resize(f.size() + 8); }, nullptr,
     "it is a RetroArch state with data after its END block"},
    {"RASTATE without MEM", kRzip, nullptr, [](Bytes& s) { s[8] = 'X'; },
     "it is a RetroArch state without the core's data (a MEM block)"},
    {"RASTATE with two MEM blocks", kBsnes,
     [](Bytes& f) {
         const Bytes extra = {'M', 'E', 'M', ' ', 0, 0, 0, 0};
         f.insert(f.end() - 8, extra.begin(), extra.end());
     },
     nullptr, "it is a RetroArch state with more than one MEM block"},
    {"RASTATE of another core", kBsnes, [](Bytes& f) { f[kImage] = 'X'; }, nullptr,
     "it is a RetroArch state of a core that this program does not know, whose data is 290423 "
     "bytes long"},
    // snes9x2005's data, known by its size alone; its MEM block is padded to 562192 either way.
    {"snes9x2005 core data a byte short", kSnes9x2005, [](Bytes& f) { Put32(f, 12, 562191); },
     nullptr,
     "it is a RetroArch state of a core that this program does not know, whose data is 562191 "
     "bytes long"},
    {"snes9x2005 core data a byte long", kSnes9x2005Rzip, nullptr,
     [](Bytes& s) {
         s.insert(s.begin() + kImage + 562192, 8, 0);
         Put32(s, 12, 562193);
     },
     "it is a compressed RetroArch state of a core that this program does not know, whose data "
     "is 562193 bytes long"},
    // snes9x blocks
    {"snes9x RAM block a byte short", kSnes9x, nullptr,
     [](Bytes& s) {
         const std::size_t ram = Find(s, "RAM:131072:");
         s[ram + 9] = '1';
         s.erase(s.begin() + std::ptrdiff_t(ram) + 11);
     },
     "it is a snes9x state whose RAM block is 131071 bytes long"},
    {"snes9x without RAM", kRzip, nullptr, [](Bytes& s) { s[Find(s, "RAM:131072:") + 2] = 'X'; },
     "it is a snes9x state without a RAM block"},
    {"snes9x with two RAM blocks", kSnes9x, nullptr,
     [](Bytes& s) {
         const std::size_t ram = Find(s, "RAM:131072:");
         s.insert(s.end(), s.begin() + std::ptrdiff_t(ram),
                  s.begin() + std::ptrdiff_t(ram + 11 + 131072));
     },
     "it is a snes9x state with more than one RAM block"},
    {"snes9x RAM block a byte long", kSnes9x, nullptr,
     [](Bytes& s) {
         const std::size_t ram = Find(s, "RAM:131072:");
         s[ram + 9] = '3';
         s.insert(s.begin() + std::ptrdiff_t(ram) + 11, 0x55);
     },
     "it is a snes9x state whose RAM block is 131073 bytes long"},
    {"snes9x RAM block a byte long, its length in the long form", kSnes9x, nullptr,
     [](Bytes& s) {
         const std::size_t ram = Find(s, "RAM:131072:");
         const Bytes length = {'-', '-', 0, 2, 0, 1};
         std::copy(length.begin(), length.end(), s.begin() + std::ptrdiff_t(ram) + 4);
         s.insert(s.begin() + std::ptrdiff_t(ram) + 11, 0x55);
     },
     "it is a snes9x state whose RAM block is 131073 bytes long"},
    {"snes9x of a format after 12", kSnes9x, nullptr, [](Bytes& s) { s[12] = '3'; },
     "it is a snes9x state of format 0013, which this program does not know"},
    {"snes9x of a format before 7", kSnes9x, nullptr,
     [](Bytes& s) {
         s[11] = '0';
         s[12] = '6';
     },
     "it is a snes9x state of format 0006, which this program does not know"},
    {"snes9x of an old format after 1", kSnes9x2002, [](Bytes& f) { f[kImage + 12] = '2'; },
     nullptr, "it is a snes9x state of old format 0002, which this program does not know"},
    {"snes9x last block cut", kSnes9x, nullptr, [](Bytes& s) { s.resize(s.size() - 10); },
     "it is a snes9x state whose SHO block runs past the end of the state"},
    {"snes9x block header malformed", kSnes9x, nullptr,
     [](Bytes& s) { s[Find(s, "CPU:") + 3] = ';'; },
     "it is a snes9x state with a malformed block header at byte 33"},
    // bsnes images
    {"bsnes length field wrong", kBsnes, [](Bytes& f) { f[kImage + 4] ^= 1; }, nullptr,
     "it is a bsnes state whose length field says 290422 bytes, but which is 290423 bytes long"},
    {"bsnes of another version", kBsnes, [](Bytes& f) { f[kImage + 10] = '6'; }, nullptr,
     "it is a bsnes state of version \"116.1\", which this program does not know"},
    {"bsnes image too short", kBsnes,
     [](Bytes& f) {
         // The core's data alone, without RetroArch's wrapper, and cut short.
         f = Bytes(f.begin() + kImage, f.begin() + kImage + 100000);
         Put32(f, 4, 100000);
     },
     nullptr, "it is a bsnes 115 state too short to hold work RAM"},
    {"bsnes-mercury of another serializer", kMercury, [](Bytes& f) { f[kImage + 4] = 28; }, nullptr,
     "it is a bsnes state of serializer version 28, which this program does not know"},
    {"bsnes-mercury hash malformed", kMercury, [](Bytes& f) { f[kImage + 20] = 'x'; }, nullptr,
     "it is a bsnes-mercury state whose cartridge hash is malformed"},
    // bsnes's .bsz
    {"bsz run past its declared length", kBsz,
     EveryBszEntry([](Bytes& e) { Put32(e, 12, *Load32(e, 12) - 1); }), nullptr,
     NeitherOpens("is coded with a run that passes its declared length")},
    {"bsz without bsnes's word", kBsz, EveryBszEntry([](Bytes& e) { e[0] = 1; }), nullptr,
     NeitherOpens("does not start with bsnes's word 0x5A220000")},
    {"bsz image length field wrong", kBsz, EveryBszEntry([](Bytes& e) { e[25] ^= 1; }), nullptr,
     NeitherOpens("is a bsnes state whose length field says 290422 bytes, but which is 290423 "
                  "bytes long")},
    {"bsz entry lengths past its end", kBsz,
     EveryBszEntry([](Bytes& e) { Put32(e, 8, *Load32(e, 8) + 1); }), nullptr,
     NeitherOpens("is shorter than the lengths in its header say")},
    {"bsz CRC-32 wrong", kBsz,
     [](Bytes& f) {
         std::vector<ZipRecord> entries = ReadZip(f);
         for (ZipRecord& entry : entries) {
             entry.crc ^= 1;
         }
         f = WriteZip(entries);
     },
     nullptr, NeitherOpens("is damaged: its bytes do not match its CRC-32")},
    {"bsz entries deflated", kBsz,
     [](Bytes& f) {
         std::vector<ZipRecord> entries = ReadZip(f);
         for (ZipRecord& entry : entries) {
             Bytes deflated;
             ASSERT_TRUE(DeflateAppend(entry.data, ZlibWrapper::Raw, kDefaultLevel, deflated));
             entry.data = deflated;
             entry.method = 8;
         }
         f = WriteZip(entries);
     },
     nullptr, NeitherOpens("is deflated, where bsnes stores its states as they are")},
    // Slot 2 alone, its stored length in both headers reaching 20 bytes past the file's end,
    // and claiming 4 GiB, which is refused before memory is taken for it.
    {"bsz entry past the file's end", kBsz,
     [](Bytes& f) { f = WithOneEntryStoring(f, std::uint32_t(f.size()) - 46 + 20); }, nullptr,
     "it is a ZIP file whose entry \"Quick/Slot 2.bst\" runs past the end of the file"},
    {"bsz entry of 4 GiB", kBsz, [](Bytes& f) { f = WithOneEntryStoring(f, 0xFFFFFFF0); }, nullptr,
     "it is a ZIP file whose entry \"Quick/Slot 2.bst\" runs past the end of the file"},
    // libzip reads the local headers again when it writes the archive.
    {"bsz local header unlike its directory record", kBsz, [](Bytes& f) { f[28] = 9; }, nullptr,
     "it is a ZIP file whose entries do not match its directory"},
    {"bsz without a quick state", kBsz,
     [](Bytes& f) {
         std::vector<ZipRecord> entries = ReadZip(f);
         entries[0].name = "Quick/Slot 0.bst";
         entries[1].name = "Managed/Slot 2.bst";
         f = WriteZip(entries);
     },
     nullptr, "it is a ZIP file without any of bsnes's quick states"},
    {"bsz cut short", kBsz, [](Bytes& f) { f.resize(f.size() - 10); }, nullptr,
     "it is a ZIP file whose directory cannot be read (Not a zip archive)"},
    // mednafen sections
    {"mednafen stream cut short", kFaust, nullptr, [](Bytes& s) { s.resize(s.size() - 100); },
     "it is a mednafen state that ends early"},
    {"mednafen with data after it", kFaust, nullptr, [](Bytes& s) { s.push_back(0); },
     "it is a mednafen state with data after its end"},
    {"mednafen preview whose size wraps past 2^64", kFaust, nullptr,
     [](Bytes& s) {
         // 3457589841 x 3556763511 pixels of three bytes are 2^65 + 172021 bytes: the picture
         // made 11 bytes shorter than its 256 x 224 pixels would still be taken.
         s.erase(s.begin() + 32, s.begin() + 43);
         Put32(s, 20, std::uint32_t(s.size()));
         Put32(s, 24, 3457589841u);
         Put32(s, 28, 3556763511u);
     },
     "it is a mednafen state whose preview picture runs past its end"},
    {"mednafen section longer than the state", kFaust, nullptr,
     [](Bytes& s) { Put32(s, Find(s, std::string_view("SNES\0\0\0\0", 8)) + 32, 1u << 30); },
     "it is a mednafen state whose sections run past its end"},
    {"mednafen entry longer than its section", kFaust, nullptr,
     [](Bytes& s) { Put32(s, Find(s, "WRAM") + 4, 140000); },
     "it is a mednafen state whose section SNES is malformed"},
    {"mednafen without work RAM", kFaust, nullptr, [](Bytes& s) { s[Find(s, "WRAM")] = 'X'; },
     "it is a mednafen state without the work RAM of the snes or snes_faust module"},
    {"mednafen snes image of another version", kMednafenSnes, nullptr,
     [](Bytes& s) { s[Find(s, "BST1") + 4] = 5; },
     "it is a mednafen state whose snes module data is of serializer version 5, which this "
     "program does not know"},
    // Mesen's bodies
    {"Mesen-S body beyond the limit", kMesenS,
     [](Bytes& f) { PutMesenBody(f, kMesenSSizes, Bytes(17u << 20, 0), 17u << 20); }, nullptr,
     "it is a Mesen-S state whose body would decode to more than 16 MiB"},
    {"Mesen-S body inflating past its size", kMesenS,
     [](Bytes& f) { PutMesenBody(f, kMesenSSizes, Bytes(17u << 20, 0), 274989); }, nullptr,
     "it is a Mesen-S state whose body inflates to more than the 274989 bytes it declares"},
    {"Mesen-S body short of its size", kMesenS,
     [](Bytes& f) { PutMesenBody(f, kMesenSSizes, MesenBody(f, kMesenSSizes), 274990); }, nullptr,
     "it is a Mesen-S state whose body inflates to 274989 bytes, not the 274990 it declares"},
    {"Mesen2 body beyond the limit", kMesen2,
     [](Bytes& f) { PutMesenBody(f, kMesen2Sizes, Bytes(17u << 20, 0), 17u << 20); }, nullptr,
     "it is a Mesen2 state whose body would decode to more than 16 MiB"},
    {"Mesen-S compressed body past the MEM block", kMesenS,
     [](Bytes& f) { Put32(f, kMesenSSizes + 4, 544768); }, nullptr,
     "it is a Mesen-S state whose body runs past its end"},
    {"Mesen-S data after the compressed body", kMesenS,
     [](Bytes& f) { f[kMesenSData + 544700] = 1; }, nullptr,
     "it is a Mesen-S state with data after its compressed body"},
    // Mesen-S ignores the check value; nothing tells a body that fails it from a damaged one.
    {"Mesen-S check value wrong", kMesenS,
     [](Bytes& f) { f[kMesenSSizes + 8 + *Load32(f, kMesenSSizes + 4) - 1] ^= 1; }, nullptr,
     "it is a Mesen-S state whose compressed body is damaged"},
    {"Mesen-S of a newer version", kMesenS, [](Bytes& f) { Put32(f, 19, 0x000500); }, nullptr,
     "it is a Mesen-S state of version 0.5.0, which this program does not know"},
    {"Mesen-S of format 5", kMesenS, [](Bytes& f) { Put32(f, 23, 5); }, nullptr,
     "it is a Mesen-S state of format 5, which this program does not know"},
    {"Mesen-S work RAM a byte short", kMesenS,
     MesenBodyChanged(kMesenSSizes, [](Bytes& body) { Put32(body, 62, 131071); }), nullptr,
     "it is a Mesen-S state whose body does not hold work RAM where Mesen-S keeps it"},
    {"Mesen2 check value wrong", kMesen2, [](Bytes& f) { f.back() ^= 1; }, nullptr,
     "it is a Mesen2 state whose compressed body is damaged"},
    {"Mesen2 without work RAM", kMesen2,
     MesenBodyChanged(kMesen2Sizes,
                      [](Bytes& body) { body[Find(body, "memoryManager.workRam") + 20] = 'M'; }),
     nullptr, "it is a Mesen2 state without work RAM (a memoryManager.workRam record)"},
    {"Mesen2 records past the body's end", kMesen2,
     MesenBodyChanged(kMesen2Sizes,
                      [](Bytes& body) { Put32(body, Find(body, "cart.saveRam") + 13, 1u << 20); }),
     nullptr, "it is a Mesen2 state whose records run past the end of its body"},
    {"Mesen2 picture of another size", kMesen2, [](Bytes& f) { Put32(f, 15, 122369); }, nullptr,
     "it is a Mesen2 state whose picture is damaged"},
    {"Mesen2 picture damaged", kMesen2, [](Bytes& f) { f[35 + *Load32(f, 31) - 1] ^= 1; }, nullptr,
     "it is a Mesen2 state whose picture is damaged"},
    {"Mesen2 of a newer version", kMesen2, [](Bytes& f) { Put32(f, 3, 0x020200); }, nullptr,
     "it is a Mesen2 state of version 2.2.0, which this program does not know"},
    {"Mesen2 of format 2", kMesen2, [](Bytes& f) { Put32(f, 7, 2); }, nullptr,
     "it is a Mesen2 state of format 2, which this program does not know"},
    {"Mesen2 of another console", kMesen2, [](Bytes& f) { Put32(f, 11, 1); }, nullptr,
     "it is a Mesen2 state of another console than the Super Nintendo (console 1)"},
};

class Damaged : public ::testing::TestWithParam<Damage> {};

TEST_P(Damaged, IsRefusedWithItsReasonAndLeftAlone) {
    const Damage& damage = GetParam();
    Bytes file = ReadBytes(TestData(damage.file));
    if (damage.toStream) {
        const auto state = DecodedState::Decode(file);
        ASSERT_TRUE(state);
        Bytes stream(state->Stream().begin(), state->Stream().end());
        damage.toStream(stream);
        file = IsGzip(file) ? Gzipped(stream) : IsRzip(file) ? Rzipped(stream) : stream;
    } else {
        damage.toFile(file);
    }
    ScratchDir dir;
    const auto path = WriteBytes(dir / damage.file, file);
    StateDocument doc;
    const LoadResult result = doc.Load(path);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.refusal, damage.refusal);
    EXPECT_FALSE(doc.IsLoaded());
    EXPECT_TRUE(ReadBytes(path) == file);
}

INSTANTIATE_TEST_SUITE_P(EveryContainer, Damaged, ::testing::ValuesIn(kDamages));

}  // namespace
