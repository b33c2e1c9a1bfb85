// The ofxhost program, as other tools use it: describe prints the effect as JSON, render streams
// frames through it (here with several threads, tiles and a top-down, padded image layout) and
// its exit status says whether the effect kept the contract.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ofx_test_support.h"
#include "ofxhost/frame_stream.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace {

using ofxhost::BitDepth;
using ofxhost::Frame;
using ofxhost::Storage;
using namespace ofxtest;

struct ProgramRun {
  int status;
  std::string out;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Quoted(const std::string& text) {
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  return quoted;
}

// Runs the program with `input` on its standard input; the streams pass through files.
ProgramRun RunProgram(const std::string& arguments, const std::string& input) {
  const std::string base = testing::TempDir() + "ofxhost_program_" +
                           testing::UnitTest::GetInstance()->current_test_info()->name();
  std::ofstream(base + ".in", std::ios::binary) << input;
  const std::string command = Quoted(OFXHOST_PROGRAM) + " " + arguments + " < " + Quoted(base + ".in") + " > " +
                              Quoted(base + ".out") + " 2> " + Quoted(base + ".err");
#if defined(_WIN32)
  // cmd.exe drops the first and last quote of what it runs: the whole line gets a pair to lose.
  int status = std::system(Quoted(command).c_str());
#else
  int status = std::system(command.c_str());
#endif
#if !defined(_WIN32)
  status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  return {status, Slurp(base + ".out")};
}

TEST(OfxHostProgram, DescribesTheEffectAsJson) {
  const ProgramRun run = RunProgram(Quoted(BundlePath()) + " describe", "");
  EXPECT_EQ(run.status, 0);
  for (const char* text : {"\"identifier\": \"com.norva.tessaline\"", "\"label\": \"tessaline\"",
                           "{\"name\": \"colorThreshold\", \"type\": \"OfxParamTypeInteger\", \"label\": \"color "
                           "threshold\", \"parent\": \"\", \"default\": 10, \"min\": 1, \"max\": 1020, "
                           "\"displayMin\": 1, \"displayMax\": 255",
                           "{\"name\": \"keyColor\", \"type\": \"OfxParamTypeRGB\", \"label\": \"key color\", "
                           "\"parent\": \"colorKey\", \"default\": [1, 1, 1], \"min\": null"}) {
    EXPECT_NE(run.out.find(text), std::string::npos) << text;
  }
}

TEST(OfxHostProgram, RendersAStreamOfFramesInWindowsTilesAndThreads) {
  struct Sent {
    ofxhost::stream::Request request;
    Settings settings;
    ofxhost::SourceFormat output;
  };
  std::vector<Sent> sent;
  const OfxRectI bounds = {5, -3, 69, 45};
  const auto add = [&](BitDepth depth, int channels, Storage storage, Settings settings, OfxRectI window,
                       ofxhost::SourceFormat output) {
    ofxhost::stream::Request r;
    r.source = CelFrame(depth, channels, storage, bounds);
    r.window = window;
    const tessaline::Params& p = settings.params;
    const bool key = settings.mode != tessaline::SourceMode::Plain;
    r.params = {{"colorThreshold", {double(p.colorThreshold)}}, {"softness", {double(p.softness)}},
                {"bias", {double(p.bias)}}, {"colorKeyEnable", {key ? 1.0 : 0.0}},
                {"keyColor", {p.keyColor[1] / 255.0, p.keyColor[2] / 255.0, p.keyColor[3] / 255.0}},
                {"keyColorThreshold", {double(p.keyColorThreshold)}},
                {"invert", {settings.mode == tessaline::SourceMode::KeyInvert ? 1.0 : 0.0}}};
    sent.push_back({r, settings, output});
  };
  add(BitDepth::Byte, 4, Storage::UnPreMultiplied, Plain(), {}, {BitDepth::Byte, 4, Storage::UnPreMultiplied});
  add(BitDepth::Short, 4, Storage::PreMultiplied, Keyed(), {10, 0, 40, 20}, {BitDepth::Short, 4, Storage::PreMultiplied});
  add(BitDepth::Float, 3, Storage::Opaque, InvertedKey(), {}, {BitDepth::Float, 4, Storage::PreMultiplied});
  // Frames without parameters of their own render together, on the threads.
  for (int i = 0; i < 3; ++i) {
    sent.push_back(sent.back());
    sent.back().request.params.clear();
    sent.back().request.window = {bounds.x1 + i, bounds.y1, bounds.x2, bounds.y2 - i};
  }
  std::string input;
  for (const Sent& s : sent) input += ofxhost::stream::EncodeRequest(s.request);
  const ProgramRun run = RunProgram(Quoted(BundlePath()) + " render --threads 3 --tiles 4 --top-down --padding 8", input);
  EXPECT_EQ(run.status, 0);
  std::istringstream replies(run.out);
  const auto read = [&](void* buffer, std::size_t count) {
    return static_cast<std::size_t>(replies.read(static_cast<char*>(buffer), static_cast<std::streamsize>(count)).gcount());
  };
  for (const Sent& s : sent) {
    ofxhost::stream::Reply reply;
    ASSERT_NO_THROW(ofxhost::stream::ReadReply(read, reply));
    ASSERT_EQ(reply.status, ofxhost::stream::kRendered) << reply.text;
    const OfxRectI window = s.request.window.x2 > s.request.window.x1 ? s.request.window : bounds;
    EXPECT_EQ(Difference(reply.output, Crop(Expected(s.request.source, s.settings, s.output), window)), "");
  }
  EXPECT_EQ(replies.peek(), EOF);
}

TEST(OfxHostProgram, AMalformedStreamEndsTheSession) {
  EXPECT_EQ(RunProgram(Quoted(BundlePath()) + " render", "OXF1 not a request").status, 2);
  EXPECT_EQ(RunProgram(Quoted(BundlePath()) + " paint", "").status, 1);
}

}  // namespace
