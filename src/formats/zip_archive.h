// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A ZIP archive held in memory, read and written through libzip: its entries' names, methods and
// times, an entry's bytes as they are stored, and the archive with one entry's bytes replaced.

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "byte_view.h"
#include "outcome.h"

struct zip;

namespace orvane {

// Closes an archive that libzip read without writing anything.
struct ZipDiscard {
    void operator()(zip* archive) const;
};

struct ZipEntry {
    std::string name;
    std::uint16_t method = 0;  // 0: stored as they are
    bool encrypted = false;
    std::uint64_t size = 0;
    std::uint64_t storedSize = 0;
    std::uint32_t crc = 0;
    std::time_t time = 0;  // of its last change, as libzip reads its DOS time
};

class ZipArchive {
public:
    // Whether every local header is checked against the directory on opening: where a file is
    // taken, and where what was written is checked; not again in a file taken before.
    enum class Headers { Checked, Trusted };

    // Looks at the file where it lies: the archive is valid as long as the file's bytes are.
    static Outcome<ZipArchive> Open(ByteSpan file, Headers headers = Headers::Checked);

    const std::vector<ZipEntry>& Entries() const { return m_entries; }
    // The entry's bytes as stored, compressed or not, once their CRC-32 matches.
    Outcome<Bytes> Stored(std::size_t index) const;

private:
    ZipArchive() = default;
    void ListEntries();
    // Why an archive that libzip's strict checks refused is no archive to edit; `words` are
    // libzip's own, for an archive it cannot read at all.
    static Outcome<Bytes> Inconsistent(ByteSpan file, const std::string& words);

    std::unique_ptr<zip, ZipDiscard> m_zip;
    std::vector<ZipEntry> m_entries;
    std::size_t m_fileSize = 0;
};

// The archive with entry `index` holding `bytes`, stored, with the entry's name, time and place
// kept and the CRC-32 of its new bytes; every other entry keeps its bytes and the directory its
// order. The entry's header asks for version `versionNeeded` of the format.
Outcome<Bytes> WithStoredEntry(ByteSpan file, std::size_t index, ByteSpan bytes,
                               std::uint16_t versionNeeded);

}  // namespace orvane
