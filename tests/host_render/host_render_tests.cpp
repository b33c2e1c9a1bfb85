// The kernel frame over host worlds: selection, refusals, the copy stage, the scratch world and its
// failures, with the simulated host's accounts checked after every render.
#include <gtest/gtest.h>

#include "render_harness.h"
#include "suite_registry.h"

namespace {

using fxhost::Host;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using host_render_test::Acquired;
using host_render_test::Bytes;
using host_render_test::MakeJob;
using host_render_test::PaintCel;
using host_render_test::RunJob;

constexpr PixelDepth kDepths[] = {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float};

// The same frame through the kernels over host worlds and through the engine's own entry point,
// with input and output padded differently: byte for byte the same, padding untouched.
TEST(HostRender, MatchesTheEngineAtEveryDepthAndKeyMode) {
  struct Mode {
    A_char enable, invert;
    tessaline::SourceMode engine;
  };
  const Mode modes[] = {{0, 1, tessaline::SourceMode::Plain},  // invert alone changes nothing
                        {1, 0, tessaline::SourceMode::Key},
                        {1, 1, tessaline::SourceMode::KeyInvert}};
  for (PixelDepth depth : kDepths)
    for (const Mode& mode : modes) {
      Host host;
      OwnedWorld input(depth, 37, 29, 16), output(depth, 37, 29, 48);
      PaintCel(input);
      RenderJob job = MakeJob(input, output);
      job.colorKeyEnable = mode.enable;
      job.invert = mode.invert;
      job.bias = 20;
      ASSERT_EQ(RunJob(host, job), PF_Err_NONE);
      EXPECT_TRUE(host.accounts().balanced()) << host.accounts().text();
      EXPECT_TRUE(output.paddingUntouched());

      OwnedWorld expected(depth, 37, 29, 48);
      tessaline::Params params;
      params.bias = 20;
      params.keyColor[1] = 255;
      std::vector<std::uint8_t> map(tessaline::EdgeMapBytes(37, 29));
      ASSERT_EQ(tessaline::Render(host_render_test::EngineDepth(depth), mode.engine,
                                  {input.row(0), input.rowbytes(), 37, 29},
                                  {expected.row(0), expected.rowbytes(), 37, 29}, params, map.data()),
                tessaline::RenderStatus::Ok);
      EXPECT_EQ(Bytes(output), Bytes(expected)) << "depth " << int(depth) << " mode " << int(mode.engine);
      EXPECT_NE(Bytes(output), Bytes(input));
    }
}

TEST(HostRender, TheBaseClassHasNoKernels) {
  OwnedWorld input(PixelDepth::Eight, 2, 2), output(PixelDepth::Eight, 2, 2);
  BaseFilter base;
  EXPECT_EQ(base.ProcessJob(MakeJob(input, output)), PF_Err_INTERNAL_STRUCT_DAMAGED);
}

TEST(HostRender, UnknownFormatIsRefusedBeforeAnythingHappens) {
  Host host;
  OwnedWorld input(PixelDepth::Eight, 8, 8), output(PixelDepth::Eight, 8, 8, 0, 0x5A);
  PaintCel(input);
  RenderJob job = MakeJob(input, output);
  job.pixelFormat = PF_PixelFormat_INVALID;
  const auto before = Bytes(output);
  EXPECT_EQ(RunJob(host, job), PF_Err_UNRECOGNIZED_PARAM_TYPE);
  EXPECT_EQ(Bytes(output), before);
  EXPECT_TRUE(host.accounts().balanced()) << host.accounts().text();
  EXPECT_TRUE(host.accounts().suites.empty());
}

TEST(HostRender, SizesThatDifferAreRefusedWithTheOutputUntouched) {
  for (PixelDepth depth : kDepths) {
    Host host;
    OwnedWorld input(depth, 8, 8), output(depth, 8, 9, 0, 0x5A);
    PaintCel(input);
    const auto before = Bytes(output);
    EXPECT_EQ(RunJob(host, MakeJob(input, output)), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(Bytes(output), before);
    EXPECT_TRUE(host.accounts().balanced()) << host.accounts().text();
    EXPECT_TRUE(host.accounts().suites.empty());
  }
}

TEST(HostRender, SoftnessZeroReturnsTheCopyWithoutAScratchWorld) {
  for (A_char key : {0, 1}) {
    Host host;
    OwnedWorld input(PixelDepth::Sixteen, 20, 12, 8), output(PixelDepth::Sixteen, 20, 12);
    PaintCel(input);
    RenderJob job = MakeJob(input, output);
    job.softness = 0;
    job.colorKeyEnable = key;
    EXPECT_EQ(RunJob(host, job), PF_Err_NONE);
    const auto report = host.accounts();
    EXPECT_TRUE(report.balanced()) << report.text();
    EXPECT_EQ(report.worldsCreated, 0);
    // The plain kernel copies through the host; the keyed one needs no suite at all.
    EXPECT_EQ(Acquired(report, kPFWorldTransformSuite, 1), key ? 0 : 1);
    EXPECT_EQ(Acquired(report, kPFWorldSuite, 1), 0);
    for (A_long y = 0; y < 12; ++y) {
      const auto* in = reinterpret_cast<const std::uint16_t*>(input.row(y));
      const auto* out = reinterpret_cast<const std::uint16_t*>(output.row(y));
      for (A_long x = 0; x < 20; ++x) {
        const bool red = in[4 * x + 1] == 32768 && in[4 * x + 2] == 0 && in[4 * x + 3] == 0;
        EXPECT_EQ(out[4 * x], key && red ? 0 : in[4 * x]) << x << "," << y;
        for (int c = 1; c < 4; ++c) EXPECT_EQ(out[4 * x + c], in[4 * x + c]);
      }
    }
  }
}

TEST(HostRender, ARefusedSuiteFailsWith516AndReleasesWhatWasAcquired) {
  {
    Host host;
    host.faults().refuseSuite(kPFWorldTransformSuite, 1);
    OwnedWorld input(PixelDepth::Eight, 8, 8), output(PixelDepth::Eight, 8, 8, 0, 0x5A);
    const auto before = Bytes(output);
    EXPECT_EQ(RunJob(host, MakeJob(input, output)), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(Bytes(output), before);
    EXPECT_TRUE(host.accounts().balanced()) << host.accounts().text();
  }
  {
    // The copy went through; the scratch world's suite is refused after it.
    Host host;
    host.faults().refuseSuite(kPFWorldSuite, 1);
    OwnedWorld input(PixelDepth::Eight, 8, 8), output(PixelDepth::Eight, 8, 8);
    PaintCel(input);
    EXPECT_EQ(RunJob(host, MakeJob(input, output)), PF_Err_BAD_CALLBACK_PARAM);
    const auto report = host.accounts();
    EXPECT_TRUE(report.balanced()) << report.text();
    EXPECT_EQ(Acquired(report, kPFWorldTransformSuite, 1), 1);
    EXPECT_EQ(Bytes(output), Bytes(input));
  }
  {
    Host host;
    host.options().provideBasicSuite = false;
    OwnedWorld input(PixelDepth::Float, 4, 4), output(PixelDepth::Float, 4, 4);
    EXPECT_EQ(RunJob(host, MakeJob(input, output)), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(host.accounts().balanced()) << host.accounts().text();
  }
}

TEST(HostRender, HostFailuresAreReturnedAndEverythingIsGivenBack) {
  {
    Host host;
    host.faults().copyError = PF_Err_OUT_OF_MEMORY;
    OwnedWorld input(PixelDepth::Eight, 8, 8), output(PixelDepth::Eight, 8, 8);
    EXPECT_EQ(RunJob(host, MakeJob(input, output)), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.accounts().worldsCreated, 0);
    EXPECT_TRUE(host.accounts().balanced()) << host.accounts().text();
  }
  for (A_char key : {0, 1}) {
    // No scratch world: the output keeps the copy stage's result.
    Host host;
    host.faults().newWorldError = PF_Err_INTERNAL_STRUCT_DAMAGED;
    OwnedWorld input(PixelDepth::Eight, 16, 16), output(PixelDepth::Eight, 16, 16);
    PaintCel(input);
    RenderJob job = MakeJob(input, output);
    job.colorKeyEnable = key;
    EXPECT_EQ(RunJob(host, job), PF_Err_INTERNAL_STRUCT_DAMAGED);
    const auto report = host.accounts();
    EXPECT_TRUE(report.balanced()) << report.text();
    EXPECT_EQ(report.worldsDisposed, 0);
    OwnedWorld copy(PixelDepth::Eight, 16, 16);
    tessaline::Params params;
    params.keyColor[1] = 255;
    tessaline::CopyStage(tessaline::Depth::U8, key ? tessaline::SourceMode::Key : tessaline::SourceMode::Plain,
                         {input.row(0), input.rowbytes(), 16, 16}, {copy.row(0), copy.rowbytes(), 16, 16}, params);
    EXPECT_EQ(Bytes(output), Bytes(copy));
  }
}

TEST(HostRender, AFailedDisposeIsIgnored) {
  Host host;
  host.faults().disposeWorldError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  OwnedWorld input(PixelDepth::Float, 12, 9, 16), output(PixelDepth::Float, 12, 9);
  PaintCel(input);
  EXPECT_EQ(RunJob(host, MakeJob(input, output)), PF_Err_NONE);
  EXPECT_TRUE(host.accounts().balanced()) << host.accounts().text();
  EXPECT_EQ(host.accounts().worldsDisposed, 1);
  EXPECT_NE(Bytes(output), Bytes(input));
  // The host did answer with the error.
  host.runInProcess(PF_Cmd_RENDER, [](PF_InData& in, PF_OutData&) {
    AEUtil::SuiteRegistry suites(in.pica_basicP);
    PF_EffectWorld world{};
    EXPECT_EQ(suites.WorldSuite1()->new_world(in.effect_ref, 2, 2, 0, &world), PF_Err_NONE);
    EXPECT_EQ(suites.WorldSuite1()->dispose_world(in.effect_ref, &world), PF_Err_INTERNAL_STRUCT_DAMAGED);
    return PF_Err_NONE;
  });
  EXPECT_TRUE(host.accounts().balanced()) << host.accounts().text();
}

TEST(HostRender, TheScratchWorldIsMadeOnceAndGivenBack) {
  Host host;
  OwnedWorld input(PixelDepth::Eight, 30, 10), output(PixelDepth::Eight, 30, 10);
  PaintCel(input);
  EXPECT_EQ(RunJob(host, MakeJob(input, output)), PF_Err_NONE);
  const auto report = host.accounts();
  EXPECT_TRUE(report.balanced()) << report.text();
  EXPECT_EQ(report.worldsCreated, 1);
  EXPECT_EQ(report.worldsDisposed, 1);
  EXPECT_EQ(Acquired(report, kPFWorldSuite, 1), 1);
  EXPECT_EQ(Acquired(report, kPFWorldTransformSuite, 1), 1);
  // The whole input was copied into the whole output, and the suites went back in the registry's
  // order: the copy's suite first.
  ASSERT_EQ(host.records().copies.size(), 1u);
  EXPECT_TRUE(host.records().copies[0].wholeSource && host.records().copies[0].wholeDestination);
  const std::vector<std::string> expected = {
      "acquire \"PF World Transform Suite\" 1: 0", "acquire \"PF World Suite\" 1: 0",
      "release \"PF World Transform Suite\" 1: 0", "release \"PF World Suite\" 1: 0"};
  EXPECT_EQ(host.records().suiteCalls, expected);
}

}  // namespace
