// Writing never costs the previous file: a full or read-only disk, a missing folder, a format that
// cannot hold the image, a symbolic link in the way, an interrupt.
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "cli_test_support.h"
#include "image_io.h"

namespace tessaline::cli {
namespace {

using test::FileBytes;
using test::ScratchDir;
using test::WriteFileBytes;
using test::WithPath;
using test::WriteSamples;
namespace fs = std::filesystem;

// A small tmpfs, mounted for one test (this needs root) and unmounted after it.
class SmallDisk {
 public:
  explicit SmallDisk(unsigned long flags = 0) {
    if (mount("tessaline-test", scratch_.path().c_str(), "tmpfs", flags, "size=512k") != 0) {
      error_ = std::strerror(errno);
    }
  }
  ~SmallDisk() {
    if (error_.empty()) umount2(scratch_.path().c_str(), MNT_DETACH);
  }
  bool Mounted() const { return error_.empty(); }
  const std::string& Error() const { return error_; }
  const fs::path& path() const { return scratch_.path(); }
  fs::path operator/(const std::string& name) const { return scratch_ / name; }
  std::set<std::string> Entries() const { return scratch_.Entries(); }

  // Leaves `slack` bytes free.
  void Fill(std::size_t slack) const {
    struct statvfs disk {};
    ASSERT_EQ(statvfs(path().c_str(), &disk), 0);
    const std::size_t free = static_cast<std::size_t>(disk.f_bavail) * disk.f_frsize;
    std::ofstream(scratch_ / "filler", std::ios::binary) << std::string(free - slack, 'x');
  }

