#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "filter/replacingfile.h"
#include "filter/textfile.h"

namespace navorel {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed at its end.
class SaveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder =
            fs::path(::testing::TempDir()) / ("saves-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string at(const std::string &name) const { return (m_folder / name).string(); }
    static std::string contents(const std::string &path)
    {
        std::string bytes;
        EXPECT_TRUE(readFileBytes(path, bytes)) << path;
        return bytes;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (const auto &entry : fs::directory_iterator(m_folder))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }

    fs::path m_folder;
};

TEST_F(SaveTest, SymbolicLinksLeadToTheFileTheyName)
{
    fs::create_directory(at("sub"));
    ASSERT_TRUE(writeFileReplacing(at("sub/real.csv"), "old"));
    fs::create_symlink("sub/real.csv", at("link.csv"));    // relative to the link's folder
    fs::create_symlink(at("link.csv"), at("chain.csv"));   // a link to a link
    fs::create_symlink("sub/new.csv", at("dangling.csv")); // its file is made by the save

    ASSERT_TRUE(writeFileReplacing(at("chain.csv"), "through two links"));
    EXPECT_EQ(contents(at("sub/real.csv")), "through two links");
    ASSERT_TRUE(writeFileReplacing(at("dangling.csv"), "made"));
    EXPECT_EQ(contents(at("sub/new.csv")), "made");
    for (const char *link : {"link.csv", "chain.csv", "dangling.csv"})
        EXPECT_TRUE(fs::is_symlink(at(link))) << link;
}

TEST_F(SaveTest, HardLinksKeepSharingTheFile)
{
    ASSERT_TRUE(writeFileReplacing(at("a.txt"), "old contents"));
    fs::create_hard_link(at("a.txt"), at("b.txt"));
    ASSERT_TRUE(writeFileReplacing(at("a.txt"), "new"));
    EXPECT_EQ(contents(at("b.txt")), "new");
    EXPECT_EQ(fs::hard_link_count(at("a.txt")), 2u);
}

TEST_F(SaveTest, KeepsOwnerAndGroupAndDropsSetIdBits)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file away needs root";
    const std::string path = at("theirs.txt");
    ASSERT_TRUE(writeFileReplacing(path, "old"));
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(path.c_str(), 06750), 0);
    ASSERT_TRUE(writeFileReplacing(path, "new"));
    struct stat info
    {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 0750u);
}

TEST_F(SaveTest, NamesUpToTheLimitSave)
{
    for (const std::size_t length : {250, 254, 255}) {
        const std::string path = at(std::string(length, 'n'));
        EXPECT_TRUE(writeFileReplacing(path, "new")) << length;
        EXPECT_TRUE(writeFileReplacing(path, "replaced")) << length;
        EXPECT_EQ(contents(path), "replaced") << length;
    }
}

// What is not a regular file gets the bytes and stays what it was.
TEST_F(SaveTest, FifosDevicesAndOpenFilesAreWrittenNotReplaced)
{
    const std::string fifo = at("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opened for reading first: the save's open then finds its reader.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(writeFileReplacing(fifo, "to the reader"));
    char received[32] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 13);
    ::close(reader);
    EXPECT_EQ(std::string(received), "to the reader");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // Our own null device, so that a replacing save cannot harm /dev.
    if (::geteuid() == 0) {
        const std::string null = at("null");
        ASSERT_EQ(::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
        EXPECT_TRUE(writeFileReplacing(null, "gone"));
        EXPECT_TRUE(fs::is_character_file(null));
    }

    // Like /dev/stdout: a link to an open pipe in /proc.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string out = at("stdout");
    fs::create_symlink("/proc/self/fd/" + std::to_string(ends[1]), out);
    EXPECT_TRUE(writeFileReplacing(out, "printed"));
    ::close(ends[1]);
    char buffer[16] = {};
    EXPECT_EQ(::read(ends[0], buffer, sizeof buffer), 7);
    ::close(ends[0]);
    EXPECT_EQ(std::string(buffer), "printed");
    EXPECT_TRUE(fs::is_symlink(out));
}

TEST_F(SaveTest, LeftoversOfKilledSavesAreRemoved)
{
    // A pid of a process that has ended, and one that lives (ours).
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    char dead[64], alive[64];
    std::snprintf(dead, sizeof dead, ".log.txt~nvtmp-%x-0badf00d", static_cast<unsigned>(ended));
    std::snprintf(alive, sizeof alive, ".log.txt~nvtmp-%x-0badf00d", static_cast<unsigned>(::getpid()));
    ASSERT_TRUE(writeFileReplacing(at(dead), "torn"));
    ASSERT_TRUE(writeFileReplacing(at(alive), "being written"));
    ASSERT_TRUE(writeFileReplacing(at("log.txt"), "whole"));
    EXPECT_EQ(names(), (std::vector<std::string>{alive, "log.txt"}));
}

// A save killed at any moment leaves the old or the new file, whole.
TEST_F(SaveTest, KilledSavesNeverTearTheFile)
{
    const std::string path = at("big.nmea");
    const std::string first(12 << 20, 'a'), second((12 << 20) + 4096, 'b');
    ASSERT_TRUE(writeFileReplacing(path, first));
    unsigned seed = static_cast<unsigned>(::getpid());
    for (int round = 0; round < 12; ++round) {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            for (int i = 0;; ++i)
                writeFileReplacing(path, i % 2 == 0 ? second : first);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + ::rand_r(&seed) % 80));
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);
        const std::string now = contents(path);
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
    }
    ASSERT_TRUE(writeFileReplacing(path, "last"));
    EXPECT_EQ(names(), std::vector<std::string>{"big.nmea"});
}

