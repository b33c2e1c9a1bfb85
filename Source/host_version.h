// What the effect makes of the host's effect API version (in_data->version).
#pragma once

#include "ae_effect.h"

// A coarse code for the version: 110 for 13.2, 105 for 13.1, 100 for 13.0, 90, 80, 70, 65 for
// 12.14 down to 12.11, 0 for anything older, 9999 for anything newer.
int hostVersionCode(const PF_InData* in_data);

// A host of version 12.11 or older: it gets no stored defaults.
bool isLegacyHost(const PF_InData* in_data);
