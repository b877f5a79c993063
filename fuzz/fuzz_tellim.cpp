// The companion editor's name code and in-place file access on arbitrary files: whatever the file
// and the typed texts, the file keeps its size and only name and play-time bytes may change.

#include <QApplication>
#include <QDialog>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "dialogs.h"
#include "form1.h"
#include "fuzz_files.h"
#include "fuzz_input.h"
#include "module1.h"
#include "text_box.h"

namespace fs = std::filesystem;
using fuzzfiles::Check;
using fuzzfiles::ReadFile;

namespace {

// Answers every question without a window, so a run never waits.
class SilentDialogs final : public Dialogs {
public:
    void Message(QWidget*, Icon, const QString&, const QString&) override {}
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    void RunModal(QDialog&) override {}
};

// Offsets the companion may write: the first five bytes of each name slot and the time digits.
const std::set<std::int64_t>& Writable() {
    static const std::set<std::int64_t> offsets = [] {
        const std::vector<std::int64_t> list = Module1::SaveOffsets();
        return std::set<std::int64_t>(list.begin(), list.end());
    }();
    return offsets;
}

QString TextFrom(FuzzInput& in, std::size_t maxLength) {
    const std::string raw = in.Text(maxLength);
    return QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    // Sizes around the smallest acceptable state matter most; the rest of the file is the input.
    const std::size_t fileSize = static_cast<std::size_t>(in.Byte()) * 64 + in.Byte();
    const std::size_t length = std::min<std::size_t>(fileSize + 14000, 20000);
    std::vector<std::uint8_t> file(length);
    for (std::size_t i = 0; i < length; ++i) {
        file[i] = size > 0 ? data[i % size] : 0;
    }
    static const fs::path scratch = fuzzfiles::MakeScratch("fuzz-tellim");
    const fs::path path = scratch / "state.zst";
    fuzzfiles::WriteFile(path, file);

    const Module1::CodeTable table = Module1::BuildCodeTable();
    Check(table[0xEF] == ' ');
    std::string name;
    for (std::int64_t slot : Module1::kNameSlots) {
        if (Module1::ReadName(slot, path, Module1::kNameLength, name) == Module1::FileError::None) {
            Check(name.size() <= static_cast<std::size_t>(Module1::kNameLength));
        }
    }
    const std::string raw = in.Text(8);
    const QString typed = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    const std::u32string text = typed.toStdU32String();
    Module1::WriteName(Module1::kNameSlots[in.Byte() % 7], path, text, Module1::kNameLength);
    Module1::TimeByteFromText(raw);

    SilentDialogs dialogs;
    Form1 form(dialogs);
    const std::vector<std::uint8_t> before = ReadFile(path);
    form.OpenState(QString::fromStdString(path.string()));
    for (TextBox* box : form.txtName) {
        box->setText(TextFrom(in, 7));
    }
    for (TextBox* box : {form.txtHour1, form.txtHour2, form.txtMinute1, form.txtMinute2}) {
        box->setText(TextFrom(in, 4));
    }
    form.SaveState(QString::fromStdString(path.string()));

    const std::vector<std::uint8_t> after = ReadFile(path);
    Check(after.size() == before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] != before[i]) {
            Check(Writable().count(static_cast<std::int64_t>(i)) > 0);
        }
    }
    return 0;
}
