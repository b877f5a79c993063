// SPDX-License-Identifier: GPL-3.0-or-later
#include "state_document.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "fixtures.h"

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

Bytes ImageOf(const StateDocument& doc) {
    return Bytes(doc.Image().begin(), doc.Image().end());
}

class DocumentFiles : public ::testing::Test {
protected:
    // A document loaded from a random image at `loaded`.
    void SetUp() override {
        original = RandomBytes(kClassicSize, 7);
        loaded = dir / "loaded.zst";
        WriteBytes(loaded, original);
        ASSERT_TRUE(doc.Load(loaded));
    }

    ScratchDir dir;
    Bytes original;
    fs::path loaded;
    StateDocument doc;
};

TEST(DocumentStart, NewDocumentIsEmptyWithItsCatalogueFilled) {
    StateDocument doc;
    EXPECT_FALSE(doc.IsLoaded());
    EXPECT_TRUE(doc.GetPath().empty());
    EXPECT_EQ(doc.Catalog().Size(), 213u);
    EXPECT_TRUE(std::all_of(doc.Image().begin(), doc.Image().end(), [](auto b) { return b == 0; }));
    EXPECT_FALSE(doc.Save()) << "nothing loaded, nowhere to save";
}

TEST_F(DocumentFiles, LoadThenSaveWritesTheSameBytes) {
    EXPECT_TRUE(doc.IsLoaded());
    EXPECT_EQ(doc.GetPath(), loaded);
    EXPECT_EQ(ImageOf(doc), original);
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(dir.Entries().size(), 1u) << "no temporary file left behind";
}

TEST_F(DocumentFiles, SaveAsWritesElsewhereAndKeepsNamingTheLoadedFile) {
    const fs::path other = dir / "other.zs1";
    doc.SetGeneral(kGeneralSaves, 4242);
    ASSERT_TRUE(doc.SaveAs(other));
    EXPECT_EQ(fs::file_size(other), kClassicSize);
    EXPECT_EQ(ReadBytes(other), ImageOf(doc));
    EXPECT_EQ(doc.GetPath(), loaded);
    EXPECT_EQ(ReadBytes(loaded), original) << "SaveAs must not touch the loaded file";

    WriteBytes(other,
               RandomBytes(kClassicSize, 99));  // an existing file is replaced without question
    ASSERT_TRUE(doc.SaveAs(other));
    EXPECT_EQ(ReadBytes(other), ImageOf(doc));
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(loaded), ImageOf(doc));
}

// A file is taken by its header and size together; anything else is refused and the document
// keeps what it had.
TEST_F(DocumentFiles, FilesOfNoKnownLayoutAreRefused) {
    const Bytes before = ImageOf(doc);
    struct Case {
        const char* name;
        Bytes bytes;
        HeaderKind header;
    };
    const Case cases[] = {
        {"empty", {}, HeaderKind::None},
        {"one byte short", RandomBytes(kClassicSize - 1, 3), HeaderKind::None},
        {"one byte long", RandomBytes(kClassicSize + 1, 3), HeaderKind::None},
        {"newer header, unknown size", WithHeader(RandomBytes(282490, 4), kNewHeader),
         HeaderKind::Known},
        {"newer header, cut short", WithHeader(RandomBytes(200000, 4), kNewHeader),
         HeaderKind::Known},
        {"newer header, larger than any", WithHeader(RandomBytes(400000, 4), kNewHeader),
         HeaderKind::Known},
        {"known size without header", RandomBytes(282459, 5), HeaderKind::None},
        {"header shifted by a byte", WithHeader(RandomBytes(282459, 5), kNewHeader, 1),
         HeaderKind::None},
        {"older header at a newer size", WithHeader(RandomBytes(282493, 6), kOldHeader),
         HeaderKind::Known},
        {"unknown version", WithHeader(RandomBytes(282459, 7), "ZSNES Save State File V150\x1A"),
         HeaderKind::Unknown},
    };
    for (const Case& c : cases) {
        const fs::path path = dir / "refused.zst";
        WriteBytes(path, c.bytes);
        const LoadResult result = doc.Load(path);
        EXPECT_FALSE(result) << c.name;
        EXPECT_TRUE(result.read) << c.name << ": the file itself was readable";
        EXPECT_EQ(result.read.identity.size, c.bytes.size()) << c.name;
        EXPECT_EQ(result.recognition.headerKind, c.header) << c.name;
        EXPECT_EQ(doc.GetPath(), loaded) << c.name;
        EXPECT_EQ(ImageOf(doc), before) << c.name;
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.name;
    }
    WriteBytes(dir / "v150.zst", WithHeader(Bytes(300, 0), "ZSNES Save State File V150\x1A"));
    EXPECT_EQ(doc.Load(dir / "v150.zst").recognition.version, "V150");
}

