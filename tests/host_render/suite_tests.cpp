// The suite registry and the pixel-format query against the simulated host's basic suite, where the
// plug-in never takes them.
#include <gtest/gtest.h>

#include "render_harness.h"
#include "suite_registry.h"
#include "world_suite.h"

namespace {

using fxhost::Host;
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
  const std::pair<fxhost::PixelDepth, PF_PixelFormat> cases[] = {{fxhost::PixelDepth::Eight, PF_PixelFormat_ARGB32},
                                                                 {fxhost::PixelDepth::Sixteen, PF_PixelFormat_ARGB64},
                                                                 // never float: no flag says so
                                                                 {fxhost::PixelDepth::Float, PF_PixelFormat_ARGB32}};
  for (const auto& [depth, expected] : cases) {
    Host host;
    host.faults().refuseSuite(kPFWorldSuite, 2);
    fxhost::OwnedWorld world(depth, 4, 3);
    PF_PixelFormat format = PF_PixelFormat_INVALID;
    const auto report = InCommand(host, [&](PF_InData& in) {
      EXPECT_EQ(AEUtil::WorldSuite::getPixelFormat(&in, world.world(), &format), PF_Err_NONE);
    });
    EXPECT_EQ(format, expected);
    EXPECT_TRUE(report.balanced()) << report.text();
  }
}

}  // namespace
