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

using namespace test;
namespace fs = std::filesystem;

// A small tmpfs, mounted for one test (this needs root) and unmounted after it.
struct SmallDisk : ScratchDir {
  SmallDisk() : error(mount("tessaline-test", path().c_str(), "tmpfs", 0, "size=512k") == 0 ? "" : std::strerror(errno)) {}
  ~SmallDisk() {
    if (error.empty()) umount2(path().c_str(), MNT_DETACH);
  }
  std::string error;
};

std::string WriteError(const Image& image, const fs::path& path) {
  return ErrorOf([&] { WriteImage(image, path.string()); });
}

// A disk nearly full (8 KiB left, and no format fits incompressible noise in that) in every format,
// and one made read-only: the message names the disk, and the previous file stays as it was.
TEST(FileSafetyTest, AFullOrReadOnlyDiskIsNamedAndLeavesThePreviousFile) {
  const std::string full = "no space left on the disk holding @; free some space or write elsewhere";
  const std::pair<const char*, std::string> cases[] = {
      {".png", full}, {".tif", full}, {".exr", full}, {".png", "the disk holding @ is read-only; write elsewhere"}};
  const ScratchDir source;
  for (const auto& [extension, problem] : cases) {
    SCOPED_TRACE(problem);
    const fs::path in = source / (std::string("in") + extension);
    WriteSamples(in, 96, 96, 4, Noise(96 * 96 * 4, 11));
    SmallDisk disk;
    if (!disk.error.empty()) {
      GTEST_SKIP() << "NOT CHECKED: cannot mount a small tmpfs (" << disk.error << "); run the tests as root with "
                   << "permission to mount to check what a full or read-only disk does";
    }
    const fs::path out = disk / (std::string("out") + extension);
    WriteFileBytes(out, "the previous output");
    struct statvfs space {};
    ASSERT_EQ(statvfs(disk.path().c_str(), &space), 0);
    std::ofstream(disk / "filler", std::ios::binary) << std::string(space.f_bavail * space.f_frsize - 8192, 'x');
    if (problem != full) {
      ASSERT_EQ(mount(nullptr, disk.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0) << std::strerror(errno);
    }

    EXPECT_EQ(WriteError(ReadImage(in.string()), out), WithPath("cannot write @: ", out) + WithPath(problem, disk.path()));
    EXPECT_EQ(FileBytes(out), "the previous output");
    EXPECT_EQ(disk.Entries(), (std::set<std::string>{"filler", out.filename().string()}));
  }
}

TEST(FileSafetyTest, OutputsThatCannotBeWrittenAreRefusedAndChangeNothing) {
  const ScratchDir dir;
  WriteSamples(dir / "rgba.png", 2, 2, 4, std::vector<std::uint8_t>(2 * 2 * 4, 128));
  const OIIO::TypeDesc half = OIIO::TypeDesc::HALF;
  WriteParts(dir / "parts.exr",
             {MakePart(2, 2, {"R", "G", "B", "A", "Z"}, {half}, "beauty"), MakePart(2, 2, {"Z"}, {half}, "depth")});
  fs::create_directory(dir / "folder.png");
  WriteFileBytes(dir / "old.jpg", "the previous output");
  const std::string keep = "; write OUTPUT as .exr or .tif to keep everything";
  const struct {
    const char* input;
    const char* output;
    std::string error;  // the output's path in place of @
  } cases[] = {
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
  for (const auto& c : cases) {
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
  const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir / "real" / "old.png", perms);
  fs::create_symlink("real/old.png", dir / "link.png");
  fs::create_symlink("real/new.png", dir / "dangling.png");

  const Image image = ReadImage((dir / "in.png").string());
  for (const char* link : {"link.png", "dangling.png"}) WriteImage(image, (dir / link).string());
  for (const char* target : {"real/old.png", "real/new.png"}) {
    EXPECT_EQ(ReadSamples<std::uint8_t>(dir / target).samples, pixel) << target;
  }
  EXPECT_TRUE(fs::is_symlink(dir / "link.png"));
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.png"));
  EXPECT_EQ(fs::status(dir / "real" / "old.png").permissions(), perms);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"in.png", "real", "link.png", "dangling.png"}));
}

TEST(FileSafetyTest, AnInterruptRemovesTheTemporaryFileAndEndsByTheSameSignal) {
  for (const int signal : {SIGINT, SIGTERM}) {
    const ScratchDir dir;
    int path[2];
    ASSERT_EQ(pipe(path), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      InstallInterruptCleanup();
      const AtomicFile file((dir / "out.png").string());
      (void)!write(path[1], file.TempPath().c_str(), file.TempPath().size());
      close(path[1]);
      pause();  // until the signal
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
    close(path[0]);
  }
}

}  // namespace
}  // namespace tessaline::cli