TEST_F(DocumentFiles, AFileOfTheOldSizeOpensWhateverItsHeader) {
    const Bytes newerHeader = WithHeader(RandomBytes(kClassicSize, 8), kNewHeader);
    WriteBytes(dir / "odd.zst", newerHeader);
    ASSERT_TRUE(doc.Load(dir / "odd.zst"));
    EXPECT_EQ(doc.Layout().size, kClassicSize);
    EXPECT_EQ(ImageOf(doc), newerHeader);
}

TEST_F(DocumentFiles, WhatIsNoFileIsRefusedWithoutOpeningIt) {
    const Bytes before = ImageOf(doc);
    const LoadResult missing = doc.Load(dir / "missing.zst");
    EXPECT_EQ(missing.read.error, ReadError::CannotOpen);
    EXPECT_EQ(missing.read.systemError, ENOENT);
    EXPECT_EQ(doc.Load(dir.Path()).read.error, ReadError::NotRegularFile);
    // Opening a FIFO for reading blocks until a writer comes; Load must return at once.
    const fs::path fifo = dir / "fifo.zst";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(doc.Load(fifo).read.error, ReadError::NotRegularFile);
    EXPECT_EQ(doc.GetPath(), loaded);
    EXPECT_EQ(ImageOf(doc), before);
}

TEST(DocumentLoad, FailedFirstLoadLeavesTheDocumentEmpty) {
    ScratchDir dir;
    WriteBytes(dir / "short.zst", Bytes(100, 0xAA));
    StateDocument doc;
    EXPECT_FALSE(doc.Load(dir / "short.zst"));
    EXPECT_FALSE(doc.IsLoaded());
    EXPECT_TRUE(doc.GetPath().empty());
}

TEST(DocumentLoad, LongAndNonAsciiPathsWork) {
    ScratchDir dir;
    fs::path deep = dir.Path();
    while (deep.string().size() < 400) {
        deep /= "Zeitreise-Überfahrt-時の旅";
    }
    fs::create_directories(deep);
    const fs::path file = deep / "Spielstand ✓.zst";
    const Bytes bytes = RandomBytes(kClassicSize, 11);
    WriteBytes(file, bytes);

    StateDocument doc;
    ASSERT_TRUE(doc.Load(file));
    EXPECT_EQ(doc.GetPath(), file);
    doc.SetGeneral(kGeneralGold, 1);
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(file), ImageOf(doc));
}

TEST_F(DocumentFiles, SaveKeepsPermissionBitsAndFollowsSymlinks) {
    ASSERT_EQ(::chmod(loaded.c_str(), 0640), 0);
    doc.SetGeneral(kGeneralGold, 5);
    ASSERT_TRUE(doc.Save());
    struct stat st {};
    ASSERT_EQ(::stat(loaded.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const fs::path link = dir / "link.zst";
    fs::create_symlink(loaded, link);
    doc.SetGeneral(kGeneralGold, 6);
    ASSERT_TRUE(doc.SaveAs(link));
    EXPECT_TRUE(fs::is_symlink(link)) << "the link itself must survive";
    EXPECT_EQ(ReadBytes(loaded), ImageOf(doc));
}

// Each failing save must leave the target exactly as it was and no temporary file beside it.
TEST_F(DocumentFiles, ReadOnlyTargetIsRefusedEvenForRoot) {
    ASSERT_EQ(::chmod(loaded.c_str(), 0444), 0);
    doc.SetGeneral(kGeneralGold, 123456);
    EXPECT_FALSE(doc.Save());
    EXPECT_FALSE(doc.SaveAs(loaded));
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"loaded.zst"});
}

TEST_F(DocumentFiles, MissingDirectoryAndDirectoryTargetFail) {
    EXPECT_FALSE(doc.SaveAs(dir / "no-such-folder" / "x.zst"));
    EXPECT_FALSE(doc.SaveAs(""));

    const fs::path folder = dir / "folder.zst";
    fs::create_directory(folder);
    EXPECT_FALSE(doc.SaveAs(folder));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));

    fs::remove(loaded);
    fs::create_directory(loaded);  // the loaded file replaced by a directory after Open
    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST_F(DocumentFiles, FullDiskLeavesTargetAndNoTemporary) {
    doc.SetGeneral(kGeneralGold, 777);
    const std::optional<bool> failed = RunWithFileSizeLimit(100000, [this] { return !doc.Save(); });
    ASSERT_TRUE(failed.has_value());
    EXPECT_TRUE(*failed) << "Save must report the short write";
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"loaded.zst"});
}

// A save killed while it writes must leave nothing beside the state: the new content has no
// name until it is complete.
TEST_F(DocumentFiles, SaveKilledWhileWritingLeavesNoFileBehind) {
    doc.SetGeneral(kGeneralGold, 777);
    const int status = InChild([this] {
        LimitFileSize(100000, OverLimit::Kills);
        return doc.Save() ? 0 : 1;
    });
    EXPECT_EQ(status, -1) << "the child should have been killed";
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"loaded.zst"});
}

