// The suite holders and the pixel-format query against the simulated host's basic suite.
#include <gtest/gtest.h>

#include "render_harness.h"
#include "suite_registry.h"
#include "world_suite.h"

namespace {

using fxhost::Host;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using host_render_test::Acquired;

// Runs body inside one host command and returns the command's books.
template <class Body>
fxhost::AccountsReport InCommand(Host& host, Body body) {
  host.runInProcess(PF_Cmd_RENDER, [&](PF_InData& in, PF_OutData&) {
    body(in);
    return PF_Err_NONE;
  });
  return host.accounts();
}

TEST(SuiteRegistry, MakesNoHostCallUntilAsked) {
  Host host;
  const auto report = InCommand(host, [](PF_InData& in) { AEUtil::SuiteRegistry suites(in.pica_basicP); });
  EXPECT_TRUE(report.balanced()) << report.text();
  EXPECT_TRUE(report.suites.empty());
}

TEST(SuiteRegistry, AcquiresASlotOnceAndReleasesItOnce) {
  Host host;
  const auto report = InCommand(host, [](PF_InData& in) {
    AEUtil::SuiteRegistry suites(in.pica_basicP);
    const PF_WorldSuite1* first = suites.WorldSuite1();
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(suites.WorldSuite1(), first);
  });
  EXPECT_TRUE(report.balanced()) << report.text();
  EXPECT_EQ(Acquired(report, kPFWorldSuite, 1), 1);
}

TEST(SuiteRegistry, AFailedSlotThrows516AndEarlierSlotsAreStillReleased) {
  Host host;
  host.faults().refuseSuite(kPFWorldSuite, 1);
  bool threw = false;
  const auto report = InCommand(host, [&](PF_InData& in) {
    try {
      AEUtil::SuiteRegistry suites(in.pica_basicP);
      EXPECT_NE(suites.WorldTransformSuite1(), nullptr);
      suites.WorldSuite1();
    } catch (PF_Err code) {
      threw = code == PF_Err_BAD_CALLBACK_PARAM;
    }
  });
  EXPECT_TRUE(threw);
  EXPECT_TRUE(report.balanced()) << report.text();
  EXPECT_EQ(Acquired(report, kPFWorldTransformSuite, 1), 1);
}

TEST(SuiteRegistry, EverySlotCanBeHeldAtOnce) {
  // The host knows only some suites; every one it hands out comes back, each exactly once.
  Host host;
  const auto report = InCommand(host, [](PF_InData& in) {
    AEUtil::SuiteRegistry suites(in.pica_basicP);
    for (std::size_t slot = 0; slot < AEUtil::kSuiteSlotCount; ++slot) {
      try {
        suites.Acquire(slot);
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

TEST(ScopedSuite, ReleasesOnlyWhatItAcquired) {
  Host host;
  host.faults().refuseSuite(kPFWorldSuite, 2);
  const auto report = InCommand(host, [](PF_InData& in) {
    const AEUtil::ScopedSuite refused(in.pica_basicP, kPFWorldSuite, 2);
    EXPECT_EQ(refused.table(), nullptr);
    EXPECT_NE(refused.error(), 0);
    const AEUtil::ScopedSuite held(in.pica_basicP, kPFAppSuite, kPFAppSuiteVersion5);
    EXPECT_NE(held.as<PFAppSuite5>(), nullptr);
    EXPECT_EQ(held.error(), 0);
  });
  // A release of the refused suite would be booked as a release of a suite never acquired.
  EXPECT_TRUE(report.balanced()) << report.text();
  EXPECT_EQ(Acquired(report, kPFAppSuite, 7), 1);
}

TEST(PixelFormat, AskedOfWorldSuite2) {
  for (PixelDepth depth : {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float}) {
    Host host;
    OwnedWorld world(depth, 4, 3, 8);
    PF_PixelFormat format = PF_PixelFormat_INVALID;
    const auto report = InCommand(host, [&](PF_InData& in) {
      EXPECT_EQ(AEUtil::WorldSuite::getPixelFormat(&in, world.world(), &format), PF_Err_NONE);
    });
    EXPECT_EQ(format, fxhost::pixelFormatOf(depth));
    EXPECT_TRUE(report.balanced()) << report.text();
    EXPECT_EQ(Acquired(report, kPFWorldSuite, 2), 1);
  }
}

TEST(PixelFormat, WithoutWorldSuite2TheDeepFlagDecides) {
  const std::pair<PixelDepth, PF_PixelFormat> cases[] = {{PixelDepth::Eight, PF_PixelFormat_ARGB32},
                                                         {PixelDepth::Sixteen, PF_PixelFormat_ARGB64},
                                                         // never float: no flag says so
                                                         {PixelDepth::Float, PF_PixelFormat_ARGB32}};
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

TEST(PixelFormat, AnErrorOfTheSuiteIsReturned) {
  Host host;
  host.faults().pixelFormatError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  OwnedWorld world(PixelDepth::Eight, 2, 2);
  PF_PixelFormat format = PF_PixelFormat_INVALID;
  const auto report = InCommand(host, [&](PF_InData& in) {
    EXPECT_EQ(AEUtil::WorldSuite::getPixelFormat(&in, world.world(), &format), PF_Err_INTERNAL_STRUCT_DAMAGED);
  });
  EXPECT_TRUE(report.balanced()) << report.text();
}

}  // namespace
