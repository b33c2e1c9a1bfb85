// The language of every text the user sees: Japanese or English, following the host's.
#pragma once

#include <cstdint>

#include "ae_effect.h"

namespace AEUtil {

// The column of the text tables.
enum Language : std::int32_t { kJapanese = 0, kEnglish = 1 };

// The host's language through "PF AE App Suite" 7; without that suite, English when the host's
// command line asks for it, else Japanese when Windows speaks Japanese, else English.
Language queryUiLanguage(const PF_InData* in_data);

// Whether the process was started with "-L en..." (-L en_US, -l EN, -L en-GB). Only hosts of
// effect API version 9.0 or older are asked; the answer of the first call holds for the process.
bool commandLineRequestsEnglish(const PF_InData* in_data);

// Whether a command line (the program's name first) holds "-L" followed by an English tag.
bool commandLineAsksForEnglish(const wchar_t* commandLine);

// Product texts: 0 the name, 1 the About box's credit line, 2 the options dialog's title, 3 the
// address of the manual installed beside the plug-in (empty when it is not there).
const char* productText(std::int32_t id, Language language);
// Options dialog texts: 0 the group box, 1 and 2 the two action buttons, 4 the manual link.
const char* uiText(std::int32_t id, Language language);

// What the host shows for a failure nobody could name ("unknown error"), in Japanese, as CP932.
const char* unknownErrorText();

// Forgets the remembered command-line answer; for tests only.
void forgetCommandLineAnswer();

}  // namespace AEUtil
