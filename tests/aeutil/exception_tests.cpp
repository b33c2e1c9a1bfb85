// The utility layer's exceptions: a stable what(), and parts cut rather than overrun. (The located
// texts of both kinds and their codes are read through the plug-in's failure guard in
// tests/plugin's inprocess_tests.)
#include <string>

#include <gtest/gtest.h>

#include "ae_exception.h"

namespace {

// what() gives the same text on every call, and keeps it valid between calls.
TEST(AEException, WhatIsTheLocatedMessageOnEveryCall) {
  const AEUtil::AEException e(516, 42, "AEUtil\\AESuites.cpp", "suite %s version %d", "PF World Suite", 2);
  const char* first = e.what();
  EXPECT_STREQ(e.what(), "AEUtil\\AESuites.cpp(42): suite PF World Suite version 2");
  EXPECT_STREQ(first, e.message());
}

TEST(AEException, APartLongerThanItsBufferIsCut) {
  const std::string longText(5000, 'x');
  const AEUtil::AEException e(4, 1, "f", "%s", longText.c_str());
  // "f(1): " and 2047 characters of the description.
  EXPECT_EQ(std::string(e.message()).size(), 6u + 2047u);
  const AEUtil::AEException longFile(4, 1, longText, "tail");
  EXPECT_EQ(std::string(longFile.message()), std::string(2047, 'x') + "tail");
}

}  // namespace