TEST_F(DocumentFiles, SaveKeepsExtendedAttributesAndAcls) {
    if (::setxattr(loaded.c_str(), "user.origin", "emulator", 8, 0) != 0) {
        GTEST_SKIP() << "no user attributes on this file system";
    }
    // An access ACL giving user 4321 read access: version 2, then tag, permissions and id each.
    const std::uint8_t acl[] = {2,    0,    0,    0,    1,    0,    6,    0,    0xFF, 0xFF, 0xFF,
                                0xFF, 2,    0,    4,    0,    0xE1, 0x10, 0,    0,    4,    0,
                                4,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0,    4,    0,    0xFF,
                                0xFF, 0xFF, 0xFF, 0x20, 0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF};
    const bool haveAcl =
        ::setxattr(loaded.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;
    doc.SetGeneral(kGeneralGold, 5);
    ASSERT_TRUE(doc.Save());
    char value[16] = {};
    EXPECT_EQ(::getxattr(loaded.c_str(), "user.origin", value, sizeof value), 8);
    EXPECT_EQ(std::string(value), "emulator");
    if (haveAcl) {
        std::uint8_t kept[64] = {};
        EXPECT_EQ(::getxattr(loaded.c_str(), "system.posix_acl_access", kept, sizeof kept),
                  static_cast<ssize_t>(sizeof acl));
        EXPECT_TRUE(std::equal(std::begin(acl), std::end(acl), kept));
    }
    EXPECT_EQ(ReadBytes(loaded), ImageOf(doc));
}

// Where no new file can take the target's place, the changed bytes are written in place.
TEST_F(DocumentFiles, HardLinkedFileIsWrittenInPlaceSoEveryNameSeesIt) {
    const fs::path other = dir / "other-name.zst";
    fs::create_hard_link(loaded, other);
    doc.SetGeneral(kGeneralGold, 31337);
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(other), ImageOf(doc));
    EXPECT_EQ(fs::hard_link_count(loaded), 2u);
}

TEST_F(DocumentFiles, FileInAFolderTheUserCannotWriteIsWrittenInPlace) {
    ASSERT_EQ(::chmod(loaded.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
    doc.SetGeneral(kGeneralGold, 4242);
    const int status = InChild([this] { return BecomeNobody() && doc.Save() ? 0 : 1; });
    ::chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(loaded), ImageOf(doc));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"loaded.zst"});
}

TEST_F(DocumentFiles, AnotherUsersFileInAStickyFolderIsWrittenInPlace) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs a file of another user";
    }
    ASSERT_EQ(::chmod(loaded.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 01777), 0);
    doc.SetGeneral(kGeneralGold, 4343);
    const int status = InChild([this] { return BecomeNobody() && doc.Save() ? 0 : 1; });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(loaded), ImageOf(doc));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"loaded.zst"});
}

TEST_F(DocumentFiles, FailedWriteInPlacePutsTheOldBytesBack) {
    fs::create_hard_link(loaded, dir / "other-name.zst");
    doc.SetGeneral(kGeneralGold, 999999);        // offset 14438, below the limit
    doc.SetGeneral(kGeneralSilverPoints, 0x5A);  // offset 68709, past it
    const int status = InChild([this] {
        LimitFileSize(50000);
        const WriteResult result = doc.Save();
        return !result && result.error == WriteError::CannotWrite ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(loaded), original);
}

TEST(DocumentSave, NamesAsLongAsTheFileSystemAllows) {
    ScratchDir dir;
    const fs::path file = dir / (std::string(250, 'n') + ".zst");
    WriteBytes(file, RandomBytes(kClassicSize, 12));
    StateDocument doc;
    ASSERT_TRUE(doc.Load(file));
    doc.SetGeneral(kGeneralGold, 2);
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(file), ImageOf(doc));
}

// The emulator writes the same slot file whenever the player saves there.
TEST_F(DocumentFiles, ChangesOnDiskAreNoticedButNotTheDocumentsOwnSaves) {
    EXPECT_FALSE(doc.ChangedOnDisk());
    doc.SetGeneral(kGeneralGold, 1);
    ASSERT_TRUE(doc.Save());
    EXPECT_FALSE(doc.ChangedOnDisk()) << "its own save is what it knows";

    Bytes newer = ImageOf(doc);
    newer[100] ^= 0xFF;
    WriteBytes(loaded, newer);
    EXPECT_TRUE(doc.ChangedOnDisk()) << "new content";
    ASSERT_TRUE(doc.SaveAs(dir / "loaded.zst"));
    EXPECT_FALSE(doc.ChangedOnDisk()) << "Save As onto the loaded file counts as its save";

    const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, loaded.c_str(), times, 0), 0);
    EXPECT_TRUE(doc.ChangedOnDisk()) << "same content, another modification time";
    fs::remove(loaded);
    EXPECT_FALSE(doc.ChangedOnDisk()) << "a file that is gone has nothing to lose";
    EXPECT_TRUE(doc.IsLoadedFile(dir / "." / "loaded.zst"));
}

}  // namespace
