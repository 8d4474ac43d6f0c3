#include "audio/Path.h"
#include "audio/SystemFolders.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <string>

using Daz::Path;
using Daz::SystemFolders;

namespace {

const SystemFolders kFolders("/game", "/tmp/x", "/home/u/Documents");

struct NormalizeCase {
    const char* in;
    const char* out;
};

class NormalizeTest : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeTest, Normalizes)
{
    Path path(GetParam().in);
    path.normalize();
    EXPECT_STREQ(GetParam().out, path.getBuffer());
}

INSTANTIATE_TEST_SUITE_P(Paths, NormalizeTest,
                         ::testing::Values(NormalizeCase{".\\a\\.\\b\\", "a/b"},
                                           NormalizeCase{"./a/./b/", "a/b"},
                                           NormalizeCase{"a\\\\b//c", "a/b/c"},
                                           // A leading pair names a network path and stays.
                                           NormalizeCase{"\\\\server\\share", "//server/share"},
                                           NormalizeCase{"a/./././b", "a/b"}, NormalizeCase{"a/.", "a"},
                                           NormalizeCase{"/.", "/"}, NormalizeCase{"/", "/"},
                                           NormalizeCase{"a/../b", "a/../b"}, NormalizeCase{"", ""}));

TEST(PathTest, ResolvesAgainstTheFolderOfItsType)
{
    EXPECT_STREQ("/game/sounds/se.ckb", Path("sounds/se.ckb", kCkPathType_ExeDir, kFolders).getBuffer());
    EXPECT_STREQ("/tmp/x/a.cks", Path("a.cks", kCkPathType_Temp, kFolders).getBuffer());
    EXPECT_STREQ("/home/u/Documents/b", Path("b", kCkPathType_Documents, kFolders).getBuffer());
    EXPECT_STREQ("sounds/se.ckb", Path("sounds\\se.ckb", kCkPathType_AsGiven, kFolders).getBuffer());
    EXPECT_STREQ("sounds/se.ckb", Path("sounds/se.ckb", 7, kFolders).getBuffer());
}

TEST(PathTest, FolderOfAPath)
{
    Path folder;
    Path("C:\\x.exe").getFolder(folder);
    EXPECT_STREQ(".", folder.getBuffer()); // no separator before normalising
    Path drive("C:\\x.exe");
    drive.normalize();
    drive.getFolder(folder);
    EXPECT_STREQ("C:/", folder.getBuffer());
    Path("x.exe").getFolder(folder);
    EXPECT_STREQ(".", folder.getBuffer());
    Path("/x.exe").getFolder(folder);
    EXPECT_STREQ("/", folder.getBuffer());
    Path("/a/b/c.ckb").getFolder(folder);
    EXPECT_STREQ("/a/b", folder.getBuffer());
}

TEST(PathTest, ExtensionIsAfterTheLastDotOfTheLastElement)
{
    EXPECT_STREQ("ckb", Path("a/b.c/d.ckb").getExtension());
    EXPECT_EQ(nullptr, Path("a/b.c/d").getExtension());
    EXPECT_STREQ("", Path("a.").getExtension());
    EXPECT_TRUE(Path("a/B.CKS").endsWith(".cks", false));
    EXPECT_FALSE(Path("a/B.CKS").endsWith(".cks", true));
    EXPECT_FALSE(Path("s").endsWith(".cks", false));
}

TEST(PathTest, OverflowIsCutWithAnError)
{
    LogCapture log;
    const std::string longName(500, 'a');
    Path path(longName.c_str());
    EXPECT_EQ(Path::kCapacity - 1, path.getLength());
    EXPECT_EQ(std::string(Path::kCapacity - 1, 'a'), path.getBuffer());
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ((LogLine{kCkLog_Error, "string buffer too small for requested capacity!"}),
              log.lines().front());

    // Exactly full fits without complaint.
    log.lines().clear();
    Path full(std::string(Path::kCapacity - 1, 'b').c_str());
    EXPECT_EQ(Path::kCapacity - 1, full.getLength());
    EXPECT_TRUE(log.lines().empty());
    full.append("c");
    EXPECT_EQ(Path::kCapacity - 1, full.getLength());
    EXPECT_EQ(1u, log.lines().size());
}

TEST(PathTest, ResolvingAnOverlongPathStaysInsideTheBuffer)
{
    LogCapture log;
    const std::string longName(Path::kCapacity, 'z');
    Path path(longName.c_str(), kCkPathType_ExeDir, kFolders);
    EXPECT_EQ(Path::kCapacity - 1, path.getLength());
    EXPECT_EQ(0, std::string(path.getBuffer()).find("/game/zzz"));
}

TEST(PathTest, ProcessFoldersAreAbsolute)
{
    const SystemFolders& folders = SystemFolders::get();
    EXPECT_EQ('/', folders.getExeDir()[0]);
    EXPECT_EQ('/', folders.getTempDir()[0]);
    EXPECT_EQ(nullptr, folders.getFolder(kCkPathType_AsGiven));
}

TEST(StringTest, GrowingTextTakesWhatItNeeds)
{
    LogCapture log;
    Daz::String text;
    EXPECT_STREQ("", text.getBuffer());
    text.set("abc");
    text.append(text.getBuffer()); // its own buffer moves as it grows
    EXPECT_STREQ("abcabc", text.getBuffer());
    EXPECT_EQ(7, text.getCapacity());
    text.replace("bc", "");
    EXPECT_STREQ("aa", text.getBuffer());
    EXPECT_TRUE(log.lines().empty());
}

} // namespace
