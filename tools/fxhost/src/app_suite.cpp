// "PF AE App Suite" 7 (table PFAppSuite5): PF_AppGetLanguage reports the configured tag; the rest
// of the table is not offered.

#include <cstring>

#include "ae_suites.h"
#include "host_core.h"
#include "not_implemented.h"

namespace fxhost::detail {
namespace {

PF_Err getLanguage(A_char* tag) {
  LockedHost host;
  ++host->records.languageQueries;
  if (host->faults.appLanguageError != 0) return host->faults.appLanguageError;
  if (tag == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  // The caller's buffer holds PF_APP_LANG_TAG_SIZE characters: five and the terminator.
  const std::string& language = host->options.language;
  const std::size_t length = std::min(language.size(), static_cast<std::size_t>(PF_APP_LANG_TAG_SIZE - 1));
  std::memcpy(tag, language.data(), length);
  tag[length] = 0;
  return PF_Err_NONE;
}

PFAppSuite5 makeAppSuite() {
  PFAppSuite5 suite{};
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_AppGetBgColor);
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_AppGetColor);
  suite.PF_AppGetLanguage = getLanguage;
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_GetPersonalInfo);
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_GetFontStyleSheet);
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_SetCursor);
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_IsRenderEngine);
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_AppColorPickerDialog);
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_GetMouse);
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_InvalidateRect);
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_ConvertLocalToGlobal);
  FXHOST_NOT_IMPLEMENTED(suite, "PF AE App Suite 7: ", PF_GetColorAtGlobalPoint);
  return suite;
}

}  // namespace

const void* appSuiteTable() {
  static const PFAppSuite5 suite = makeAppSuite();
  return &suite;
}

}  // namespace fxhost::detail
