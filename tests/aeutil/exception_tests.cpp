// The utility layer's exceptions: located messages, stable what(), and cut rather than overrun.
#include <string>

#include <gtest/gtest.h>

#include "ae_exception.h"

namespace {

TEST(AEException, LocatedMessageAndCode) {
  const AEUtil::AEException e(516, 42, "AEUtil\\AESuites.cpp", "suite %s version %d", "PF World Suite", 2);
  EXPECT_EQ(e.code(), 516);
  EXPECT_STREQ(e.message(), "AEUtil\\AESuites.cpp(42): suite PF World Suite version 2");
  // what() gives the same text on every call, and keeps it valid between calls.
  const char* first = e.what();
  const std::string copy = first;
  EXPECT_EQ(copy, e.message());
  EXPECT_STREQ(e.what(), copy.c_str());
  EXPECT_STREQ(first, copy.c_str());
}

TEST(Win32Exception, FileBeforeLine) {
  const AEUtil::Win32Exception e(5, "options_dialog\\Settings.cpp", 7, "cannot open %s", "tessaline.ini");
  EXPECT_EQ(e.code(), 5u);
  EXPECT_STREQ(e.what(), "options_dialog\\Settings.cpp(7): cannot open tessaline.ini");
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
