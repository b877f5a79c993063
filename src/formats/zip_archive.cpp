// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip_archive.h"

#include <zip.h>

#include <algorithm>
#include <cstring>

namespace orvane {

namespace {

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourceHandle = std::unique_ptr<zip_source_t, SourceFree>;

struct FileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

struct ErrorText {
    zip_error_t error;
    ErrorText() { zip_error_init(&error); }
    ~ErrorText() { zip_error_fini(&error); }
    ErrorText(const ErrorText&) = delete;
    ErrorText& operator=(const ErrorText&) = delete;
    std::string Words() { return zip_error_strerror(&error); }
};

// The archive in the file's own bytes.
zip_t* OpenInPlace(ByteSpan file, int flags, zip_source_t*& source, ErrorText& error) {
    source = zip_source_buffer_create(file.data(), file.size(), 0, &error.error);
    if (source == nullptr) {
        return nullptr;
    }
    zip_t* archive = zip_open_from_source(source, flags, &error.error);
    if (archive == nullptr) {
        zip_source_free(source);
        source = nullptr;
    }
    return archive;
}

// Every local header is checked against the directory, and every entry's place against the
// file: libzip reads them again when it writes the archive, and an archive it cannot write is no
// archive to edit.
constexpr int kChecked = ZIP_CHECKCONS;

const char* const kRunsPast = "it runs past the end of the file";

Outcome<Bytes> NoArchive(const std::string& words) {
    return Outcome<Bytes>::Refused("it is a ZIP file whose directory cannot be read (" + words +
                                   ")");
}

// An entry's new bytes as libzip reads them, with the version its header asks for: a buffer
// source would have it ask for the least its method needs.
struct EntryBytes {
    ByteSpan bytes;
    std::uint16_t versionNeeded;
    std::size_t at = 0;
    zip_error_t error{};
};

zip_int64_t ReadEntryBytes(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    EntryBytes& entry = *static_cast<EntryBytes*>(state);
    switch (command) {
        case ZIP_SOURCE_OPEN:
            entry.at = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const std::size_t count = static_cast<std::size_t>(
                std::min<zip_uint64_t>(length, entry.bytes.size() - entry.at));
            std::memcpy(data, entry.bytes.data() + entry.at, count);
            entry.at += count;
            return static_cast<zip_int64_t>(count);
        }
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->size = entry.bytes.size();
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_GET_FILE_ATTRIBUTES: {
            auto* attributes = static_cast<zip_file_attributes_t*>(data);
            attributes->valid |= ZIP_FILE_ATTRIBUTES_VERSION_NEEDED;
            attributes->version_needed = entry.versionNeeded;
            return sizeof(zip_file_attributes_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&entry.error, data, length);
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(
                ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_GET_FILE_ATTRIBUTES, -1);
        default:
            zip_error_set(&entry.error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

}  // namespace

void ZipDiscard::operator()(zip* archive) const {
    zip_discard(archive);
}

Outcome<ZipArchive> ZipArchive::Open(ByteSpan file, Headers headers) {
    ErrorText error;
    zip_source_t* source = nullptr;
    ZipArchive archive;
    archive.m_zip.reset(OpenInPlace(file, ZIP_RDONLY | (headers == Headers::Checked ? kChecked : 0),
                                    source, error));
    archive.m_fileSize = file.size();
    if (!archive.m_zip) {
        return Outcome<ZipArchive>::Refused(Inconsistent(file, error.Words()));
    }
    archive.ListEntries();
    return archive;
}

// Which entry fails the checks, where the directory reads without them.
Outcome<Bytes> ZipArchive::Inconsistent(ByteSpan file, const std::string& words) {
    ErrorText again;
    zip_source_t* source = nullptr;
    ZipArchive loose;
    loose.m_zip.reset(OpenInPlace(file, ZIP_RDONLY, source, again));
    loose.m_fileSize = file.size();
    if (!loose.m_zip) {
        return NoArchive(words);
    }
    loose.ListEntries();
    // An entry read from the wrong place fails its CRC-32 too; that says nothing of the cause.
    for (std::size_t i = 0; i < loose.m_entries.size(); ++i) {
        if (const auto stored = loose.Stored(i); !stored && stored.Refusal() == kRunsPast) {
            return Outcome<Bytes>::Refused("it is a ZIP file whose entry \"" +
                                           Printable(loose.m_entries[i].name) + "\" " +
                                           stored.Refusal().substr(3));
        }
    }
    return Outcome<Bytes>::Refused("it is a ZIP file whose entries do not match its directory");
}

void ZipArchive::ListEntries() {
    const zip_int64_t count = zip_get_num_entries(m_zip.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        // Nameless where libzip cannot say, so that the list keeps libzip's numbering.
        ZipEntry& entry = m_entries.emplace_back();
        zip_stat_t stat;
        if (zip_stat_index(m_zip.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
            continue;
        }
        entry.name = stat.name != nullptr ? stat.name : "";
        entry.method = static_cast<std::uint16_t>(stat.comp_method);
        entry.encrypted = stat.encryption_method != ZIP_EM_NONE;
        entry.size = stat.size;
        entry.storedSize = stat.comp_size;
        entry.crc = stat.crc;
        entry.time = stat.mtime;
    }
}

Outcome<Bytes> ZipArchive::Stored(std::size_t index) const {
    const ZipEntry& entry = m_entries.at(index);
    const auto cutShort = [] { return Outcome<Bytes>::Refused(kRunsPast); };
    // Before anything is taken for it: an entry holds no more than the whole file.
    if (entry.storedSize > m_fileSize) {
        return cutShort();
    }
    const std::unique_ptr<zip_file_t, FileClose> file(
        zip_fopen_index(m_zip.get(), index, ZIP_FL_COMPRESSED));
    if (!file) {
        return cutShort();
    }
    Bytes bytes(static_cast<std::size_t>(entry.storedSize));
    if (zip_fread(file.get(), bytes.data(), bytes.size()) !=
        static_cast<zip_int64_t>(bytes.size())) {
        return cutShort();
    }
    // libzip sums a stored entry's CRC-32 as it reads and compares it at the end.
    std::uint8_t beyond = 0;
    if (zip_fread(file.get(), &beyond, 1) != 0) {
        return zip_error_code_zip(zip_file_get_error(file.get())) == ZIP_ER_CRC
                   ? Outcome<Bytes>::Refused("it is damaged: its bytes do not match its CRC-32")
                   : cutShort();
    }
    return bytes;
}

Outcome<Bytes> WithStoredEntry(ByteSpan file, std::size_t index, ByteSpan bytes,
                               std::uint16_t versionNeeded) {
    ErrorText error;
    zip_source_t* opened = nullptr;
    zip_t* raw = OpenInPlace(file, kChecked, opened, error);
    if (raw == nullptr) {
        return NoArchive(error.Words());
    }
    // The archive is written into the source that held the file: kept, it outlives the archive.
    zip_source_keep(opened);
    const SourceHandle source(opened);
    std::unique_ptr<zip_t, ZipDiscard> archive(raw);
    zip_stat_t stat;
    if (zip_stat_index(raw, index, 0, &stat) != 0) {
        return Outcome<Bytes>::Refused("it is a ZIP file without the entry to write");
    }
    EntryBytes entry{bytes, versionNeeded};
    SourceHandle replacement(zip_source_function(raw, ReadEntryBytes, &entry));
    if (!replacement || zip_file_replace(raw, index, replacement.get(), 0) != 0) {
        return Outcome<Bytes>::Refused("there was not enough memory to write it");
    }
    replacement.release();
    if (zip_set_file_compression(raw, index, ZIP_CM_STORE, 0) != 0 ||
        zip_file_set_mtime(raw, index, stat.mtime, 0) != 0 || zip_close(raw) != 0) {
        return Outcome<Bytes>::Refused("libzip could not write it (" +
                                       std::string(zip_strerror(raw)) + ")");
    }
    archive.release();
    zip_stat_t written;
    zip_stat_init(&written);
    if (zip_source_stat(source.get(), &written) != 0 || (written.valid & ZIP_STAT_SIZE) == 0 ||
        zip_source_open(source.get()) != 0) {
        return Outcome<Bytes>::Refused("libzip could not write it");
    }
    Bytes out(static_cast<std::size_t>(written.size));
    const zip_int64_t read = zip_source_read(source.get(), out.data(), out.size());
    zip_source_close(source.get());
    if (read != static_cast<zip_int64_t>(out.size())) {
        return Outcome<Bytes>::Refused("libzip could not write it");
    }
    return out;
}

}  // namespace orvane
