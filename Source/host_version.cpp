#include "host_version.h"

int hostVersionCode(const PF_InData* in_data) {
  const int major = in_data->version.major;
  const int minor = in_data->version.minor;
  if (major < 12 || (major == 12 && minor < 11)) return 0;
  if (major == 12 && minor <= 14) {
    constexpr int kCodes[] = {65, 70, 80, 90};  // 12.11 to 12.14
    return kCodes[minor - 11];
  }
  if (major == 13 && minor <= 2) {
    constexpr int kCodes[] = {100, 105, 110};  // 13.0 to 13.2
    return kCodes[minor];
  }
  return 9999;
}

bool isLegacyHost(const PF_InData* in_data) {
  return in_data->version.major < 12 || (in_data->version.major == 12 && in_data->version.minor <= 11);
}
