// SPDX-License-Identifier: GPL-3.0-or-later
#include "state_document.h"

#include "byte_order.h"
#include "file_io.h"
#include "name_codec.h"

namespace orvane {

namespace {

// Code points of zero-terminated UTF-8 text, so a name counts characters rather than bytes. A
// byte that does not start a well-formed sequence counts as one character without a code, and the
// bytes after it are decoded afresh, so a broken sequence never swallows the letter that follows.
std::u32string DecodeUtf8(std::string_view text) {
    const auto at = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::u32string out;
    for (std::size_t i = 0; i < text.size() && text[i] != '\0';) {
        const unsigned char lead = at(i);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        char32_t ch = length == 1 ? lead : lead & (0x7Fu >> length);
        bool wellFormed = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            wellFormed = (at(i + k) & 0xC0) == 0x80;
            ch = (ch << 6) | (at(i + k) & 0x3Fu);
        }
        // Overlong forms, surrogates and values past the last code point are no characters.
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        wellFormed =
            wellFormed && ch >= least[length] && ch <= 0x10FFFF && (ch < 0xD800 || ch > 0xDFFF);
        out.push_back(wellFormed ? ch : U'\uFFFD');
        i += wellFormed ? length : 1;
    }
    return out;
}

bool ValidSlot(int slot) {
    return slot >= 0 && slot < kInventorySlots;
}

// The member's name as the game shows it, in work RAM as the slot keeps it: blanks where a byte
// has no letter.
std::string NameIn(std::span<const std::uint8_t> workRam, const MemberInfo& member) {
    std::string name(NameCodec::kNameLength, ' ');
    for (std::size_t i = 0; i < NameCodec::kNameLength; ++i) {
        name[i] = NameCodec::Decode(workRam[member.nameSlot + i]);
    }
    return name;
}

// "Crono, 07:42": the first member's name and the play time, by which a player knows a save.
std::string Summary(std::span<const std::uint8_t> workRam) {
    std::string name = NameIn(workRam, kMembers[0]);
    name.erase(name.find_last_not_of(' ') + 1);
    const auto digit = [&workRam](std::size_t field) {
        return std::to_string(workRam[kGeneralFields[field].offset]);
    };
    const std::string time = digit(kGeneralHourTens) + digit(kGeneralHourUnits) + ":" +
                             digit(kGeneralMinuteTens) + digit(kGeneralMinuteUnits);
    return name.empty() ? time : name + ", " + time;
}

}  // namespace

LoadResult StateDocument::Load(const std::filesystem::path& path) {
    LoadResult result;
    result.read = ReadWholeFile(path, kDecodeLimit, m_spare);
    if (!result.read) {
        return result;
    }
    auto decoded = DecodedState::Decode(m_spare, &m_recycled);
    if (!decoded) {
        result.refusal = decoded.Refusal();
        return result;
    }
    if (m_state) {
        m_recycled = std::move(*m_state).TakeStorage();
    }
    m_state = std::move(*decoded);
    m_workRam = m_state->WorkRam();
    m_path = path;
    m_diskIdentity = result.read.identity;
    std::swap(m_onDisk, m_spare);
    return result;
}

std::vector<StoredStateSummary> StateDocument::StoredStates() const {
    std::vector<StoredStateSummary> summaries;
    if (!m_state) {
        return summaries;
    }
    for (const StoredState& state : m_state->States()) {
        const Outcome<Bytes> workRam =
            state.opens ? m_state->StoredWorkRam(summaries.size()) : Outcome<Bytes>::Refused("");
        const std::string words = workRam ? Summary(*workRam) : state.why;
        summaries.push_back({state.title, state.opens, state.blank, state.title + ": " + words});
    }
    return summaries;
}

std::string StateDocument::OpenStoredState(std::size_t state) {
    if (!m_state) {
        return "nothing is loaded";
    }
    const auto opened = m_state->OpenStoredState(state);
    m_workRam = m_state->WorkRam();
    return opened ? std::string() : opened.Refusal();
}

WriteResult StateDocument::CopyOpenStateAndSave(std::size_t to) {
    WriteResult result;
    if (!m_state) {
        result.error = WriteError::NoFolder;
        return result;
    }
    DecodedState before = *m_state;
    if (const auto copied = m_state->CopyOpenStateTo(to); !copied) {
        result.error = WriteError::CannotEncode;
        result.detail = copied.Refusal();
        return result;
    }
    result = Save();
    if (!result) {
        m_state = std::move(before);
        m_workRam = m_state->WorkRam();
    }
    return result;
}

