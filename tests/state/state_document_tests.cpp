// SPDX-License-Identifier: GPL-3.0-or-later
// Saving whole files where the editor's tests cannot look: as another user, beside hard links,
// with attributes, under a kill or a failing flush. Refused files and failed saves as the user
// meets them are the editor's tests' business.

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
    const Bytes original = FillerBytes(kClassicSize);
    const fs::path loaded = dir / "loaded.zst";
    StateDocument doc;
};

TEST_F(DocumentFiles, TheOldestSizeOpensWhateverItsHeader) {
    const Bytes newerHeader = WithHeader(original, kNewHeader);
    ASSERT_TRUE(doc.Load(WriteBytes(dir / "odd.zst", newerHeader)));
    EXPECT_EQ(Image(), newerHeader);
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

// A kill must leave no file: the new content has no name until it is complete.
TEST_F(DocumentFiles, SaveKilledWhileWritingLeavesNoFileBehind) {
    doc.SetGeneral(kGeneralGold, 777);
    EXPECT_EQ(InChild([&] { return bool(doc.Save()); }, 100000, OverLimit::Kills), std::nullopt);
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(Entries(dir.Path()), Names{"loaded.zst"});
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
        EXPECT_EQ(InChild([this] { return BecomeNobody() && doc.Save(); }), true);
        ::chmod(dir.Path().c_str(), 0755);
        EXPECT_EQ(ReadBytes(loaded), Image());
        EXPECT_EQ(Entries(dir.Path()), Names{"loaded.zst"});
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
    EXPECT_EQ(Entries(dir.Path()), (Names{"loaded.zst", "other-name.zst"}));
}

TEST_F(DocumentFiles, FailedWriteInPlacePutsTheOldBytesBack) {
    fs::create_hard_link(loaded, dir / "other-name.zst");
    doc.SetGeneral(kGeneralGold, 999999);        // offset 14438, below the limit
    doc.SetGeneral(kGeneralSilverPoints, 0x5A);  // offset 68709, past it
    EXPECT_EQ(InChild([this] { return doc.Save().error == WriteError::CannotWrite; }, 50000), true);
    EXPECT_EQ(ReadBytes(loaded), original);
}

// The editor's tests ask before a Save replaces new content; these count as changes or not.
TEST_F(DocumentFiles, ChangedOnDiskGoesByTheFileNotByItsName) {
    ASSERT_TRUE(doc.SaveAs(dir / "." / "loaded.zst"));
    EXPECT_FALSE(doc.ChangedOnDisk()) << "Save As onto the loaded file counts as its save";
    const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, loaded.c_str(), times, 0), 0);
    EXPECT_TRUE(doc.ChangedOnDisk()) << "same content, another modification time";
    fs::remove(loaded);
    EXPECT_FALSE(doc.ChangedOnDisk()) << "a file that is gone has nothing to lose";
}

}  // namespace
