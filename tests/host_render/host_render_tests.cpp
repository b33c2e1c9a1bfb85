// The kernel frame over host worlds, run through the simulated host, where the plug-in's own tests
// cannot take it: refusals before any host call, host failures and what the output keeps, the
// scratch world and the order the suites go back in; and the suite registry and the pixel-format
// query against the simulated host's basic suite. (tests/plugin's session renders every depth
// and key mode through the real plug-in byte for byte against the engine, softness 0 included, and
// its failure table meets a refused World Transform Suite and a refused scratch world.)
#include <gtest/gtest.h>

#include <string_view>

#include "output_window.h"
#include "render_harness.h"
#include "sp_basic_suite.h"
#include "suite_registry.h"
#include "world_suite.h"

namespace {

using fxhost::Host;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using host_render_test::Acquired;
using host_render_test::MakeJob;
using host_render_test::PaintCel;
using host_render_test::RunJob;

TEST(HostRender, TheBaseClassHasNoKernels) {
  OwnedWorld input(PixelDepth::Eight, 2, 2), output(PixelDepth::Eight, 2, 2);
  BaseFilter base;
  EXPECT_EQ(base.ProcessJob(MakeJob(input, output)), PF_Err_INTERNAL_STRUCT_DAMAGED);
}

// A host whose World Suite 1 answers new_world with success and no memory.
SPBasicSuite* gHostBasic = nullptr;
PF_WorldSuite1 gForgetful{};

SPErr acquireForgetful(const char* name, A_long version, const void** suite) {
  const SPErr err = gHostBasic->AcquireSuite(name, version, suite);
  if (err != kSPNoError || std::string_view(name) != kPFWorldSuite || version != 1) return err;
  gForgetful = *static_cast<const PF_WorldSuite1*>(*suite);
  gForgetful.new_world = [](PF_ProgPtr, A_long, A_long, PF_NewWorldFlags, PF_EffectWorld* world) {
    *world = PF_EffectWorld{};
    return PF_Err_NONE;
  };
  *suite = &gForgetful;
  return err;
}

void forgetful(PF_InData& in) {
  static SPBasicSuite basic;
  gHostBasic = in.pica_basicP;
  basic = *in.pica_basicP;
  basic.AcquireSuite = acquireForgetful;
  in.pica_basicP = &basic;
}

// What the output holds afterwards.
enum class Output { Untouched, CopyStage, Rendered };

struct Case {
  const char* name;
  PixelDepth depth;
  std::function<void(Host&, RenderJob&)> arrange;
  PF_Err result;
  Output output;
  int worlds;      // scratch worlds made (and all given back)
  int transforms;  // acquisitions of the World Transform Suite
  bool forgetful = false;
  A_long outputHeight = 9;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// Keys out the background of PaintCel's top left corner.
const auto keyed = [](Host&, RenderJob& job) { job.colorKeyEnable = 1, job.keyColor = PF_Pixel{255, 240, 235, 220}; };

const Case kCases[] = {
    {"UnknownFormat", PixelDepth::Eight, [](Host&, RenderJob& job) { job.pixelFormat = PF_PixelFormat_INVALID; },
     PF_Err_UNRECOGNIZED_PARAM_TYPE, Output::Untouched, 0, 0},
    {"SizesDiffer", PixelDepth::Float, [](Host&, RenderJob&) {}, PF_Err_BAD_CALLBACK_PARAM, Output::Untouched, 0, 0,
     false, 10},
    // The plain copy goes through the host; the keyed one needs no suite at all.
    {"SoftnessZero", PixelDepth::Sixteen, [](Host&, RenderJob& job) { job.softness = 0; }, PF_Err_NONE,
     Output::CopyStage, 0, 1},
    {"SoftnessZeroKeyed", PixelDepth::Sixteen,
     [](Host& h, RenderJob& job) { keyed(h, job), job.softness = 0; }, PF_Err_NONE, Output::CopyStage, 0, 0},
    {"NoBasicSuite", PixelDepth::Float, [](Host& h, RenderJob&) { h.options().provideBasicSuite = false; },
     PF_Err_BAD_CALLBACK_PARAM, Output::Untouched, 0, 0},
    {"NoWorldSuite", PixelDepth::Eight, [](Host& h, RenderJob&) { h.faults().refuseSuite(kPFWorldSuite, 1); },
     PF_Err_BAD_CALLBACK_PARAM, Output::CopyStage, 0, 1},
    {"CopyFails", PixelDepth::Eight, [](Host& h, RenderJob&) { h.faults().copyError = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY, Output::Untouched, 0, 1},
    {"NoScratchWorldKeyed", PixelDepth::Eight,
     [](Host& h, RenderJob& job) { keyed(h, job), h.faults().newWorldError = PF_Err_INTERNAL_STRUCT_DAMAGED; },
     PF_Err_INTERNAL_STRUCT_DAMAGED, Output::CopyStage, 0, 0},
    // No write through a null pointer.
    {"ScratchWorldWithoutMemory", PixelDepth::Sixteen, [](Host&, RenderJob&) {}, PF_Err_OUT_OF_MEMORY,
     Output::CopyStage, 0, 1, true},
    {"AFailedDisposeIsIgnored", PixelDepth::Float,
     [](Host& h, RenderJob&) { h.faults().disposeWorldError = PF_Err_INTERNAL_STRUCT_DAMAGED; }, PF_Err_NONE,
     Output::Rendered, 1, 1},
};

class KernelFrameTest : public ::testing::TestWithParam<Case> {};

TEST_P(KernelFrameTest, LeavesTheOutputAsItShouldAndGivesEverythingBack) {
  const Case& c = GetParam();
  Host host;
  OwnedWorld input(c.depth, 12, 9, 16), output(c.depth, 12, c.outputHeight, 0, 0x5A);
  PaintCel(input);
  const std::vector<std::uint8_t> untouched = output.packedPixels();
  RenderJob job = MakeJob(input, output);
  c.arrange(host, job);
  EXPECT_EQ(RunJob(host, job, c.forgetful ? forgetful : std::function<void(PF_InData&)>{}), c.result);

  // The copy stage is what the engine renders at softness 0.
  tessaline::Params params{.keyColor = {255, job.keyColor.red, job.keyColor.green, job.keyColor.blue}};
  params.softness = c.output == Output::CopyStage ? 0 : job.softness;
  const auto mode = job.colorKeyEnable != 0 ? tessaline::SourceMode::Key : tessaline::SourceMode::Plain;
  OwnedWorld expected(c.depth, 12, 9);
  std::vector<std::uint8_t> map(tessaline::EdgeMapBytes(12, 9));
  tessaline::Render(host_render_test::EngineDepth(c.depth), mode, {input.row(0), input.rowbytes(), 12, 9},
                    {expected.row(0), expected.rowbytes(), 12, 9}, params, map.data());
  EXPECT_EQ(output.packedPixels(), c.output == Output::Untouched ? untouched : expected.packedPixels());
  const fxhost::AccountsReport report = host.accounts();
  EXPECT_TRUE(report.balanced()) << report.text();
  EXPECT_EQ(std::tuple(report.worldsCreated, report.worldsDisposed), std::tuple(c.worlds, c.worlds));
  EXPECT_EQ(Acquired(report, kPFWorldTransformSuite, 1), c.transforms);
}

INSTANTIATE_TEST_SUITE_P(Cases, KernelFrameTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The whole input is copied into the whole output, once; the suites go back in the registry's
// order, the copy's first.
TEST(HostRender, GivesTheSuitesBackInTheRegistrysOrder) {
  Host host;
  OwnedWorld input(PixelDepth::Eight, 30, 10), output(PixelDepth::Eight, 30, 10);
  PaintCel(input);
  EXPECT_EQ(RunJob(host, MakeJob(input, output)), PF_Err_NONE);
  ASSERT_EQ(host.records().copies.size(), 1u);
  EXPECT_TRUE(host.records().copies[0].wholeSource && host.records().copies[0].wholeDestination);
  EXPECT_EQ(host.records().suiteCalls,
            (std::vector<std::string>{"acquire \"PF World Transform Suite\" 1: 0", "acquire \"PF World Suite\" 1: 0",
                                      "release \"PF World Transform Suite\" 1: 0", "release \"PF World Suite\" 1: 0"}));
}

// An output world that reaches beyond the input (as a host may hand one, larger than the effect's
// result): where it meets the input it holds the whole render's pixels, elsewhere transparent black;
// when it does not meet the input at all, nothing is smoothed and no world is made.
TEST(OutputWindow, HoldsTheWholeRendersPixelsAndTransparencyBeyondTheInput) {
  struct Row {
    PF_Point at;  // the output's top-left pixel in the layer; the input's is at 0, 0
    A_long width, height;
    int worlds;  // the scratch picture and the edge map
  };
  const Row rows[] = {{{7, 4}, 12, 9, 2}, {{-3, -2}, 6, 5, 2}, {{20, 0}, 4, 4, 0}};
  for (const PixelDepth depth : {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float}) {
    OwnedWorld input(depth, 16, 8, 8);
    PaintCel(input);
    const RenderJob defaults = MakeJob(input, input);
    const tessaline::Params params{.colorThreshold = defaults.colorThreshold, .softness = defaults.softness};
    OwnedWorld whole(depth, 16, 8);
    std::vector<std::uint8_t> map(tessaline::EdgeMapBytes(16, 8));
    tessaline::Render(host_render_test::EngineDepth(depth), tessaline::SourceMode::Plain,
                      {input.row(0), input.rowbytes(), 16, 8}, {whole.row(0), whole.rowbytes(), 16, 8}, params,
                      map.data());
    const std::size_t pixel = fxhost::bytesPerPixel(depth);
    for (const Row& row : rows) {
      SCOPED_TRACE("output at " + std::to_string(row.at.h) + "," + std::to_string(row.at.v) + ", depth " +
                   std::to_string(static_cast<int>(depth)));
      Host host;
      OwnedWorld output(depth, row.width, row.height, 4, 0x5A);
      output.world()->origin_x = row.at.h;
      output.world()->origin_y = row.at.v;
      const PF_Err result = host.runInProcess(PF_Cmd_SMART_RENDER, [&](PF_InData& in, PF_OutData& out) {
        RenderJob job = MakeJob(input, output);
        job.inData = &in;
        job.outData = &out;
        CustomFilter effect;
        return renderOutputWindow(job, [&](const RenderJob& all) { return effect.ProcessJob(all); });
      });
      ASSERT_EQ(result, PF_Err_NONE);
      std::vector<std::uint8_t> expected;
      for (A_long y = 0; y < row.height; ++y) {
        for (A_long x = 0; x < row.width; ++x) {
          const A_long lx = x + row.at.h, ly = y + row.at.v;
          const bool inside = lx >= 0 && lx < 16 && ly >= 0 && ly < 8;
          const std::uint8_t* from = inside ? whole.row(ly) + static_cast<std::size_t>(lx) * pixel : nullptr;
          for (std::size_t b = 0; b < pixel; ++b) expected.push_back(inside ? from[b] : 0);
        }
      }
      EXPECT_EQ(output.packedPixels(), expected);
      EXPECT_TRUE(output.paddingUntouched());
      const fxhost::AccountsReport report = host.accounts();
      EXPECT_TRUE(report.balanced()) << report.text();
      EXPECT_EQ(std::tuple(report.worldsCreated, report.worldsDisposed), std::tuple(row.worlds, row.worlds));
    }
  }
}

// Runs body inside one host command and returns the command's books.
template <class Body>
fxhost::AccountsReport InCommand(Host& host, Body body) {
  host.runInProcess(PF_Cmd_RENDER, [&](PF_InData& in, PF_OutData&) {
    body(in);
    return PF_Err_NONE;
  });
  return host.accounts();
}

// Nothing is asked of the host until a slot is; each slot is acquired once, those the host refuses
// throw 516, and every suite the host handed out goes back once.
TEST(SuiteRegistry, AcquiresEachSlotOnceWhenAskedAndReleasesAll) {
  Host host;
  const auto report = InCommand(host, [&](PF_InData& in) {
    AEUtil::SuiteRegistry suites(in.pica_basicP);
    EXPECT_TRUE(host.records().suiteCalls.empty());
    for (std::size_t slot = 0; slot < AEUtil::kSuiteSlotCount; ++slot) {
      try {
        const void* table = suites.Acquire(slot);
        EXPECT_EQ(suites.Acquire(slot), table);
      } catch (PF_Err code) {
        EXPECT_EQ(code, PF_Err_BAD_CALLBACK_PARAM);
      }
    }
  });
  EXPECT_TRUE(report.balanced()) << report.text();
  EXPECT_EQ(Acquired(report, kPFWorldSuite, 1), 1);
  EXPECT_EQ(Acquired(report, kPFAppSuite, 7), 1);
  EXPECT_EQ(Acquired(report, kPFParamUtilsSuite, 3), 1);
}

// Without "PF World Suite" 2 the deep flag decides, and a refused suite is not released.
TEST(PixelFormat, WithoutWorldSuite2TheDeepFlagDecides) {
  const std::pair<PixelDepth, PF_PixelFormat> cases[] = {{PixelDepth::Eight, PF_PixelFormat_ARGB32},
                                                         {PixelDepth::Sixteen, PF_PixelFormat_ARGB64},
                                                         {PixelDepth::Float, PF_PixelFormat_ARGB32}};  // no flag says float
  for (const auto& [depth, expected] : cases) {
    Host host;
    host.faults().refuseSuite(kPFWorldSuite, 2);
    OwnedWorld world(depth, 4, 3);
    PF_PixelFormat format = PF_PixelFormat_INVALID;
    const auto report = InCommand(host, [&](PF_InData& in) {
      EXPECT_EQ(AEUtil::WorldSuite::getPixelFormat(&in, world.world(), &format), PF_Err_NONE);
    });
    EXPECT_EQ(format, expected);
    EXPECT_TRUE(report.balanced()) << report.text();
  }
}

}  // namespace