TEST_F(SaveTest, FoldersAndMissingFoldersFailWithTheSystemsReason)
{
    EXPECT_FALSE(writeFileReplacing(m_folder.string(), "x"));
    EXPECT_EQ(writeFileReplacing(m_folder.string(), "x").reason, "Is a directory");
    EXPECT_EQ(writeFileReplacing(at("no/such/folder.txt"), "x").reason, "No such file or directory");
    EXPECT_FALSE(writeFileReplacing("", "x"));
    EXPECT_TRUE(writeFileReplacing(at("made.txt"), "x").reason.empty());
}

// Several outputs of one run: none is touched before all are whole.
TEST_F(SaveTest, NewContentsAppearOnlyAtCommit)
{
    const std::string path = at("out.gpx");
    ASSERT_TRUE(writeFileReplacing(path, "old"));
    const std::string hard = at("hard.gpx");
    ASSERT_EQ(::link(path.c_str(), hard.c_str()), 0);
    {
        ReplacingFile file(path);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("<head/>"));
        ASSERT_TRUE(file.write("points"));
        EXPECT_EQ(contents(path), "old");
        // dropped without a commit: the file stays as it was
    }
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(names(), (std::vector<std::string>{"hard.gpx", "out.gpx"}));

    ReplacingFile file(path);
    ASSERT_TRUE(file.open());
    ASSERT_TRUE(file.write("<head/>points"));
    ASSERT_TRUE(file.replaceHead(7, "<head><desc/></head>"));
    EXPECT_EQ(contents(path), "old");
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(contents(path), "<head><desc/></head>points");
    EXPECT_EQ(contents(hard), "<head><desc/></head>points");

    ReplacingFile fresh(at("new.gpx"));
    ASSERT_TRUE(fresh.open());
    ASSERT_TRUE(fresh.write("abc"));
    ASSERT_TRUE(fresh.replaceHead(1, "A"));
    EXPECT_FALSE(fs::exists(at("new.gpx")));
    ASSERT_TRUE(fresh.commit());
    EXPECT_EQ(contents(at("new.gpx")), "Abc");

    ReplacingFile missing(at("no/such/folder.gpx"));
    EXPECT_FALSE(missing.open());
    EXPECT_EQ(missing.reason(), "No such file or directory");
    EXPECT_FALSE(missing.write("x"));
    EXPECT_FALSE(missing.commit());
}

TEST_F(SaveTest, OnlyRegularFilesAreReadAsFiles)
{
    ASSERT_TRUE(writeFileReplacing(at("log.txt"), "$GPRMC"));
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    fs::create_directory(at("folder"));
    fs::create_symlink("log.txt", at("link"));
    const struct
    {
        std::string path;
        FileKind kind;
    } cases[] = {
        {at("log.txt"), FileKind::Regular}, {at("link"), FileKind::Regular},
        {at("pipe"), FileKind::Fifo},       {at("folder"), FileKind::Folder},
        {"/dev/zero", FileKind::Device},    {at("missing"), FileKind::Missing},
    };
    for (const auto &c : cases) {
        const RegularFileCheck check = checkRegularFile(c.path);
        EXPECT_EQ(check.kind, c.kind) << c.path;
        EXPECT_EQ(check.reason.empty(), c.kind == FileKind::Regular) << c.path;
        std::string bytes;
        EXPECT_EQ(readRegularFileBytes(c.path, bytes), c.kind == FileKind::Regular) << c.path;
    }
}

} // namespace
} // namespace navorel
