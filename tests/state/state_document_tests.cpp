// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving whole files: what is refused, and that a failed save leaves the target as
// it was with nothing beside it.

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

using Names = std::vector<std::string>;

class DocumentFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(doc.Load(WriteBytes(loaded, original))); }
    Bytes Image() const { return Bytes(doc.Image().begin(), doc.Image().end()); }

    ScratchDir dir;
    const Bytes original = RandomBytes(kClassicSize, 7);
    const fs::path loaded = dir / "loaded.zst";
    StateDocument doc;
};

// A file is taken by its header and size together; a refused one leaves the document as it was.
TEST_F(DocumentFiles, OnlyFilesOfAKnownLayoutAreTaken) {
    const auto file = [](std::size_t size, std::string_view header = {}, std::size_t at = 0) {
        return WithHeader(RandomBytes(size, 3), header, at);
    };
    const std::tuple<const char*, Bytes, HeaderKind> cases[] = {
        {"empty", {}, HeaderKind::None},
        {"one byte short", file(kClassicSize - 1), HeaderKind::None},
        {"one byte long", file(kClassicSize + 1), HeaderKind::None},
        {"newer header, unknown size", file(282490, kNewHeader), HeaderKind::Known},
        {"newer header, cut short", file(200000, kNewHeader), HeaderKind::Known},
        {"newer header, larger than any", file(400000, kNewHeader), HeaderKind::Known},
        {"newer size without header", file(282459), HeaderKind::None},
        {"header shifted by a byte", file(282459, kNewHeader, 1), HeaderKind::None},
        {"older header at a newer size", file(282493, kOldHeader), HeaderKind::Known},
        {"unknown version", file(282459, "ZSNES Save State File V150\x1A"), HeaderKind::Unknown},
    };
    for (const auto& [name, bytes, header] : cases) {
        SCOPED_TRACE(name);
        const LoadResult result = doc.Load(WriteBytes(dir / "refused.zst", bytes));
        EXPECT_FALSE(result);
        EXPECT_TRUE(result.read) << "the file itself was readable";
        EXPECT_EQ(result.read.identity.size, bytes.size());
        EXPECT_EQ(result.recognition.headerKind, header);
        EXPECT_EQ(doc.GetPath(), loaded);
        EXPECT_EQ(Image(), original);
    }
    EXPECT_EQ(doc.Load(dir / "refused.zst").recognition.version, "V150");
    // The oldest size opens whatever its header.
    const Bytes newerHeader = file(kClassicSize, kNewHeader);
    ASSERT_TRUE(doc.Load(WriteBytes(dir / "odd.zst", newerHeader)));
    EXPECT_EQ(Image(), newerHeader);
}

TEST_F(DocumentFiles, WhatIsNoFileIsRefusedWithoutOpeningIt) {
    const LoadResult missing = doc.Load(dir / "missing.zst");
    EXPECT_EQ(missing.read.error, ReadError::CannotOpen);
    EXPECT_EQ(missing.read.systemError, ENOENT);
    EXPECT_EQ(doc.Load(dir.Path()).read.error, ReadError::NotRegularFile);
    // Opening a FIFO for reading blocks until a writer comes; Load must return at once.
    ASSERT_EQ(::mkfifo((dir / "fifo.zst").c_str(), 0600), 0);
    EXPECT_EQ(doc.Load(dir / "fifo.zst").read.error, ReadError::NotRegularFile);
    EXPECT_EQ(doc.GetPath(), loaded);
    EXPECT_EQ(Image(), original);

    StateDocument empty;
    EXPECT_FALSE(empty.Load(WriteBytes(dir / "short.zst", Bytes(100, 0xAA))));
    EXPECT_FALSE(empty.IsLoaded());
    EXPECT_FALSE(empty.Save()) << "nothing loaded, nowhere to save";
}

TEST_F(DocumentFiles, SaveAsWritesElsewhereAndKeepsNamingTheLoadedFile) {
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(loaded), original);
    const fs::path other = WriteBytes(dir / "other.zs1", RandomBytes(kClassicSize, 99));
    doc.SetGeneral(kGeneralSaves, 4242);
    ASSERT_TRUE(doc.SaveAs(other)) << "an existing file is replaced without question";
    EXPECT_EQ(ReadBytes(other), Image());
    EXPECT_EQ(doc.GetPath(), loaded);
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(dir.Entries(), (Names{"loaded.zst", "other.zs1"})) << "no temporary file left";
}

TEST_F(DocumentFiles, LongAndNonAsciiPathsWork) {
    fs::path deep = dir.Path();
    while (deep.string().size() < 400) {
        deep /= "Zeitreise-Überfahrt-時の旅";
    }
    fs::create_directories(deep);
    const fs::path file = deep / (std::string(247, 'n') + "✓.zst");  // as long as names may be
    ASSERT_TRUE(doc.Load(WriteBytes(file, original)));
    doc.SetGeneral(kGeneralGold, 1);
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(file), Image());
}

