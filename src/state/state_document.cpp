// SPDX-License-Identifier: GPL-3.0-or-later
#include "state_document.h"

#include "byte_order.h"
#include "file_io.h"
#include "name_codec.h"

namespace orvane {

namespace {

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead >> 5) == 0x6) {
        return 2;
    }
    if ((lead >> 4) == 0xE) {
        return 3;
    }
    if ((lead >> 3) == 0x1E) {
        return 4;
    }
    return 0;
}

// Code points of UTF-8 text, so a name counts characters rather than bytes. A malformed byte
// counts as one character without a code.
std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = Utf8SequenceLength(lead);
        if (length == 0 || i + length > text.size()) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        char32_t ch = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            ch = (ch << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        out.push_back(ch);
        i += length;
    }
    return out;
}

bool ValidSlot(int slot) {
    return slot >= 0 && slot < kInventorySlots;
}

}  // namespace

LoadResult StateDocument::Load(const std::filesystem::path& path) {
    LoadResult result;
    result.read = ReadFileStart(path, m_incoming);
    if (!result.read) {
        return result;
    }
    result.recognition = RecognizeState(std::span(m_incoming).first(result.read.bytesRead),
                                        result.read.identity.size);
    if (result.recognition.layout == nullptr) {
        return result;
    }
    m_image.Assign(std::span(m_incoming).first(result.read.bytesRead));
    m_layout = result.recognition.layout;
    m_path = path;
    return result;
}

bool StateDocument::Save() {
    return IsLoaded() && SaveAs(m_path);
}

bool StateDocument::SaveAs(const std::filesystem::path& path) {
    return ReplaceFileContents(path, m_image.Bytes());
}

std::uint32_t StateDocument::ReadField(std::size_t offset, std::size_t width) const {
    switch (width) {
        case 1:
            return Byte(offset);
        case 2:
            return Read16(m_image, Locate(offset));
        default:
            return Read24(m_image, Locate(offset));
    }
}

void StateDocument::WriteField(std::size_t offset, std::size_t width, std::uint32_t value) {
    switch (width) {
        case 1:
            Byte(offset) = static_cast<std::uint8_t>(value);
            break;
        case 2:
            Write16(m_image, Locate(offset), value);
            break;
        default:
            Write24(m_image, Locate(offset), value);
            break;
    }
}

std::uint32_t StateDocument::GetStat(std::int32_t character, std::int32_t stat) const {
    const MemberInfo* member = FindMember(character);
    if (member == nullptr || stat < 0 || stat >= static_cast<std::int32_t>(kStatFields.size())) {
        return 0;
    }
    const Field& field = kStatFields[static_cast<std::size_t>(stat)];
    return ReadField(member->recordStart + field.offset, field.width);
}

void StateDocument::SetStat(std::int32_t character, std::int32_t stat, std::uint32_t value) {
    const MemberInfo* member = FindMember(character);
    if (member == nullptr || stat < 0 || stat >= static_cast<std::int32_t>(kStatFields.size())) {
        return;
    }
    const Field& field = kStatFields[static_cast<std::size_t>(stat)];
    WriteField(member->recordStart + field.offset, field.width, value);
}

std::string StateDocument::GetName(std::int32_t character) const {
    const MemberInfo* member = FindMember(character);
    if (member == nullptr) {
        return {};
    }
    std::string name(NameCodec::kNameLength, ' ');
    for (std::size_t i = 0; i < NameCodec::kNameLength; ++i) {
        name[i] = NameCodec::Decode(Byte(member->nameSlot + i));
    }
    return name;
}

void StateDocument::SetName(std::int32_t character, std::string_view name) {
    const MemberInfo* member = FindMember(character);
    if (member == nullptr) {
        return;
    }
    const std::u32string letters = DecodeUtf8(name);
    for (std::size_t i = 0; i < NameCodec::kNameLength; ++i) {
        Byte(member->nameSlot + i) = i < letters.size() ? NameCodec::Encode(letters[i]) : 0;
    }
}

std::uint32_t StateDocument::GetGeneral(std::int32_t field) const {
    if (field < 0 || field >= static_cast<std::int32_t>(kGeneralFields.size())) {
        return 0;
    }
    const Field& f = kGeneralFields[static_cast<std::size_t>(field)];
    return ReadField(f.offset, f.width);
}

void StateDocument::SetGeneral(std::int32_t field, std::uint32_t value) {
    if (field < 0 || field >= static_cast<std::int32_t>(kGeneralFields.size())) {
        return;
    }
    const Field& f = kGeneralFields[static_cast<std::size_t>(field)];
    WriteField(f.offset, f.width, value);
}

void StateDocument::GetInventorySlot(int slot, std::uint32_t& amount, std::string& name) const {
    if (!ValidSlot(slot)) {
        return;
    }
    const auto index = static_cast<std::size_t>(slot);
    amount = Byte(kInventoryAmountStart + index);
    if (amount == 0) {
        return;
    }
    const std::string* found = m_catalog.GetItemName(Byte(kInventoryIdStart + index));
    name = found != nullptr ? *found : std::string();
}

void StateDocument::SetInventorySlot(int slot, std::uint32_t amount, std::string_view name) {
    if (!ValidSlot(slot)) {
        return;
    }
    SetInventorySlotById(slot, amount, amount == 0 ? 0 : m_catalog.GetItemId(name));
}

std::uint32_t StateDocument::GetInventoryItemId(int slot) const {
    return ValidSlot(slot) ? Byte(kInventoryIdStart + static_cast<std::size_t>(slot)) : 0;
}

void StateDocument::SetInventorySlotById(int slot, std::uint32_t amount, ItemId id) {
    if (!ValidSlot(slot)) {
        return;
    }
    const auto index = static_cast<std::size_t>(slot);
    const bool empty = amount == 0;
    Byte(kInventoryIdStart + index) = empty ? 0 : static_cast<std::uint8_t>(id);
    Byte(kInventoryAmountStart + index) = static_cast<std::uint8_t>(amount);
}

std::uint8_t StateDocument::GetTechLevel(std::int32_t character) const {
    const MemberInfo* member = FindMember(character);
    return member != nullptr ? Byte(member->techLevel) : 0;
}

void StateDocument::SetTechLevel(std::int32_t character, std::uint8_t value) {
    if (const MemberInfo* member = FindMember(character)) {
        Byte(member->techLevel) = value;
    }
}

std::uint8_t StateDocument::GetComboTech(MemberSetKey key) const {
    const auto offset = FindComboTechOffset(key);
    return offset ? Byte(*offset) : 0;
}

void StateDocument::SetComboTech(MemberSetKey key, std::uint8_t value) {
    if (const auto offset = FindComboTechOffset(key)) {
        Byte(*offset) = value;
    }
}

}  // namespace orvane
