// The plug-in's only export and the one place where failures are caught and turned into the
// host's error code and text.
#pragma once

#include <cstdio>
#include <exception>

#include "ae_effect.h"
#include "ae_exception.h"
#include "ui_language.h"

extern "C" __declspec(dllexport) PF_Err EntryPointFunc(PF_Cmd command, PF_InData* in_data, PF_OutData* out_data,
                                                       PF_ParamDef* params[], PF_LayerDef* output, void* extra);

// The host's name for one of its error codes: "PF_Err_OUT_OF_MEMORY", empty for 1 to 3,
// "unknown" for anything the host does not name.
const char* hostErrorName(PF_Err code);

// Copies a message into out_data's 256-byte error text, cut to 255 bytes at a character boundary
// (Japanese texts are two-byte characters of code page 932).
void setReturnMessage(PF_OutData* out_data, const char* text);

// Runs `body` and turns whatever it throws into the command's result and error text: a host
// error code carried by an AEException, 512 for any other standard exception, a bare integer as
// itself with the text "error code = N\n<name>", anything else as 512 with "unknown error".
template <class Body>
PF_Err runGuarded(PF_OutData* out_data, Body&& body) {
  try {
    return body();
  } catch (const AEUtil::AEException& e) {
    setReturnMessage(out_data, e.what());
    return e.code();
  } catch (const std::exception& e) {
    setReturnMessage(out_data, e.what());
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  } catch (int code) {
    char text[2048];
    std::snprintf(text, sizeof text, "error code = %d\n%s", code, hostErrorName(code));
    setReturnMessage(out_data, text);
    return code;
  } catch (...) {
    setReturnMessage(out_data, AEUtil::unknownErrorText());
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
}
