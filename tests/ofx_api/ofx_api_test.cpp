// ofx_api/ against the measured facts of the public OpenFX API: the generated checks, and the names
// the table has that we leave undeclared on purpose.
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ofx_api_test {
void CheckDeclaredRows();
std::vector<std::string> UndeclaredRows();
}  // namespace ofx_api_test

TEST(OfxApi, EveryDeclarationMatchesItsRow) { ofx_api_test::CheckDeclaredRows(); }

// A row that stops matching a declaration (renamed, or dropped) would otherwise pass unseen.
TEST(OfxApi, OnlyWhatWeDoNotUseIsLeftUndeclared) {
  EXPECT_EQ(ofx_api_test::UndeclaredRows(),
            (std::vector<std::string>{
                "OfxInteractHandle",   // overlays and custom interacts: not offered
                "OfxInteractSuiteV1",  // the same
                "OfxSetHostFunction",  // optional since 1.5; the plug-in does not export it
                "OfxYUVAColourF",      // deprecated
                "kOfxSetHostExport",
            }));
}
