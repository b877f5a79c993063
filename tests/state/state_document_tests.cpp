#include "state_document.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "state_files.h"

using namespace orvane;
using namespace testfiles;
namespace fs = std::filesystem;

namespace {

Bytes ImageOf(const StateDocument& doc) {
    return Bytes(doc.Image().begin(), doc.Image().end());
}

class DocumentFiles : public ::testing::Test {
protected:
    // A document loaded from a random image at `loaded`.
    void SetUp() override {
        original = RandomImage(7);
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
    EXPECT_EQ(fs::file_size(other), kImageSize);
    EXPECT_EQ(ReadBytes(other), ImageOf(doc));
    EXPECT_EQ(doc.GetPath(), loaded);
    EXPECT_EQ(ReadBytes(loaded), original) << "SaveAs must not touch the loaded file";

    WriteBytes(other, RandomImage(99));  // an existing file is replaced without question
    ASSERT_TRUE(doc.SaveAs(other));
    EXPECT_EQ(ReadBytes(other), ImageOf(doc));
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(loaded), ImageOf(doc));
}

TEST_F(DocumentFiles, RefusedLoadsKeepPathAndImage) {
    const Bytes before = ImageOf(doc);
    struct Case {
        const char* name;
        std::size_t size;
    };
    for (const Case& c : {Case{"empty.zst", 0}, Case{"short.zst", kImageSize - 1},
                          Case{"long.zst", kImageSize + 1}, Case{"tiny.zst", 14432}}) {
        const fs::path path = dir / c.name;
        WriteBytes(path, RandomBytes(c.size, 3));
        const LoadResult result = doc.Load(path);
        EXPECT_FALSE(result) << c.name;
        EXPECT_EQ(result.error, LoadError::WrongSize) << c.name;
        EXPECT_EQ(result.sizeFound, c.size) << c.name;
        EXPECT_EQ(doc.GetPath(), loaded);
        EXPECT_EQ(ImageOf(doc), before);
    }

    EXPECT_EQ(doc.Load(dir / "missing.zst").error, LoadError::CannotOpen);
    EXPECT_EQ(doc.Load(dir.Path()).error, LoadError::CannotOpen) << "a directory is no state";
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
    const Bytes bytes = RandomImage(11);
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
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Writes beyond the limit fail with EFBIG instead of killing the process.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(doc.Save() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "Save must report the short write";
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"loaded.zst"});
}

}  // namespace
