// Saves that replace the right file, keep what must be kept and leave no temporary files behind.

#include "platform/FileIo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FileIoTest : public ::testing::Test {
  protected:
    FileIoTest() {
        char tmpl[] = "/tmp/kintra-fileio-XXXXXX";
        dir = ::mkdtemp(tmpl);
    }
    ~FileIoTest() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return dir + "/" + name; }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const {
        std::vector<std::uint8_t> b;
        std::string error;
        return ReadWholeFile(Path(name), b, error) ? std::string(b.begin(), b.end()) : "(unreadable)";
    }
    bool Save(const std::string& name, const std::string& text, std::string& error) const {
        return WriteFileAtomically(Path(name), text.data(), text.size(), error);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    mode_t Mode(const std::string& name) const {
        struct stat st {};
        ::lstat(Path(name).c_str(), &st);
        return st.st_mode;
    }

    std::string dir;
};

TEST_F(FileIoTest, SavingThroughSymbolicLinksReplacesTheFileTheyPointTo) {
    fs::create_directory(Path("real"));
    Write("real/chart.cht", "old");
    fs::create_symlink("real/chart.cht", Path("link.cht"));
    fs::create_symlink(Path("link.cht"), Path("chain.cht"));
    fs::create_symlink("real/later.cht", Path("dangling.cht"));
    std::string error;
    for (const char* link : {"link.cht", "chain.cht"}) {
        ASSERT_TRUE(Save(link, link, error)) << error;
        EXPECT_TRUE(fs::is_symlink(Path(link)));
        EXPECT_EQ(Read("real/chart.cht"), link);
    }
    ASSERT_TRUE(Save("dangling.cht", "made", error)) << error;
    EXPECT_TRUE(fs::is_symlink(Path("dangling.cht")));
    EXPECT_EQ(Read("real/later.cht"), "made");
    EXPECT_EQ(Names(), (std::vector<std::string>{"chain.cht", "dangling.cht", "link.cht", "real"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("real")), fs::directory_iterator()), 2);

    fs::create_symlink("loop.cht", Path("loop.cht"));
    EXPECT_FALSE(Save("loop.cht", "x", error));
    EXPECT_TRUE(fs::is_symlink(Path("loop.cht")));
}

TEST_F(FileIoTest, ReadOnlyAndNonRegularTargetsAreRefusedUnchanged) {
    Write("locked.cht", "old");
    ::chmod(Path("locked.cht").c_str(), 0444);
    fs::create_symlink("locked.cht", Path("to-locked.cht"));
    fs::create_directory(Path("folder.cht"));
    ASSERT_EQ(::mkfifo(Path("pipe.cht").c_str(), 0644), 0);
    const std::pair<const char*, const char*> refused[] = {
        {"locked.cht", "it is read-only"},
        {"to-locked.cht", "it is read-only"},
        {"folder.cht", "it is a folder"},
        {"pipe.cht", "it is not a regular file"},
    };
    for (const auto& [name, reason] : refused) {
        std::string error;
        EXPECT_FALSE(Save(name, "new", error)) << name;
        EXPECT_EQ(error, reason) << name;
    }
    EXPECT_EQ(Read("locked.cht"), "old");
    EXPECT_EQ(Mode("locked.cht") & 07777, 0444u);
    EXPECT_TRUE(S_ISFIFO(Mode("pipe.cht")));
    EXPECT_EQ(Names().size(), 4u) << "no temporary file left";
}

TEST_F(FileIoTest, PermissionsAreKeptButNeverTheSetIdBits) {
    for (const mode_t mode : {mode_t{0640}, mode_t{04755}, mode_t{02770}, mode_t{06711}}) {
        Write("x.cht", "old");
        ASSERT_EQ(::chmod(Path("x.cht").c_str(), mode), 0);
        std::string error;
        ASSERT_TRUE(Save("x.cht", "new", error)) << error;
        EXPECT_EQ(Mode("x.cht") & 07777, mode & 0777) << std::oct << mode;
        EXPECT_EQ(Read("x.cht"), "new");
    }
}

TEST_F(FileIoTest, TemporariesOfDeadSavesAreRemovedAndNothingElse) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0); // its process id now names no process
    const std::string dead = std::to_string(child);
    const std::string alive = std::to_string(::getppid());
    const std::vector<std::string> kept = {
        ".a.cht.kintra-save-" + alive + "-Ab12Cd", // a save in progress elsewhere
        ".a.cht.kintra-save-" + dead + "-Ab12C",   // not quite our pattern
        ".a.cht.kintra-save-" + dead + "-Ab12Cde",
        "a.cht.kintra-save-" + dead + "-Ab12Cd",
        ".a.cht.Ab12Cd",
        ".other.tmp",
        "a.cht",
    };
    for (const std::string& name : kept)
        Write(name, "keep");
    Write(".a.cht.kintra-save-" + dead + "-Ab12Cd", "stale");
    Write(".b.cht.kintra-save-" + dead + "-zzzzzz", "stale");
    fs::create_symlink("a.cht", Path(".c.cht.kintra-save-" + dead + "-qqqqqq"));

    std::string error;
    ASSERT_TRUE(Save("b.cht", "new", error)) << error;
    std::vector<std::string> expected = kept;
    expected.push_back("b.cht");
    expected.push_back(".c.cht.kintra-save-" + dead + "-qqqqqq"); // a link is not our file
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(), expected);
}

} // namespace