 private:
  ScratchDir scratch_;
  std::string error_;
};

#define SKIP_WITHOUT(disk)                                                                                     \
  if (!(disk).Mounted())                                                                                       \
  GTEST_SKIP() << "NOT CHECKED: cannot mount a small tmpfs (" << (disk).Error() << "); run the tests as root " \
               << "with permission to mount to check what a full or read-only disk does"

std::string WriteError(const Image& image, const fs::path& path) {
  return test::ErrorOf([&] { WriteImage(image, path.string()); });
}

TEST(FileSafetyTest, AFullDiskFailsEveryFormatAndLeavesThePreviousFile) {
  const ScratchDir source;
  const std::vector<std::uint8_t> noise = test::Noise(96 * 96 * 4, 11);  // incompressible: no format fits it in 8 KiB
  for (const char* extension : {".png", ".tif", ".exr"}) {
    SCOPED_TRACE(extension);
    const fs::path in = source / (std::string("in") + extension);
    WriteSamples(in, 96, 96, 4, noise);
    SmallDisk disk;
    SKIP_WITHOUT(disk);
    const fs::path out = disk / (std::string("out") + extension);
    WriteFileBytes(out, "the previous output");
    disk.Fill(8192);

    EXPECT_EQ(WriteError(ReadImage(in.string()), out),
              WithPath("cannot write @: no space left on the disk holding ", out) + Quoted(disk.path().string()) +
                  "; free some space or write elsewhere");
    const test::ToolRun run = test::RunTool({in.string(), out.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no space left on the disk holding"), std::string::npos) << run.err;
    EXPECT_EQ(FileBytes(out), "the previous output");
    EXPECT_EQ(disk.Entries(), (std::set<std::string>{"filler", out.filename().string()}));
  }
}

TEST(FileSafetyTest, AReadOnlyDiskIsNamed) {
  const ScratchDir source;
  WriteSamples(source / "in.png", 1, 1, 3, {1, 2, 3});
  SmallDisk disk(MS_RDONLY);
  SKIP_WITHOUT(disk);
  EXPECT_EQ(WriteError(ReadImage((source / "in.png").string()), disk / "out.png"),
            WithPath("cannot write @: the disk holding ", disk / "out.png") + Quoted(disk.path().string()) +
                " is read-only; write elsewhere");
}

// An input, an output name and the message (the output's path in place of @).
struct RefusedWrite {
  const char* input;
  const char* output;
  std::string error;
};

TEST(FileSafetyTest, OutputsThatCannotBeWrittenAreRefusedAndChangeNothing) {
  const ScratchDir dir;
  WriteSamples(dir / "rgba.png", 2, 2, 4, std::vector<std::uint8_t>(2 * 2 * 4, 128));
  const OIIO::TypeDesc half = OIIO::TypeDesc::HALF;
  test::WriteParts(dir / "parts.exr", {test::MakePart(2, 2, {"R", "G", "B", "A", "Z"}, {half}, "beauty"),
                                       test::MakePart(2, 2, {"Z"}, {half}, "depth")});
  fs::create_directory(dir / "folder.png");
  WriteFileBytes(dir / "old.jpg", "the previous output");
  const std::string keep = "; write OUTPUT as .exr or .tif to keep everything";
  const RefusedWrite cases[] = {
      {"rgba.png", "missing/out.png",
       "cannot write @: there is no folder '" + (dir / "missing").string() + "'; check that the folder exists and can be written to"},
      {"rgba.png", "folder.png", "cannot write @: it is a folder, and tessaline cannot replace it with an image; give OUTPUT a file name"},
      {"rgba.png", "out.xyz",
       "cannot write @: its extension names no image format tessaline can write; end OUTPUT in .png, .tif, .exr or another "
       "image extension"},
      {"rgba.png", "old.jpg", "cannot write @: a jpeg file cannot hold an alpha channel" + keep},
      {"parts.exr", "out.png", "cannot write @: a png file holds a single image, and this one has 2 parts or pages" + keep},
  };
  const std::set<std::string> before = dir.Entries();
  for (const RefusedWrite& c : cases) {
    EXPECT_EQ(WriteError(ReadImage((dir / c.input).string()), dir / c.output), WithPath(c.error, dir / c.output));
  }
  EXPECT_EQ(dir.Entries(), before);
  EXPECT_EQ(FileBytes(dir / "old.jpg"), "the previous output");
  EXPECT_TRUE(fs::is_empty(dir / "folder.png"));
}

TEST(FileSafetyTest, ALinkStaysALinkAndAReplacedFileKeepsItsPermissions) {
  const ScratchDir dir;
  const std::vector<std::uint8_t> pixel = {10, 20, 30};
  WriteSamples(dir / "in.png", 1, 1, 3, pixel);
  fs::create_directory(dir / "real");
  WriteFileBytes(dir / "real" / "old.png", "the previous output");
  fs::permissions(dir / "real" / "old.png", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("real/old.png", dir / "link.png");
  fs::create_symlink("real/new.png", dir / "dangling.png");

  const Image image = ReadImage((dir / "in.png").string());
  for (const char* link : {"link.png", "dangling.png"}) WriteImage(image, (dir / link).string());
  for (const char* target : {"real/old.png", "real/new.png"}) {
    EXPECT_EQ(test::ReadSamples<std::uint8_t>(dir / target).samples, pixel) << target;
  }
  EXPECT_TRUE(fs::is_symlink(dir / "link.png"));
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.png"));
  EXPECT_EQ(fs::status(dir / "real" / "old.png").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"in.png", "real", "link.png", "dangling.png"}));
}

TEST(FileSafetyTest, AnInterruptRemovesTheTemporaryFileAndEndsByTheSameSignal) {
  for (const int signal : {SIGINT, SIGTERM}) {
    const ScratchDir dir;
    int path[2], go[2];
    ASSERT_EQ(pipe(path), 0);
    ASSERT_EQ(pipe(go), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      InstallInterruptCleanup();
      const AtomicFile file((dir / "out.png").string());
      (void)!write(path[1], file.TempPath().c_str(), file.TempPath().size());
      close(path[1]);
      char byte;
      (void)!read(go[0], &byte, 1);  // waits for the signal
      _exit(0);
    }
    close(path[1]);
    char name[4096] = {};
    ASSERT_GT(read(path[0], name, sizeof name - 1), 0);
    EXPECT_TRUE(fs::exists(name));
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_FALSE(fs::exists(name));
    EXPECT_TRUE(dir.Entries().empty());
    for (const int fd : {path[0], go[0], go[1]}) close(fd);
  }
}

}  // namespace
}  // namespace tessaline::cli
