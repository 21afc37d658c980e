// The author tool's writes: folders made with their parents, files replaced only once
// they are whole, copies and removals that say why they failed.
#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class HostFolders : public ::testing::Test {
  protected:
    std::string At(const std::string& relative) const { return (root_ / relative).string(); }
    const TempFolder folder_{"host-folders"};
    const fs::path root_ = folder_.Path();
};

TEST(HostPathParts, JoinSplitAndFold) {
    struct Case {
        const char* folder;
        const char* name;
        const char* joined;
        const char* parent;
        const char* last;
    };
    const Case cases[] = {
        {"game", "CG/a.bmp", "game/CG/a.bmp", "game/CG", "a.bmp"},
        {"game/", "ZRN.dat", "game/ZRN.dat", "game", "ZRN.dat"},
        {"", "ZRN.dat", "ZRN.dat", "", "ZRN.dat"},
        {"/", "out", "/out", "/", "out"},
        {".", "x.txt", "./x.txt", ".", "x.txt"},
    };
    for (const Case& c : cases) {
        const std::string joined = JoinHostPath(c.folder, c.name);
        EXPECT_EQ(joined, c.joined) << c.folder << " + " << c.name;
        EXPECT_EQ(HostParentFolder(joined), c.parent) << joined;
        EXPECT_EQ(HostFileName(joined), c.last) << joined;
    }
    EXPECT_EQ(HostAbsolutePath("/a/b/../c/./d/"), "/a/c/d/");
    EXPECT_EQ(HostAbsolutePath("x/../y"), (fs::current_path() / "y").string());
}

TEST_F(HostFolders, MakesParentsAndSaysWhyNot) {
    std::string reason;
    ASSERT_TRUE(MakeHostFolders(At("a/b/c"), &reason)) << reason;
    EXPECT_EQ(GetHostEntryKind(At("a/b/c")), HOST_FOLDER);
    EXPECT_TRUE(IsEmptyHostFolder(At("a/b/c")));
    EXPECT_FALSE(IsEmptyHostFolder(At("a/b")));
    EXPECT_TRUE(MakeHostFolders(At("a/b"), &reason)) << "an existing folder is no failure";

    Put(root_ / "file", "x");
    EXPECT_FALSE(IsEmptyHostFolder(At("file")));
    EXPECT_FALSE(MakeHostFolders(At("file/below"), &reason));
    EXPECT_FALSE(reason.empty());
}

TEST_F(HostFolders, ReplacesAFileOnlyWhenTheNewOneIsWhole) {
    Put(root_ / "ZRN.dat", "old");
    std::string tempPath, reason;
    std::FILE* file = CreateHostFileBeside(At("ZRN.dat"), &tempPath, &reason);
    ASSERT_NE(file, nullptr) << reason;
    EXPECT_EQ(HostParentFolder(tempPath), root_.string());
    std::fputs("new", file);
    EXPECT_EQ(Slurp(root_ / "ZRN.dat"), "old") << "still the old one while it is written";
    ASSERT_TRUE(CloseHostFileToDisk(file, &reason)) << reason;
    ASSERT_TRUE(RenameHostFile(tempPath, At("ZRN.dat"), &reason)) << reason;
    EXPECT_EQ(Slurp(root_ / "ZRN.dat"), "new");
    EXPECT_EQ(GetHostEntryKind(tempPath), HOST_NOTHING);

    // mkstemp's private mode is widened to what any new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    struct stat info;
    ASSERT_EQ(::stat(At("ZRN.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);

    file = CreateHostFileBeside(At("ZRN.dat"), &tempPath, &reason);
    ASSERT_NE(file, nullptr) << reason;
    ASSERT_TRUE(CloseHostFileToDisk(file, &reason));
    EXPECT_TRUE(RemoveHostFile(tempPath));
    EXPECT_FALSE(RemoveHostFile(tempPath));
    EXPECT_EQ(Slurp(root_ / "ZRN.dat"), "new");

    EXPECT_EQ(CreateHostFileBeside(At("missing/ZRN.dat"), &tempPath, &reason), nullptr);
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(RenameHostFile(At("nothing"), At("ZRN.dat"), &reason));
}

TEST_F(HostFolders, CopiesOverAndRemovesTrees) {
    Put(root_ / "from", "fresh");
    Put(root_ / "to", "stale and longer");
    std::string reason;
    ASSERT_TRUE(CopyHostFile(At("from"), At("to"), &reason)) << reason;
    EXPECT_EQ(Slurp(root_ / "to"), "fresh");
    EXPECT_FALSE(CopyHostFile(At("missing"), At("to"), &reason));
    EXPECT_FALSE(reason.empty());

    ASSERT_TRUE(MakeHostFolders(At("tree/a/b"), &reason));
    Put(root_ / "tree/a/b/f", "x");
    EXPECT_TRUE(RemoveHostTree(At("tree"), &reason)) << reason;
    EXPECT_EQ(GetHostEntryKind(At("tree")), HOST_NOTHING);
    EXPECT_TRUE(RemoveHostTree(At("tree"), &reason)) << "nothing there is no failure";
}

TEST_F(HostFolders, TellsLinksAndTheFilesTheyName) {
    Put(root_ / "real", "x");
    Put(root_ / "other", "x");
    fs::create_directory(root_ / "dir");
    fs::create_symlink("real", root_ / "alias");
    fs::create_symlink("dir", root_ / "dirlink");
    EXPECT_TRUE(IsHostLink(At("alias")));
    EXPECT_FALSE(IsHostLink(At("real")));
    EXPECT_FALSE(IsHostLink(At("missing")));
    EXPECT_TRUE(IsSameHostFile(At("alias"), At("real")));
    EXPECT_FALSE(IsSameHostFile(At("other"), At("real")));
    EXPECT_FALSE(IsSameHostFile(At("missing"), At("real")));
    const std::string real = fs::canonical(root_).string();
    EXPECT_EQ(HostResolvedPath(At("dirlink/not/yet")), real + "/dir/not/yet");
}

} // namespace
