// SPDX-License-Identifier: GPL-3.0-or-later
// The companion editor on arbitrary files: whatever the file and the typed texts, a file it does
// not know is neither opened nor written, and in one it knows only name and play-time bytes of
// the decoded stream may change; a file that is not compressed also keeps its size.

#include <QApplication>
#include <QDialog>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "decoded_state.h"
#include "dialogs.h"
#include "fuzz_files.h"
#include "fuzz_input.h"
#include "fuzz_states.h"
#include "main_window.h"
#include "name_time_file.h"
#include "text_box.h"

namespace fs = std::filesystem;
using fuzzfiles::Check;
using fuzzfiles::ReadFile;

namespace {

// Answers every question without a window, so a run never waits.
class SilentDialogs final : public Dialogs {
public:
    void Message(QWidget*, Icon, const QString&, const QString&) override {}
    bool Ask(QWidget*, const QString&, const QString&) override { return true; }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    void RunModal(QDialog&) override {}
};

const std::string kOldHeader("ZSNES Save State File V0.6\x1A\x3C", 28);
const std::string kNewHeader("ZSNES Save State File V143\x1A\x8F", 28);

// The states each emulator writes, written out here apart from tellim's own table so that the two
// are checked against each other: size, where work RAM starts, and whether the header is needed.
struct KnownState {
    std::size_t size;
    std::int64_t workRam;
    bool needsHeader;
};
constexpr KnownState kKnown[] = {
    {274047, 0xC13, false},
    {282459, 0xC13, true},
    {282489, 0xC31, true},
    {282493, 0xC35, true},
};

// Work RAM start of the layout the file has, or -1.
std::int64_t ExpectedWorkRam(const std::vector<std::uint8_t>& file) {
    const bool newHeader = file.size() >= kNewHeader.size() &&
                           std::memcmp(file.data(), kNewHeader.data(), kNewHeader.size()) == 0;
    for (const KnownState& known : kKnown) {
        if (file.size() == known.size && (newHeader || !known.needsHeader)) {
            return known.workRam;
        }
    }
    return -1;
}

// The time digits (console 7E0402 to 7E0405) and the first five bytes of each name slot (from
// 7E2C23, six bytes apart), in a stream whose work RAM starts at workRam.
std::set<std::int64_t> Writable(std::int64_t workRam) {
    std::set<std::int64_t> offsets;
    for (std::int64_t address = 0x402; address <= 0x405; ++address) {
        offsets.insert(workRam + address);
    }
    for (std::int64_t member = 0; member < 7; ++member) {
        for (std::int64_t i = 0; i < 5; ++i) {
            offsets.insert(workRam + 0x2C23 + 6 * member + i);
        }
    }
    return offsets;
}

QString TextFrom(FuzzInput& in, std::size_t maxLength) {
    const std::string raw = in.Text(maxLength);
    return QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
}

// The file's size: one of the known sizes, often moved a little, or anything up to the largest.
std::size_t FileSize(FuzzInput& in) {
    const std::uint8_t kind = in.Byte();
    const std::uint8_t shift = in.Byte();
    if (kind % 5 == 4) {
        return (static_cast<std::size_t>(shift) << 8 | in.Byte()) * 5;
    }
    const std::int64_t delta = shift < 128 ? 0 : static_cast<std::int64_t>(shift) - 192;
    return static_cast<std::size_t>(static_cast<std::int64_t>(kKnown[kind % 5].size) + delta);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    std::vector<std::uint8_t> file(FileSize(in));
    for (std::size_t i = 0; i < file.size(); ++i) {
        file[i] = size > 0 ? data[i % size] : 0;
    }
    // No header, either header, or the new one a byte late.
    const std::uint8_t header = in.Byte() % 4;
    if (header != 0) {
        const std::string& text = header == 1 ? kOldHeader : kNewHeader;
        const std::size_t at = header == 3 ? 1 : 0;
        for (std::size_t i = 0; i < text.size() && at + i < file.size(); ++i) {
            file[at + i] = static_cast<std::uint8_t>(text[i]);
        }
    }
    static const fs::path scratch = fuzzfiles::MakeScratch("fuzz-tellim");
    const fs::path path = scratch / "state.zst";
    fuzzfiles::WriteFile(path, file);
    const std::int64_t workRam = ExpectedWorkRam(file);

    tellim::StateFields fields;
    tellim::FileKind kind;
    const tellim::FileError read = tellim::ReadState(path, fields, kind);
    const bool opens = read == tellim::FileError::None;
    if (!fuzzstates::OtherEmulatorsStart(file)) {
        Check(opens == (workRam >= 0));
    }
    if (read == tellim::FileError::UnknownFormat) {
        Check(kind.refusal.compare(0, 3, "it ") == 0);
    }
    for (const std::string& name : fields.names) {
        Check(name.size() <= static_cast<std::size_t>(tellim::kNameLength));
    }
    const std::size_t start = in.U32() % (file.size() + 1);
    const std::span<const std::uint8_t> slot =
        std::span(file).subspan(start, std::min<std::size_t>(6, file.size() - start));
    Check(tellim::ReadName(slot).size() <= static_cast<std::size_t>(tellim::kNameLength));
    const std::string raw = in.Text(8);
    tellim::TimeByteFromText(raw);

    SilentDialogs dialogs;
    MainWindow window(dialogs);
    const QString qpath = QString::fromStdString(path.string());
    Check(window.OpenState(qpath) == opens);
    for (TextBox* box : window.NameBoxes()) {
        box->setText(TextFrom(in, 7));
    }
    for (TextBox* box : {window.HourTensBox(), window.HourUnitsBox(), window.MinuteTensBox(),
                         window.MinuteUnitsBox()}) {
        box->setText(TextFrom(in, 4));
    }
    window.SaveState(qpath);

    const std::vector<std::uint8_t> after = ReadFile(path);
    if (!opens) {
        Check(fuzzstates::Same(after, file));
        return 0;
    }
    const auto before = orvane::DecodedState::Decode(file);
    const auto now = orvane::DecodedState::Decode(after);
    Check(before && now && now->Name() == before->Name());
    const bool plain = before->GetCompression() == orvane::Compression::None;
    Check(!plain || after.size() == file.size());
    const orvane::ByteSpan old = before->Stream();
    const orvane::ByteSpan saved = now->Stream();
    Check(saved.size() == old.size());
    const std::set<std::int64_t> writable =
        Writable(static_cast<std::int64_t>(before->Layout().workRam));
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i] != old[i]) {
            Check(writable.count(static_cast<std::int64_t>(i)) > 0);
        }
    }
    return 0;
}