WriteResult StateDocument::Save() {
    return SaveAs(m_path);
}

WriteResult StateDocument::SaveAs(const std::filesystem::path& path) {
    WriteResult result;
    if (!m_state) {
        result.error = WriteError::NoFolder;
        return result;
    }
    auto encoded = m_state->Encode(&m_spare);
    if (!encoded) {
        result.error = WriteError::CannotEncode;
        result.detail = encoded.Refusal();
        return result;
    }
    const bool intoLoaded = IsLoadedFile(path);
    // A compressed file half old and half new would be no state at all, and a slot torn from its
    // checksum one that the game throws away.
    const InPlace inPlace =
        m_state->Replacing() == WholeFileOnly::No ? InPlace::Allowed : InPlace::Refused;
    result = ReplaceFileContents(path, *encoded, inPlace);
    if (result && intoLoaded) {
        m_state->Saved(*encoded);
        m_diskIdentity = result.identity;
        std::swap(m_onDisk, *encoded);
    }
    m_spare = std::move(*encoded);
    return result;
}

bool StateDocument::ChangedOnDisk() {
    if (!IsLoaded()) {
        return false;
    }
    const ReadResult read = ReadWholeFile(m_path, kDecodeLimit, m_spare);
    if (read.error == ReadError::TooLarge) {
        return true;
    }
    // Gone, unreadable or no file any more: no newer state to lose, and the save says the rest.
    if (!read) {
        return false;
    }
    return read.identity.size != m_diskIdentity.size ||
           read.identity.modifiedSeconds != m_diskIdentity.modifiedSeconds ||
           read.identity.modifiedNanoseconds != m_diskIdentity.modifiedNanoseconds ||
           m_spare != m_onDisk;
}

bool StateDocument::IsLoadedFile(const std::filesystem::path& path) const {
    if (!IsLoaded()) {
        return false;
    }
    std::error_code error;
    const auto normal = [&error](const std::filesystem::path& p) {
        return std::filesystem::absolute(p, error).lexically_normal();
    };
    return normal(path) == normal(m_path) || std::filesystem::equivalent(path, m_path, error);
}

std::uint32_t StateDocument::ReadField(std::size_t offset, std::size_t width) const {
    if (offset + width > m_workRam.size()) {
        return 0;
    }
    switch (width) {
        case 1:
            return m_workRam[offset];
        case 2:
            return Read16(m_workRam, offset);
        default:
            return Read24(m_workRam, offset);
    }
}

void StateDocument::WriteField(std::size_t offset, std::size_t width, std::uint32_t value) {
    if (offset + width > m_workRam.size()) {
        return;
    }
    switch (width) {
        case 1:
            m_workRam[offset] = static_cast<std::uint8_t>(value);
            break;
        case 2:
            Write16(m_workRam, offset, value);
            break;
        default:
            Write24(m_workRam, offset, value);
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
    if (member == nullptr || m_workRam.empty()) {
        return member != nullptr ? std::string(NameCodec::kNameLength, ' ') : std::string();
    }
    return NameIn(m_workRam, *member);
}

void StateDocument::SetName(std::int32_t character, std::string_view name) {
    const MemberInfo* member = FindMember(character);
    if (member == nullptr) {
        return;
    }
    const std::u32string letters = DecodeUtf8(name);
    for (std::size_t i = 0; i < NameCodec::kNameLength; ++i) {
        WriteField(member->nameSlot + i, 1, i < letters.size() ? NameCodec::Encode(letters[i]) : 0);
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
    WriteField(kInventoryIdStart + index, 1, empty ? 0 : static_cast<std::uint8_t>(id));
    WriteField(kInventoryAmountStart + index, 1, static_cast<std::uint8_t>(amount));
}

std::uint8_t StateDocument::GetTechLevel(std::int32_t character) const {
    const MemberInfo* member = FindMember(character);
    return member != nullptr ? Byte(member->techLevel) : 0;
}

void StateDocument::SetTechLevel(std::int32_t character, std::uint8_t value) {
    if (const MemberInfo* member = FindMember(character)) {
        WriteField(member->techLevel, 1, value);
    }
}

std::uint8_t StateDocument::GetComboTech(MemberSetKey key) const {
    const auto offset = FindComboTechOffset(key);
    return offset ? Byte(*offset) : 0;
}

void StateDocument::SetComboTech(MemberSetKey key, std::uint8_t value) {
    if (const auto offset = FindComboTechOffset(key)) {
        WriteField(*offset, 1, value);
    }
}

}  // namespace orvane
