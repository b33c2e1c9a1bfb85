// Whole shots through the tool, in-process: which frames are smoothed, what is said about the
// others, resuming, and the same files whatever the number of threads.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli_test_support.h"
#include "tool.h"

namespace tessaline::cli {
namespace {

using namespace test;
namespace fs = std::filesystem;

constexpr int kFirst = 1001, kLast = 1005;

// A shot of tiny frames in.1001.png ... in.1005.png, each with a stair of its own, so that every
// frame has edges to smooth.
struct Shot {
  Shot() {
    for (int frame = kFirst; frame <= kLast; ++frame) {
      WriteSamples(Path("in", frame), 16, 8, 4, Paint8<4>(16, 8, [&](int x, int y) {
                     return 3 * y >= x + frame % 7 ? std::array<std::uint8_t, 4>{250, 200, 40, 255}
                                                   : std::array<std::uint8_t, 4>{30, 30, 200, 255};
                   }));
    }
  }

  fs::path Path(const std::string& name, int frame) const { return dir / (name + "." + std::to_string(frame) + ".png"); }
  std::string Pattern(const std::string& name) const { return (dir / (name + ".####.png")).string(); }

  // The frames of `name` on disk.
  std::set<int> Frames(const std::string& name) const {
    std::set<int> frames;
    for (int frame = kFirst - 5; frame <= kLast + 5; ++frame) {
      if (fs::exists(Path(name, frame))) frames.insert(frame);
    }
    return frames;
  }

  // Runs the tool from this shot's in.####.png to `output`, then `extra` arguments.
  ToolRun Run(const std::string& output, const std::vector<std::string>& extra, bool terminal = false) const {
    std::vector<std::string> args{Pattern("in"), Pattern(output)};
    args.insert(args.end(), extra.begin(), extra.end());
    const ToolRun run = RunInProcess(args, terminal);
    EXPECT_EQ(run.out, "");
    return run;
  }