TEST_F(DocumentFiles, SaveKeepsPermissionBitsAttributesAndSymlinks) {
    ASSERT_EQ(::chmod(loaded.c_str(), 0640), 0);
    const bool attributes = ::setxattr(loaded.c_str(), "user.origin", "emulator", 8, 0) == 0;
    doc.SetGeneral(kGeneralGold, 5);
    ASSERT_TRUE(doc.Save());
    struct stat st {};
    ASSERT_EQ(::stat(loaded.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    char value[16] = {};
    if (attributes) {
        EXPECT_EQ(::getxattr(loaded.c_str(), "user.origin", value, sizeof value), 8);
        EXPECT_EQ(std::string(value), "emulator");
    }
    const fs::path link = dir / "link.zst";
    fs::create_symlink(loaded, link);
    doc.SetGeneral(kGeneralGold, 6);
    ASSERT_TRUE(doc.SaveAs(link));
    EXPECT_TRUE(fs::is_symlink(link)) << "the link itself must survive";
    EXPECT_EQ(ReadBytes(loaded), Image());
}

// Each failing save must leave the target exactly as it was and no temporary file beside it.
TEST_F(DocumentFiles, TargetsThatCannotBeWrittenAreRefused) {
    ASSERT_EQ(::chmod(loaded.c_str(), 0444), 0);
    doc.SetGeneral(kGeneralGold, 123456);
    EXPECT_FALSE(doc.Save()) << "even for root";
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_FALSE(doc.SaveAs(dir / "no-such-folder" / "x.zst"));
    EXPECT_FALSE(doc.SaveAs(""));
    fs::create_directory(dir / "folder.zst");
    EXPECT_FALSE(doc.SaveAs(dir / "folder.zst"));
    EXPECT_TRUE(fs::is_empty(dir / "folder.zst"));
    EXPECT_EQ(dir.Entries(), (Names{"folder.zst", "loaded.zst"}));
}

// A full disk makes the save fail; a kill must leave no file either: the new content has no
// name until it is complete.
TEST_F(DocumentFiles, SaveCutShortLeavesTheTargetAndNoTemporary) {
    doc.SetGeneral(kGeneralGold, 777);
    for (OverLimit overLimit : {OverLimit::Fails, OverLimit::Kills}) {
        const int status = InChild([&] {
            LimitFileSize(100000, overLimit);
            return doc.Save() ? 0 : 1;
        });
        EXPECT_EQ(status, overLimit == OverLimit::Fails ? 1 : -1);
        EXPECT_EQ(ReadBytes(loaded), original);
        EXPECT_EQ(dir.Entries(), Names{"loaded.zst"});
    }
}

// Where no new file can take the target's place, the changed bytes are written in place: beside
// another hard link, in a folder the user cannot write, as another user's file in a sticky folder.
TEST_F(DocumentFiles, FilesThatCannotBeReplacedAreWrittenInPlace) {
    fs::create_hard_link(loaded, dir / "other-name.zst");
    doc.SetGeneral(kGeneralGold, 31337);
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(dir / "other-name.zst"), Image());
    fs::remove(dir / "other-name.zst");
    ASSERT_EQ(::chmod(loaded.c_str(), 0666), 0);
    for (mode_t folder : {0555, 01777}) {
        ASSERT_EQ(::chmod(dir.Path().c_str(), folder), 0);
        doc.SetGeneral(kGeneralGold, folder);
        EXPECT_EQ(InChild([this] { return BecomeNobody() && doc.Save() ? 0 : 1; }), 0);
        ::chmod(dir.Path().c_str(), 0755);
        EXPECT_EQ(ReadBytes(loaded), Image());
        EXPECT_EQ(dir.Entries(), Names{"loaded.zst"});
    }
}

// The new content must be on the disk before it replaces the target, in place or by a new file.
TEST_F(DocumentFiles, FailedFlushFailsTheSaveAndKeepsTheTarget) {
    doc.SetGeneral(kGeneralGold, 4711);
    FailFlushes(true);
    EXPECT_EQ(doc.Save().error, WriteError::CannotWrite);
    EXPECT_EQ(ReadBytes(loaded), original);
    fs::create_hard_link(loaded, dir / "other-name.zst");
    EXPECT_EQ(doc.Save().error, WriteError::CannotWrite);
    EXPECT_EQ(ReadBytes(loaded), original);
    FailFlushes(false);
    EXPECT_EQ(dir.Entries(), (Names{"loaded.zst", "other-name.zst"}));
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

// The emulator writes the same slot file whenever the player saves there.
TEST_F(DocumentFiles, ChangesOnDiskAreNoticedButNotTheDocumentsOwnSaves) {
    EXPECT_FALSE(doc.ChangedOnDisk());
    doc.SetGeneral(kGeneralGold, 1);
    ASSERT_TRUE(doc.Save());
    EXPECT_FALSE(doc.ChangedOnDisk()) << "its own save is what it knows";
    Bytes newer = Image();
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
