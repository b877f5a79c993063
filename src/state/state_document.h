// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one model object of the editor: the loaded file's path, its decoded state, the item
// catalogue, and the typed accessors through which pages read and change game fields in the
// state's work RAM.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decoded_state.h"
#include "equipment_lists.h"
#include "field_map.h"
#include "file_io.h"
#include "item_catalog.h"
#include "warning_sink.h"

namespace orvane {

// How a load went: reading the file, then decoding it. A file that was read but is no state
// this program knows is refused with what was found.
struct LoadResult {
    ReadResult read;
    std::string refusal;  // "it is a snes9x state whose RAM block is 131071 bytes long"

    explicit operator bool() const { return read && refusal.empty(); }
};

// One of the states a file keeps, such as a battery save's slots, in words: "Slot 1: Crono,
// 07:42", or "Slot 2: never saved".
struct StoredStateSummary {
    std::string title;  // "Slot 1"
    bool opens = true;
    bool blank = false;  // never written: replacing it loses nothing
    std::string label;
};

class StateDocument {
public:
    StateDocument() = default;
    StateDocument(const StateDocument&) = delete;
    StateDocument& operator=(const StateDocument&) = delete;

    // Takes the file only when it reads fully and decodes as a state this program knows; on any
    // failure the path and the state stay as they were.
    LoadResult Load(const std::filesystem::path& path);

    // Replaces the loaded file with the state encoded in the container it was read from; a
    // failure leaves the file byte for byte as it was.
    WriteResult Save();
    // Writes to another file, which may not exist yet, in the loaded file's format; the document
    // keeps naming the loaded one.
    WriteResult SaveAs(const std::filesystem::path& path);

    // The states the loaded file keeps, one of them open; none where it is one state of its own.
    std::vector<StoredStateSummary> StoredStates() const;
    std::size_t OpenState() const { return m_state ? m_state->OpenState() : 0; }
    // Opens another of the file's states, dropping the open one's edits; the refusal when it
    // does not open.
    std::string OpenStoredState(std::size_t state);
    // Whether the open one of several states was changed since it was opened or last saved.
    bool HasUnsavedEdits() const { return m_state && m_state->OpenStateEdited(); }
    // Makes state `to` a copy of the open state as edited and saves the file, the open state's
    // edits with it; when the save fails, the document is as it was.
    WriteResult CopyOpenStateAndSave(std::size_t to);

    // Whether the loaded file on disk is no longer what was loaded or last saved there (its size,
    // modification time or content differ), as when the emulator saved into it meanwhile. A file
    // that is gone or cannot be read has no newer state to lose and does not count.
    bool ChangedOnDisk();
    // Whether path names the loaded file, by another name too.
    bool IsLoadedFile(const std::filesystem::path& path) const;

    bool IsLoaded() const { return !m_path.empty(); }
    const std::filesystem::path& GetPath() const { return m_path; }
    // The loaded state; null before any load.
    const DecodedState* State() const { return m_state ? &*m_state : nullptr; }

    void SetWarningSink(WarningSink sink) { m_catalog.SetWarningSink(std::move(sink)); }

    // Member records. Unknown members or stats read as 0 and store nothing.
    std::uint32_t GetStat(std::int32_t character, std::int32_t stat) const;
    void SetStat(std::int32_t character, std::int32_t stat, std::uint32_t value);

    // Always five characters, blanks where a byte has no letter.
    std::string GetName(std::int32_t character) const;
    // Takes the first five characters of UTF-8 text and pads the slot with 0x00.
    void SetName(std::int32_t character, std::string_view name);

    std::uint32_t GetGeneral(std::int32_t field) const;
    void SetGeneral(std::int32_t field, std::uint32_t value);

    int GetInventorySize() const { return kInventorySlots; }
    // Amount 0 leaves the name as it was. An ID without a catalogue name warns and yields an
    // empty name; GetInventoryItemId tells which ID it was.
    void GetInventorySlot(int slot, std::uint32_t& amount, std::string& name) const;
    // Amount 0 clears the slot; an unknown name warns and stores ID 0.
    void SetInventorySlot(int slot, std::uint32_t amount, std::string_view name);
    // The raw ID byte and a write by ID, so a slot whose ID the catalogue lacks survives a save.
    std::uint32_t GetInventoryItemId(int slot) const;
    void SetInventorySlotById(int slot, std::uint32_t amount, ItemId id);

    std::uint8_t GetTechLevel(std::int32_t character) const;
    void SetTechLevel(std::int32_t character, std::uint8_t value);

    std::uint8_t GetComboTech(MemberSetKey key) const;
    void SetComboTech(MemberSetKey key, std::uint8_t value);

    const ItemCatalog& Catalog() const { return m_catalog; }
    const std::string* GetItemName(ItemId id) const { return m_catalog.GetItemName(id); }
    ItemId GetItemId(std::string_view name) const { return m_catalog.GetItemId(name); }

    template <typename Sink>
    void FillArmorList(Sink&& out, int portraitId) const {
        FillEquipmentList(m_catalog, EquipmentSlot::Armor, portraitId, out);
    }
    template <typename Sink>
    void FillHelmetList(Sink&& out, int portraitId) const {
        FillEquipmentList(m_catalog, EquipmentSlot::Helmet, portraitId, out);
    }
    template <typename Sink>
    void FillWeaponList(Sink&& out, int portraitId) const {
        FillEquipmentList(m_catalog, EquipmentSlot::Weapon, portraitId, out);
    }
    template <typename Sink>
    void FillAccessoryList(Sink&& out, int portraitId) const {
        FillEquipmentList(m_catalog, EquipmentSlot::Accessory, portraitId, out);
    }

private:
    // Work-RAM places of the field map; before any load nothing is read or written.
    std::uint32_t ReadField(std::size_t offset, std::size_t width) const;
    void WriteField(std::size_t offset, std::size_t width, std::uint32_t value);
    std::uint8_t Byte(std::size_t offset) const { return ReadField(offset, 1); }

    std::filesystem::path m_path;
    FileIdentity m_diskIdentity;
    // The bytes on disk after the last load or save there, to tell whether the file changed;
    // a copy costs less than hashing them.
    Bytes m_onDisk;
    std::optional<DecodedState> m_state;
    // Memory kept from one load or save to the next, for a file read or written and for a
    // decoded stream: fresh pages from the system cost more than the work itself.
    Bytes m_spare;
    Bytes m_recycled;
    std::span<std::uint8_t> m_workRam;  // in m_state's stream
    ItemCatalog m_catalog;
};

}  // namespace orvane