  ScratchDir dir;
};

const std::set<int> kAll = {1001, 1002, 1003, 1004, 1005};

TEST(SequenceTest, SmoothsTheFramesAskedForAndNamesTheMissingOnes) {
  struct Case {
    std::vector<std::string> args;
    std::vector<int> corrupt;  // input frames that are no pictures
    int exitCode;
    std::vector<std::string> said;  // each in stderr
    std::set<int> written;
    bool terminal = false;
  };
  const std::string gap = "frames 1000, 1006-1007 (3 of the 8 asked for) have no INPUT file '";
  const Case cases[] = {
      {{}, {}, 0, {"tessaline: 5 frames smoothed in "}, kAll},
      {{"--frames", "1000-1007"},
       {}, 0, {"tessaline: warning: " + gap, "; smoothing the others\n", "; 3 missing\n"}, kAll},
      {{"--frames", "1000-1007", "--strict"}, {}, 1, {gap, "; nothing was written (without --strict"}, {}},
      {{"--frames=2000-2001"}, {}, 1, {"(2 of the 2 asked for)", "nothing was written: check INPUT and --frames"}, {}},
      {{"--frames", "1000-1005", "--quiet"}, {}, 0, {}, kAll},
      {{"--chunk", "2/2"}, {}, 0, {"tessaline: 3 frames smoothed"}, {1003, 1004, 1005}},
      {{"--frames", "1000-1007", "--chunk", "2/2"}, {}, 0, {"frames 1006-1007 (2 of the 4 asked for)"}, {1004, 1005}},
      {{"--chunk", "6/8"}, {}, 0, {"chunk 6/8 of this shot holds no frames", "0 frames smoothed"}, {}},
      // A frame that cannot be read is left; --strict stops there.
      // A run that did not finish says what is left and how to do it.
      {{"--threads", "1"},
       {1003}, 1, {"tessaline: frame 1003: ", "4 frames smoothed", "; 1 failed; to resume: tessaline ",
                   "in.####.png ", " --threads 1 --skip-existing\n"}, {1001, 1002, 1004, 1005}},
      {{"--threads", "1", "--strict"}, {1003}, 1,
       {"tessaline: frame 1003: ", "; 1 failed, 2 not attempted; to resume: ", " --strict --skip-existing\n"},
       {1001, 1002}},
      {{},
       {}, 0, {"\r\033[K[------------------------]  0/5 frames", "\r\033[K[########################]  5/5 frames"},
       kAll, true},
  };
  for (const Case& c : cases) {
    const Shot shot;
    for (const int frame : c.corrupt) WriteFileBytes(shot.Path("in", frame), "not a picture");
    const ToolRun result = shot.Run("out", c.args, c.terminal);
    const std::string row = testing::PrintToString(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << row << result.err;
    for (const std::string& text : c.said) EXPECT_NE(result.err.find(text), std::string::npos) << row << result.err;
    if (c.said.empty()) {
      EXPECT_EQ(result.err, "") << row;
    }
    EXPECT_EQ(shot.Frames("out"), c.written) << row << result.err;
  }
}

TEST(SequenceTest, ThreadsChangeNothingInTheFiles) {
  const Shot shot;
  for (const char* threads : {"1", "3"}) {
    const auto result = shot.Run(std::string("t") + threads,
                                 {"--threads", threads, "--edges", shot.Pattern(std::string("e") + threads)});
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }
  const ToolRun single = RunInProcess({shot.Path("in", 1003).string(), (shot.dir / "single.png").string()});
  ASSERT_EQ(single.exitCode, 0) << single.err;
  for (int frame = kFirst; frame <= kLast; ++frame) {
    const std::string smoothed = FileBytes(shot.Path("t1", frame));
    EXPECT_NE(smoothed, FileBytes(shot.Path("in", frame))) << "frame " << frame << " must have edges to smooth";
    EXPECT_EQ(smoothed, FileBytes(shot.Path("t3", frame))) << frame;
    EXPECT_EQ(FileBytes(shot.Path("e1", frame)), FileBytes(shot.Path("e3", frame))) << frame;
  }
  EXPECT_EQ(FileBytes(shot.Path("t1", 1003)), FileBytes(shot.dir / "single.png"));
}

TEST(SequenceTest, SkipExistingRedoesOnlyFramesWithoutWholeFiles) {
  const Shot shot;
  const std::vector<std::string> args{"--edges", shot.Pattern("edges"), "--skip-existing"};
  ASSERT_EQ(shot.Run("out", args).exitCode, 0);
  std::vector<std::string> smoothed;
  for (int frame = kFirst; frame <= kLast; ++frame) smoothed.push_back(FileBytes(shot.Path("out", frame)));

  const std::string stranger = FileBytes(shot.Path("in", 1001));  // a whole picture: left as it is
  WriteFileBytes(shot.Path("out", 1001), stranger);
  WriteFileBytes(shot.Path("out", 1002), "cut short");  // unreadable: redone
  fs::remove(shot.Path("out", 1004));                   // missing: redone
  fs::remove(shot.Path("edges", 1005));                 // its edge view missing: redone
  const auto result = shot.Run("out", args);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.err.find("tessaline: 3 frames smoothed"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("; 2 already done\n"), std::string::npos) << result.err;
  EXPECT_EQ(FileBytes(shot.Path("out", 1001)), stranger);
  for (const int frame : {1002, 1003, 1004, 1005}) {
    EXPECT_EQ(FileBytes(shot.Path("out", frame)), smoothed[frame - kFirst]) << frame;
  }
  EXPECT_EQ(shot.Frames("edges"), kAll);
}

// Ctrl-C in the middle of a shot, through the program itself: it leaves no temporary file, ends
// by the signal with a line that counts what is left, and the command that line gives finishes the
// shot with the same files as an uninterrupted run.
TEST(SequenceTest, AnInterruptedShotSaysHowToResumeAndTheResumeFinishesIt) {
  const ScratchDir dir;
  constexpr int kFrames = 12;
  for (int frame = 1; frame <= kFrames; ++frame) {
    WriteSamples(dir / ("in." + std::to_string(frame) + ".png"), 600, 400, 3, Noise(600 * 400 * 3, frame));
  }
  const std::string in = (dir / "in.#.png").string(), out = (dir / "out.#.png").string();
  int errors[2];
  ASSERT_EQ(pipe(errors), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(errors[1], STDERR_FILENO);
    execl(TESSALINE_TOOL_PATH, "tessaline", in.c_str(), out.c_str(), "--threads", "1", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(errors[1]);
  // Interrupted once the first frame is written, well before the last.
  while (!fs::exists(dir / "out.1.png")) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  std::string said;
  char buffer[4096];
  for (ssize_t n; (n = read(errors[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<std::size_t>(n));
  close(errors[0]);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  const std::string resume = "; to resume: tessaline " + in + " " + out + " --threads 1 --skip-existing\n";
  ASSERT_NE(said.find("tessaline: interrupted: "), std::string::npos) << said;
  EXPECT_TRUE(said.ends_with(resume)) << said;
  for (const std::string& name : dir.Entries()) EXPECT_NE(name.front(), '.') << name;

  const ToolRun resumed = RunProgram({in, out, "--threads", "1", "--skip-existing"});  // the command given
  EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
  EXPECT_NE(resumed.err.find(" already done"), std::string::npos) << resumed.err;
  const ToolRun whole = RunProgram({in, (dir / "whole.#.png").string(), "--quiet"});
  ASSERT_EQ(whole.exitCode, 0);
  for (int frame = 1; frame <= kFrames; ++frame) {
    EXPECT_EQ(FileBytes(dir / ("out." + std::to_string(frame) + ".png")),
              FileBytes(dir / ("whole." + std::to_string(frame) + ".png")))
        << frame;
  }
}

// A temporary file that a process of this machine left when it was killed outright is removed by
// the next run that writes into its folder; one of a process still running, or of another machine
// (a shared folder), is left alone.
TEST(SequenceTest, StaleTemporariesOfDeadProcessesOfThisMachineAreRemoved) {
  const ScratchDir dir;
  WriteSamples(dir / "in.png", 2, 2, 3, std::vector<std::uint8_t>(12, 40));
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  char host[256] = "";
  gethostname(host, sizeof host - 1);
  std::string name = host;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_') c = '_';
  }
  const std::string deadOwn = ".out.tmp-" + name + "-" + std::to_string(dead) + "-0.png",
                    liveOwn = ".out.tmp-" + name + "-" + std::to_string(getppid()) + "-0.png",
                    deadOther = ".out.tmp-elsewhere-" + std::to_string(dead) + "-0.png";
  for (const std::string& file : {deadOwn, liveOwn, deadOther}) WriteFileBytes(dir / file, "half a picture");
  ASSERT_EQ(RunInProcess({(dir / "in.png").string(), (dir / "out.png").string(), "--quiet"}).exitCode, 0);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"in.png", "out.png", liveOwn, deadOther}));
}

}  // namespace
}  // namespace tessaline::cli
