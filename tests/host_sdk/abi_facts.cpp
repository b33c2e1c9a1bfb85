// The registry of everything host_sdk/ declares, in the table's order: each record's size, each
// member's offset, size and C type, each suite function's position, each suite's name and version
// numbers, each constant's value. The numbers come from the compiler; the table supplies the
// expectations, and abi_check.cpp compares the two.

#include <cxxabi.h>

#include <cstddef>
#include <cstdlib>
#include <string>
#include <typeinfo>
#include <utility>

#include "abi_facts.h"
#include "multichar_literal.h"
#include "ae_callbacks.h"
#include "ae_effect.h"
#include "ae_params.h"
#include "ae_smart_render.h"
#include "ae_suites.h"
#include "ae_types.h"
#include "ae_world.h"
#include "pipl.h"
#include "sp_basic_suite.h"

namespace host_abi {
namespace {

// The C type as the compiler spells it, e.g. "int (*)(PF_ProgressInfo*, PF_ParamDef*)": the same
// spelling the table's type= notes use.
template <class T>
std::string typeName() {
  int status = 0;
  char* demangled = abi::__cxa_demangle(typeid(T).name(), nullptr, nullptr, &status);
  std::string name = status == 0 && demangled != nullptr ? demangled : typeid(T).name();
  std::free(demangled);
  return name;
}

Fact number(std::string kind, std::string owner, std::string name, long long value) {
  Fact fact;
  fact.kind = std::move(kind);
  fact.owner = std::move(owner);
  fact.name = std::move(name);
  fact.number = value;
  return fact;
}

Fact text(std::string kind, std::string owner, std::string name, std::string value) {
  Fact fact = number(std::move(kind), std::move(owner), std::move(name), 0);
  fact.isText = true;
  fact.text = std::move(value);
  return fact;
}

Fact member(std::string kind, std::string owner, std::string name, size_t offset, size_t size, std::string type) {
  Fact fact = number(std::move(kind), std::move(owner), std::move(name), static_cast<long long>(offset));
  fact.hasSize = true;
  fact.size = static_cast<long long>(size);
  fact.type = std::move(type);
  return fact;
}

}  // namespace

// A member path may name a member of an embedded record ("inter.checkout_param"); its offset is
// measured from the outer record, as in the table.
#define ABI_MEMBER_TYPE(T, path) decltype(std::declval<T&>().path)
#define ABI_RECORD(T) facts.push_back(number("struct", "", #T, static_cast<long long>(sizeof(T))))
#define ABI_FIELD(T, path)                                                                     \
  facts.push_back(member("field", #T, #path, offsetof(T, path), sizeof(ABI_MEMBER_TYPE(T, path)), \
                         typeName<ABI_MEMBER_TYPE(T, path)>()))
#define ABI_SUITE_FN(T, path)                                                                  \
  facts.push_back(member("suite", #T, #path, offsetof(T, path), sizeof(ABI_MEMBER_TYPE(T, path)), \
                         typeName<ABI_MEMBER_TYPE(T, path)>()))
#define ABI_SUITE_NAME(T, name) facts.push_back(text("suite", #T, "@name", name))
#define ABI_SUITE_VERSION(T, version) facts.push_back(number("suite", #T, #version, version))
#define ABI_CONST(name) facts.push_back(number("const", "", #name, static_cast<long long>(name)))
#define ABI_CONST_AS(row, value) facts.push_back(number("const", "", row, static_cast<long long>(value)))
#define ABI_CONST_TEXT(row, value) facts.push_back(text("const", "", row, value))
#define ABI_CONST_TYPE(row, T) facts.push_back(text("const", "", row, typeName<T>()))
#define ABI_STRINGIZE(x) #x
#define ABI_EXPANSION(macro) ABI_STRINGIZE(macro)

std::vector<Fact> declaredFacts() {
  std::vector<Fact> facts;

  ABI_RECORD(A_long);
  ABI_RECORD(A_u_long);
  ABI_RECORD(A_char);
  ABI_RECORD(A_short);
  ABI_RECORD(A_u_short);
  ABI_RECORD(A_u_char);
  ABI_RECORD(A_Boolean);
  ABI_RECORD(A_FpLong);
  ABI_RECORD(A_FpShort);
  ABI_RECORD(A_Err);
  ABI_RECORD(A_Handle);
  ABI_RECORD(A_intptr_t);
  ABI_RECORD(A_u_longlong);
  ABI_RECORD(A_HandleSize);
  ABI_RECORD(A_LegacyEnumType);

  ABI_RECORD(A_Time);
  ABI_FIELD(A_Time, value);
  ABI_FIELD(A_Time, scale);

  ABI_RECORD(PF_Err);
  ABI_RECORD(PF_Cmd);
  ABI_RECORD(PF_Fixed);
  ABI_RECORD(PF_UFixed);
  ABI_RECORD(PF_FpLong);
  ABI_RECORD(PF_FpShort);
  ABI_RECORD(PF_Boolean);
  ABI_RECORD(PF_Handle);
  ABI_RECORD(PF_ProgPtr);
  ABI_RECORD(PF_ParamIndex);
  ABI_RECORD(PF_ParamValue);
  ABI_RECORD(PF_ParamType);
  ABI_RECORD(PF_ParamFlags);
  ABI_RECORD(PF_ParamUIFlags);
  ABI_RECORD(PF_ChangeFlags);
  ABI_RECORD(PF_OutFlags);
  ABI_RECORD(PF_OutFlags2);
  ABI_RECORD(PF_InFlags);
  ABI_RECORD(PF_Quality);
  ABI_RECORD(PF_ModeFlags);
  ABI_RECORD(PF_Field);
  ABI_RECORD(PF_WorldFlags);
  ABI_RECORD(PF_PixelFormat);
  ABI_RECORD(PF_PixelPtr);
  ABI_RECORD(PF_NewWorldFlags);
  ABI_RECORD(PF_PlatDataID);
  ABI_RECORD(PF_ChannelMask);
  ABI_RECORD(PF_RenderOutputFlags);
  ABI_RECORD(PF_GPU_Framework);
  ABI_RECORD(PF_ValueDisplayFlags);
  ABI_RECORD(PF_FSliderFlags);
  ABI_RECORD(PF_XferMode);
  ABI_RECORD(PF_KernelFlags);
  ABI_RECORD(PF_CursorType);
  ABI_RECORD(PF_App_ColorType);
  ABI_RECORD(PF_EyeDropperSampleMode);
  ABI_RECORD(PF_FontStyleSheet);
  ABI_RECORD(PF_SuiteTool);
  ABI_RECORD(PF_Step);

  ABI_RECORD(PF_State);
  ABI_FIELD(PF_State, reservedAL);

  ABI_RECORD(PF_TimeDir);
  ABI_RECORD(PF_KeyIndex);
  ABI_RECORD(PF_Stage);
  ABI_RECORD(SPErr);
  ABI_RECORD(SPBoolean);
  ABI_RECORD(PIType);
  ABI_RECORD(PF_FilterProc);
  ABI_RECORD(PF_ParamList);

  ABI_RECORD(PF_SpecVersion);
  ABI_FIELD(PF_SpecVersion, major);
  ABI_FIELD(PF_SpecVersion, minor);

  ABI_RECORD(PF_Point);
  ABI_FIELD(PF_Point, h);
  ABI_FIELD(PF_Point, v);

  ABI_RECORD(PF_LRect);
  ABI_FIELD(PF_LRect, left);
  ABI_FIELD(PF_LRect, top);
  ABI_FIELD(PF_LRect, right);
  ABI_FIELD(PF_LRect, bottom);

  ABI_RECORD(PF_Rect);
  ABI_RECORD(PF_UnionableRect);

  ABI_RECORD(PF_RationalScale);
  ABI_FIELD(PF_RationalScale, num);
  ABI_FIELD(PF_RationalScale, den);

  ABI_RECORD(PF_Pixel);
  ABI_FIELD(PF_Pixel, alpha);
  ABI_FIELD(PF_Pixel, red);
  ABI_FIELD(PF_Pixel, green);
  ABI_FIELD(PF_Pixel, blue);

  ABI_RECORD(PF_Pixel16);
  ABI_FIELD(PF_Pixel16, alpha);
  ABI_FIELD(PF_Pixel16, red);
  ABI_FIELD(PF_Pixel16, green);
  ABI_FIELD(PF_Pixel16, blue);

  ABI_RECORD(PF_PixelFloat);
  ABI_FIELD(PF_PixelFloat, alpha);
  ABI_FIELD(PF_PixelFloat, red);
  ABI_FIELD(PF_PixelFloat, green);
  ABI_FIELD(PF_PixelFloat, blue);

  ABI_RECORD(PF_Pixel32);

  ABI_RECORD(PF_CompositeMode);
  ABI_FIELD(PF_CompositeMode, xfer);
  ABI_FIELD(PF_CompositeMode, rand_seed);
  ABI_FIELD(PF_CompositeMode, opacity);
  ABI_FIELD(PF_CompositeMode, rgb_only);
  ABI_FIELD(PF_CompositeMode, opacitySu);

  ABI_RECORD(PF_LayerDef);
  ABI_RECORD(PF_EffectWorld);

  ABI_FIELD(PF_LayerDef, reserved0);
  ABI_FIELD(PF_LayerDef, reserved1);
  ABI_FIELD(PF_LayerDef, world_flags);
  ABI_FIELD(PF_LayerDef, data);
  ABI_FIELD(PF_LayerDef, rowbytes);
  ABI_FIELD(PF_LayerDef, width);
  ABI_FIELD(PF_LayerDef, height);
  ABI_FIELD(PF_LayerDef, extent_hint);
  ABI_FIELD(PF_LayerDef, platform_ref);
  ABI_FIELD(PF_LayerDef, reserved_long1);
  ABI_FIELD(PF_LayerDef, reserved_long4);
  ABI_FIELD(PF_LayerDef, pix_aspect_ratio);
  ABI_FIELD(PF_LayerDef, reserved_long2);
  ABI_FIELD(PF_LayerDef, origin_x);
  ABI_FIELD(PF_LayerDef, origin_y);
  ABI_FIELD(PF_LayerDef, reserved_long3);
  ABI_FIELD(PF_LayerDef, dephault);

  ABI_RECORD(PF_SoundFormatInfo);
  ABI_FIELD(PF_SoundFormatInfo, rateF);
  ABI_FIELD(PF_SoundFormatInfo, num_channels);
  ABI_FIELD(PF_SoundFormatInfo, format);
  ABI_FIELD(PF_SoundFormatInfo, sample_size);

  ABI_RECORD(PF_SoundWorld);
  ABI_FIELD(PF_SoundWorld, fi);
  ABI_FIELD(PF_SoundWorld, num_samples);
  ABI_FIELD(PF_SoundWorld, dataP);

  ABI_RECORD(PF_SliderDef);
  ABI_FIELD(PF_SliderDef, value);
  ABI_FIELD(PF_SliderDef, value_str);
  ABI_FIELD(PF_SliderDef, value_desc);
  ABI_FIELD(PF_SliderDef, valid_min);
  ABI_FIELD(PF_SliderDef, valid_max);
  ABI_FIELD(PF_SliderDef, slider_min);
  ABI_FIELD(PF_SliderDef, slider_max);
  ABI_FIELD(PF_SliderDef, dephault);

  ABI_RECORD(PF_FixedSliderDef);
  ABI_FIELD(PF_FixedSliderDef, value);
  ABI_FIELD(PF_FixedSliderDef, value_str);
  ABI_FIELD(PF_FixedSliderDef, value_desc);
  ABI_FIELD(PF_FixedSliderDef, valid_min);
  ABI_FIELD(PF_FixedSliderDef, valid_max);
  ABI_FIELD(PF_FixedSliderDef, slider_min);
  ABI_FIELD(PF_FixedSliderDef, slider_max);
  ABI_FIELD(PF_FixedSliderDef, dephault);
  ABI_FIELD(PF_FixedSliderDef, precision);
  ABI_FIELD(PF_FixedSliderDef, display_flags);

  ABI_RECORD(PF_FloatSliderDef);
  ABI_FIELD(PF_FloatSliderDef, value);
  ABI_FIELD(PF_FloatSliderDef, phase);
  ABI_FIELD(PF_FloatSliderDef, value_desc);
  ABI_FIELD(PF_FloatSliderDef, valid_min);
  ABI_FIELD(PF_FloatSliderDef, valid_max);
  ABI_FIELD(PF_FloatSliderDef, slider_min);
  ABI_FIELD(PF_FloatSliderDef, slider_max);
  ABI_FIELD(PF_FloatSliderDef, dephault);
  ABI_FIELD(PF_FloatSliderDef, precision);
  ABI_FIELD(PF_FloatSliderDef, display_flags);
  ABI_FIELD(PF_FloatSliderDef, fs_flags);
  ABI_FIELD(PF_FloatSliderDef, curve_tolerance);
  ABI_FIELD(PF_FloatSliderDef, useExponent);
  ABI_FIELD(PF_FloatSliderDef, exponent);

  ABI_RECORD(PF_AngleDef);
  ABI_FIELD(PF_AngleDef, value);
  ABI_FIELD(PF_AngleDef, dephault);
  ABI_FIELD(PF_AngleDef, valid_min);
  ABI_FIELD(PF_AngleDef, valid_max);

  ABI_RECORD(PF_CheckBoxDef);
  ABI_FIELD(PF_CheckBoxDef, value);
  ABI_FIELD(PF_CheckBoxDef, dephault);
  ABI_FIELD(PF_CheckBoxDef, reserved);
  ABI_FIELD(PF_CheckBoxDef, reserved1);
  ABI_FIELD(PF_CheckBoxDef, u);
  ABI_FIELD(PF_CheckBoxDef, u.nameptr);

  ABI_RECORD(PF_ColorDef);
  ABI_FIELD(PF_ColorDef, value);
  ABI_FIELD(PF_ColorDef, dephault);

  ABI_RECORD(PF_PointDef);
  ABI_FIELD(PF_PointDef, x_value);
  ABI_FIELD(PF_PointDef, y_value);
  ABI_FIELD(PF_PointDef, reserved);
  ABI_FIELD(PF_PointDef, restrict_bounds);
  ABI_FIELD(PF_PointDef, x_dephault);
  ABI_FIELD(PF_PointDef, y_dephault);

  ABI_RECORD(PF_Point3DDef);
  ABI_FIELD(PF_Point3DDef, x_value);
  ABI_FIELD(PF_Point3DDef, y_value);
  ABI_FIELD(PF_Point3DDef, z_value);
  ABI_FIELD(PF_Point3DDef, x_dephault);
  ABI_FIELD(PF_Point3DDef, y_dephault);
  ABI_FIELD(PF_Point3DDef, z_dephault);
  ABI_FIELD(PF_Point3DDef, reserved);

  ABI_RECORD(PF_PopupDef);
  ABI_FIELD(PF_PopupDef, value);
  ABI_FIELD(PF_PopupDef, num_choices);
  ABI_FIELD(PF_PopupDef, dephault);
  ABI_FIELD(PF_PopupDef, u);
  ABI_FIELD(PF_PopupDef, u.namesptr);

  ABI_RECORD(PF_ButtonDef);
  ABI_FIELD(PF_ButtonDef, value);
  ABI_FIELD(PF_ButtonDef, u);
  ABI_FIELD(PF_ButtonDef, u.namesptr);

  ABI_RECORD(PF_PathDef);
  ABI_FIELD(PF_PathDef, path_id);
  ABI_FIELD(PF_PathDef, reserved0);
  ABI_FIELD(PF_PathDef, dephault);

  ABI_RECORD(PF_ArbitraryDef);
  ABI_FIELD(PF_ArbitraryDef, id);
  ABI_FIELD(PF_ArbitraryDef, pad);
  ABI_FIELD(PF_ArbitraryDef, dephault);
  ABI_FIELD(PF_ArbitraryDef, value);
  ABI_FIELD(PF_ArbitraryDef, refconPV);

  ABI_RECORD(PF_ParamDefUnion);
  ABI_FIELD(PF_ParamDefUnion, ld);
  ABI_FIELD(PF_ParamDefUnion, sd);
  ABI_FIELD(PF_ParamDefUnion, fd);
  ABI_FIELD(PF_ParamDefUnion, ad);
  ABI_FIELD(PF_ParamDefUnion, bd);
  ABI_FIELD(PF_ParamDefUnion, cd);
  ABI_FIELD(PF_ParamDefUnion, td);
  ABI_FIELD(PF_ParamDefUnion, pd);
  ABI_FIELD(PF_ParamDefUnion, fs_d);
  ABI_FIELD(PF_ParamDefUnion, arb_d);
  ABI_FIELD(PF_ParamDefUnion, path_d);
  ABI_FIELD(PF_ParamDefUnion, button_d);
  ABI_FIELD(PF_ParamDefUnion, point3d_d);

  ABI_RECORD(PF_ParamDef);
  ABI_FIELD(PF_ParamDef, uu);
  ABI_FIELD(PF_ParamDef, uu.id);
  ABI_FIELD(PF_ParamDef, uu.change_flags);
  ABI_FIELD(PF_ParamDef, ui_flags);
  ABI_FIELD(PF_ParamDef, ui_width);
  ABI_FIELD(PF_ParamDef, ui_height);
  ABI_FIELD(PF_ParamDef, param_type);
  ABI_FIELD(PF_ParamDef, name);
  ABI_FIELD(PF_ParamDef, flags);
  ABI_FIELD(PF_ParamDef, unused);
  ABI_FIELD(PF_ParamDef, u);
  ABI_FIELD(PF_ParamDef, u.ld);
  ABI_FIELD(PF_ParamDef, u.sd.value);
  ABI_FIELD(PF_ParamDef, u.fd.value);
  ABI_FIELD(PF_ParamDef, u.ad.value);
  ABI_FIELD(PF_ParamDef, u.bd.value);
  ABI_FIELD(PF_ParamDef, u.bd.dephault);
  ABI_FIELD(PF_ParamDef, u.cd.value);
  ABI_FIELD(PF_ParamDef, u.td.x_value);
  ABI_FIELD(PF_ParamDef, u.pd.value);
  ABI_FIELD(PF_ParamDef, u.pd.num_choices);
  ABI_FIELD(PF_ParamDef, u.pd.u.namesptr);
  ABI_FIELD(PF_ParamDef, u.fs_d.value);
  ABI_FIELD(PF_ParamDef, u.fs_d.valid_min);
  ABI_FIELD(PF_ParamDef, u.fs_d.precision);
  ABI_FIELD(PF_ParamDef, u.fs_d.display_flags);
  ABI_FIELD(PF_ParamDef, u.arb_d.value);
  ABI_FIELD(PF_ParamDef, u.button_d.u.namesptr);

  ABI_RECORD(PF_InteractCallbacks);
  ABI_FIELD(PF_InteractCallbacks, checkout_param);
  ABI_FIELD(PF_InteractCallbacks, checkin_param);
  ABI_FIELD(PF_InteractCallbacks, add_param);
  ABI_FIELD(PF_InteractCallbacks, abort);
  ABI_FIELD(PF_InteractCallbacks, progress);
  ABI_FIELD(PF_InteractCallbacks, register_ui);
  ABI_FIELD(PF_InteractCallbacks, checkout_layer_audio);
  ABI_FIELD(PF_InteractCallbacks, checkin_layer_audio);
  ABI_FIELD(PF_InteractCallbacks, get_audio_data);
  ABI_FIELD(PF_InteractCallbacks, reserved_str);
  ABI_FIELD(PF_InteractCallbacks, reserved);

  ABI_RECORD(PF_InData);
  ABI_FIELD(PF_InData, inter);
  ABI_FIELD(PF_InData, inter.checkout_param);
  ABI_FIELD(PF_InData, inter.checkin_param);
  ABI_FIELD(PF_InData, inter.add_param);
  ABI_FIELD(PF_InData, inter.abort);
  ABI_FIELD(PF_InData, inter.progress);
  ABI_FIELD(PF_InData, inter.register_ui);
  ABI_FIELD(PF_InData, inter.checkout_layer_audio);
  ABI_FIELD(PF_InData, inter.checkin_layer_audio);
  ABI_FIELD(PF_InData, inter.get_audio_data);
  ABI_FIELD(PF_InData, inter.reserved_str);
  ABI_FIELD(PF_InData, inter.reserved);
  ABI_FIELD(PF_InData, utils);
  ABI_FIELD(PF_InData, effect_ref);
  ABI_FIELD(PF_InData, quality);
  ABI_FIELD(PF_InData, version);
  ABI_FIELD(PF_InData, version.major);
  ABI_FIELD(PF_InData, version.minor);
  ABI_FIELD(PF_InData, serial_num);
  ABI_FIELD(PF_InData, appl_id);
  ABI_FIELD(PF_InData, num_params);
  ABI_FIELD(PF_InData, reserved);
  ABI_FIELD(PF_InData, what_cpu);
  ABI_FIELD(PF_InData, what_fpu);
  ABI_FIELD(PF_InData, current_time);
  ABI_FIELD(PF_InData, time_step);
  ABI_FIELD(PF_InData, total_time);
  ABI_FIELD(PF_InData, local_time_step);
  ABI_FIELD(PF_InData, time_scale);
  ABI_FIELD(PF_InData, field);
  ABI_FIELD(PF_InData, shutter_angle);
  ABI_FIELD(PF_InData, width);
  ABI_FIELD(PF_InData, height);
  ABI_FIELD(PF_InData, extent_hint);
  ABI_FIELD(PF_InData, extent_hint.left);
  ABI_FIELD(PF_InData, extent_hint.top);
  ABI_FIELD(PF_InData, extent_hint.right);
  ABI_FIELD(PF_InData, extent_hint.bottom);
  ABI_FIELD(PF_InData, output_origin_x);
  ABI_FIELD(PF_InData, output_origin_y);
  ABI_FIELD(PF_InData, downsample_x);
  ABI_FIELD(PF_InData, downsample_x.num);
  ABI_FIELD(PF_InData, downsample_x.den);
  ABI_FIELD(PF_InData, downsample_y);
  ABI_FIELD(PF_InData, downsample_y.num);
  ABI_FIELD(PF_InData, downsample_y.den);
  ABI_FIELD(PF_InData, pixel_aspect_ratio);
  ABI_FIELD(PF_InData, in_flags);
  ABI_FIELD(PF_InData, global_data);
  ABI_FIELD(PF_InData, sequence_data);
  ABI_FIELD(PF_InData, frame_data);
  ABI_FIELD(PF_InData, start_sampL);
  ABI_FIELD(PF_InData, dur_sampL);
  ABI_FIELD(PF_InData, total_sampL);
  ABI_FIELD(PF_InData, src_snd);
  ABI_FIELD(PF_InData, pica_basicP);
  ABI_FIELD(PF_InData, pre_effect_source_origin_x);
  ABI_FIELD(PF_InData, pre_effect_source_origin_y);
  ABI_FIELD(PF_InData, shutter_phase);

  ABI_RECORD(PF_OutData);
  ABI_FIELD(PF_OutData, my_version);
  ABI_FIELD(PF_OutData, name);
  ABI_FIELD(PF_OutData, global_data);
  ABI_FIELD(PF_OutData, num_params);
  ABI_FIELD(PF_OutData, sequence_data);
  ABI_FIELD(PF_OutData, flat_sdata_size);
  ABI_FIELD(PF_OutData, frame_data);
  ABI_FIELD(PF_OutData, width);
  ABI_FIELD(PF_OutData, height);
  ABI_FIELD(PF_OutData, origin);
  ABI_FIELD(PF_OutData, origin.h);
  ABI_FIELD(PF_OutData, origin.v);
  ABI_FIELD(PF_OutData, out_flags);
  ABI_FIELD(PF_OutData, return_msg);
  ABI_FIELD(PF_OutData, start_sampL);
  ABI_FIELD(PF_OutData, dur_sampL);
  ABI_FIELD(PF_OutData, dest_snd);
  ABI_FIELD(PF_OutData, out_flags2);

  ABI_RECORD(PF_ANSICallbacks);
  ABI_FIELD(PF_ANSICallbacks, atan);
  ABI_FIELD(PF_ANSICallbacks, atan2);
  ABI_FIELD(PF_ANSICallbacks, ceil);
  ABI_FIELD(PF_ANSICallbacks, cos);
  ABI_FIELD(PF_ANSICallbacks, exp);
  ABI_FIELD(PF_ANSICallbacks, fabs);
  ABI_FIELD(PF_ANSICallbacks, floor);
  ABI_FIELD(PF_ANSICallbacks, fmod);
  ABI_FIELD(PF_ANSICallbacks, hypot);
  ABI_FIELD(PF_ANSICallbacks, log);
  ABI_FIELD(PF_ANSICallbacks, log10);
  ABI_FIELD(PF_ANSICallbacks, pow);
  ABI_FIELD(PF_ANSICallbacks, sin);
  ABI_FIELD(PF_ANSICallbacks, sqrt);
  ABI_FIELD(PF_ANSICallbacks, tan);
  ABI_FIELD(PF_ANSICallbacks, sprintf);
  ABI_FIELD(PF_ANSICallbacks, strcpy);
  ABI_FIELD(PF_ANSICallbacks, asin);
  ABI_FIELD(PF_ANSICallbacks, acos);
  ABI_FIELD(PF_ANSICallbacks, ansi_procs);

  ABI_RECORD(PF_ColorCallbacks);
  ABI_FIELD(PF_ColorCallbacks, RGBtoHLS);
  ABI_FIELD(PF_ColorCallbacks, HLStoRGB);
  ABI_FIELD(PF_ColorCallbacks, RGBtoYIQ);
  ABI_FIELD(PF_ColorCallbacks, YIQtoRGB);
  ABI_FIELD(PF_ColorCallbacks, Luminance);
  ABI_FIELD(PF_ColorCallbacks, Hue);
  ABI_FIELD(PF_ColorCallbacks, Lightness);
  ABI_FIELD(PF_ColorCallbacks, Saturation);

  ABI_RECORD(PF_UtilCallbacks);
  ABI_FIELD(PF_UtilCallbacks, begin_sampling);
  ABI_FIELD(PF_UtilCallbacks, subpixel_sample);
  ABI_FIELD(PF_UtilCallbacks, area_sample);
  ABI_FIELD(PF_UtilCallbacks, get_batch_func_is_deprecated);
  ABI_FIELD(PF_UtilCallbacks, end_sampling);
  ABI_FIELD(PF_UtilCallbacks, composite_rect);
  ABI_FIELD(PF_UtilCallbacks, blend);
  ABI_FIELD(PF_UtilCallbacks, convolve);
  ABI_FIELD(PF_UtilCallbacks, copy);
  ABI_FIELD(PF_UtilCallbacks, fill);
  ABI_FIELD(PF_UtilCallbacks, gaussian_kernel);
  ABI_FIELD(PF_UtilCallbacks, iterate);
  ABI_FIELD(PF_UtilCallbacks, premultiply);
  ABI_FIELD(PF_UtilCallbacks, premultiply_color);
  ABI_FIELD(PF_UtilCallbacks, new_world);
  ABI_FIELD(PF_UtilCallbacks, dispose_world);
  ABI_FIELD(PF_UtilCallbacks, iterate_origin);
  ABI_FIELD(PF_UtilCallbacks, iterate_lut);
  ABI_FIELD(PF_UtilCallbacks, transfer_rect);
  ABI_FIELD(PF_UtilCallbacks, transform_world);
  ABI_FIELD(PF_UtilCallbacks, host_new_handle);
  ABI_FIELD(PF_UtilCallbacks, host_lock_handle);
  ABI_FIELD(PF_UtilCallbacks, host_unlock_handle);
  ABI_FIELD(PF_UtilCallbacks, host_dispose_handle);
  ABI_FIELD(PF_UtilCallbacks, get_callback_addr);
  ABI_FIELD(PF_UtilCallbacks, app);
  ABI_FIELD(PF_UtilCallbacks, ansi);
  ABI_FIELD(PF_UtilCallbacks, ansi.atan);
  ABI_FIELD(PF_UtilCallbacks, ansi.atan2);
  ABI_FIELD(PF_UtilCallbacks, ansi.ceil);
  ABI_FIELD(PF_UtilCallbacks, ansi.cos);
  ABI_FIELD(PF_UtilCallbacks, ansi.exp);
  ABI_FIELD(PF_UtilCallbacks, ansi.fabs);
  ABI_FIELD(PF_UtilCallbacks, ansi.floor);
  ABI_FIELD(PF_UtilCallbacks, ansi.fmod);
  ABI_FIELD(PF_UtilCallbacks, ansi.hypot);
  ABI_FIELD(PF_UtilCallbacks, ansi.log);
  ABI_FIELD(PF_UtilCallbacks, ansi.log10);
  ABI_FIELD(PF_UtilCallbacks, ansi.pow);
  ABI_FIELD(PF_UtilCallbacks, ansi.sin);
  ABI_FIELD(PF_UtilCallbacks, ansi.sqrt);
  ABI_FIELD(PF_UtilCallbacks, ansi.tan);
  ABI_FIELD(PF_UtilCallbacks, ansi.sprintf);
  ABI_FIELD(PF_UtilCallbacks, ansi.strcpy);
  ABI_FIELD(PF_UtilCallbacks, ansi.asin);
  ABI_FIELD(PF_UtilCallbacks, ansi.acos);
  ABI_FIELD(PF_UtilCallbacks, ansi.ansi_procs);
  ABI_FIELD(PF_UtilCallbacks, colorCB);
  ABI_FIELD(PF_UtilCallbacks, colorCB.RGBtoHLS);
  ABI_FIELD(PF_UtilCallbacks, colorCB.HLStoRGB);
  ABI_FIELD(PF_UtilCallbacks, colorCB.RGBtoYIQ);
  ABI_FIELD(PF_UtilCallbacks, colorCB.YIQtoRGB);
  ABI_FIELD(PF_UtilCallbacks, colorCB.Luminance);
  ABI_FIELD(PF_UtilCallbacks, colorCB.Hue);
  ABI_FIELD(PF_UtilCallbacks, colorCB.Lightness);
  ABI_FIELD(PF_UtilCallbacks, colorCB.Saturation);
  ABI_FIELD(PF_UtilCallbacks, get_platform_data);
  ABI_FIELD(PF_UtilCallbacks, host_get_handle_size);
  ABI_FIELD(PF_UtilCallbacks, iterate_origin_non_clip_src);
  ABI_FIELD(PF_UtilCallbacks, iterate_generic);
  ABI_FIELD(PF_UtilCallbacks, host_resize_handle);
  ABI_FIELD(PF_UtilCallbacks, subpixel_sample16);
  ABI_FIELD(PF_UtilCallbacks, area_sample16);
  ABI_FIELD(PF_UtilCallbacks, fill16);
  ABI_FIELD(PF_UtilCallbacks, premultiply_color16);
  ABI_FIELD(PF_UtilCallbacks, iterate16);
  ABI_FIELD(PF_UtilCallbacks, iterate_origin16);
  ABI_FIELD(PF_UtilCallbacks, iterate_origin_non_clip_src16);
  ABI_FIELD(PF_UtilCallbacks, get_pixel_data8);
  ABI_FIELD(PF_UtilCallbacks, get_pixel_data16);
  ABI_FIELD(PF_UtilCallbacks, reserved);

  ABI_RECORD(PF_RenderRequest);
  ABI_FIELD(PF_RenderRequest, rect);
  ABI_FIELD(PF_RenderRequest, field);
  ABI_FIELD(PF_RenderRequest, channel_mask);
  ABI_FIELD(PF_RenderRequest, preserve_rgb_of_zero_alpha);
  ABI_FIELD(PF_RenderRequest, unused);
  ABI_FIELD(PF_RenderRequest, reserved);

  ABI_RECORD(PF_PreRenderInput);
  ABI_FIELD(PF_PreRenderInput, output_request);
  ABI_FIELD(PF_PreRenderInput, bitdepth);
  ABI_FIELD(PF_PreRenderInput, gpu_data);
  ABI_FIELD(PF_PreRenderInput, what_gpu);
  ABI_FIELD(PF_PreRenderInput, device_index);

  ABI_RECORD(PF_PreRenderOutput);
  ABI_FIELD(PF_PreRenderOutput, result_rect);
  ABI_FIELD(PF_PreRenderOutput, max_result_rect);
  ABI_FIELD(PF_PreRenderOutput, solid);
  ABI_FIELD(PF_PreRenderOutput, reserved);
  ABI_FIELD(PF_PreRenderOutput, flags);
  ABI_FIELD(PF_PreRenderOutput, pre_render_data);
  ABI_FIELD(PF_PreRenderOutput, delete_pre_render_data_func);

  ABI_RECORD(PF_CheckoutResult);
  ABI_FIELD(PF_CheckoutResult, result_rect);
  ABI_FIELD(PF_CheckoutResult, max_result_rect);
  ABI_FIELD(PF_CheckoutResult, par);
  ABI_FIELD(PF_CheckoutResult, solid);
  ABI_FIELD(PF_CheckoutResult, reservedB);
  ABI_FIELD(PF_CheckoutResult, ref_width);
  ABI_FIELD(PF_CheckoutResult, ref_height);
  ABI_FIELD(PF_CheckoutResult, reserved);

  ABI_RECORD(PF_PreRenderCallbacks);
  ABI_FIELD(PF_PreRenderCallbacks, checkout_layer);
  ABI_FIELD(PF_PreRenderCallbacks, GuidMixInPtr);

  ABI_RECORD(PF_PreRenderExtra);
  ABI_FIELD(PF_PreRenderExtra, input);
  ABI_FIELD(PF_PreRenderExtra, output);
  ABI_FIELD(PF_PreRenderExtra, cb);

  ABI_RECORD(PF_SmartRenderInput);
  ABI_FIELD(PF_SmartRenderInput, output_request);
  ABI_FIELD(PF_SmartRenderInput, bitdepth);
  ABI_FIELD(PF_SmartRenderInput, pre_render_data);
  ABI_FIELD(PF_SmartRenderInput, gpu_data);
  ABI_FIELD(PF_SmartRenderInput, what_gpu);
  ABI_FIELD(PF_SmartRenderInput, device_index);

  ABI_RECORD(PF_SmartRenderCallbacks);
  ABI_FIELD(PF_SmartRenderCallbacks, checkout_layer_pixels);
  ABI_FIELD(PF_SmartRenderCallbacks, checkin_layer_pixels);
  ABI_FIELD(PF_SmartRenderCallbacks, checkout_output);

  ABI_RECORD(PF_SmartRenderExtra);
  ABI_FIELD(PF_SmartRenderExtra, input);
  ABI_FIELD(PF_SmartRenderExtra, cb);

  ABI_RECORD(PF_UserChangedParamExtra);
  ABI_FIELD(PF_UserChangedParamExtra, param_index);

  ABI_SUITE_NAME(SPBasicSuite, kSPBasicSuite);
  ABI_SUITE_VERSION(SPBasicSuite, kSPBasicSuiteVersion);
  ABI_RECORD(SPBasicSuite);
  ABI_SUITE_FN(SPBasicSuite, AcquireSuite);
  ABI_SUITE_FN(SPBasicSuite, ReleaseSuite);
  ABI_SUITE_FN(SPBasicSuite, IsEqual);
  ABI_SUITE_FN(SPBasicSuite, AllocateBlock);
  ABI_SUITE_FN(SPBasicSuite, FreeBlock);
  ABI_SUITE_FN(SPBasicSuite, ReallocateBlock);
  ABI_SUITE_FN(SPBasicSuite, Undefined);

  ABI_SUITE_NAME(PF_WorldSuite1, kPFWorldSuite);
  ABI_SUITE_VERSION(PF_WorldSuite1, kPFWorldSuiteVersion1);
  ABI_RECORD(PF_WorldSuite1);
  ABI_SUITE_FN(PF_WorldSuite1, new_world);
  ABI_SUITE_FN(PF_WorldSuite1, dispose_world);

  ABI_SUITE_NAME(PF_WorldSuite2, kPFWorldSuite);
  ABI_SUITE_VERSION(PF_WorldSuite2, kPFWorldSuiteVersion2);
  ABI_RECORD(PF_WorldSuite2);
  ABI_SUITE_FN(PF_WorldSuite2, PF_NewWorld);
  ABI_SUITE_FN(PF_WorldSuite2, PF_DisposeWorld);
  ABI_SUITE_FN(PF_WorldSuite2, PF_GetPixelFormat);

  ABI_SUITE_NAME(PF_WorldTransformSuite1, kPFWorldTransformSuite);
  ABI_SUITE_VERSION(PF_WorldTransformSuite1, kPFWorldTransformSuiteVersion1);
  ABI_RECORD(PF_WorldTransformSuite1);
  ABI_SUITE_FN(PF_WorldTransformSuite1, composite_rect);
  ABI_SUITE_FN(PF_WorldTransformSuite1, blend);
  ABI_SUITE_FN(PF_WorldTransformSuite1, convolve);
  ABI_SUITE_FN(PF_WorldTransformSuite1, copy);
  ABI_SUITE_FN(PF_WorldTransformSuite1, copy_hq);
  ABI_SUITE_FN(PF_WorldTransformSuite1, transfer_rect);
  ABI_SUITE_FN(PF_WorldTransformSuite1, transform_world);

  ABI_SUITE_NAME(PF_ParamUtilsSuite1, kPFParamUtilsSuite);
  ABI_SUITE_VERSION(PF_ParamUtilsSuite1, kPFParamUtilsSuiteVersion1);
  ABI_RECORD(PF_ParamUtilsSuite1);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_UpdateParamUI);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_GetCurrentStateObsolete);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_HasParamChangedObsolete);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_HaveInputsChangedOverTimeSpanObsolete);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_IsIdenticalCheckout);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_FindKeyframeTime);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_GetKeyframeCount);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_CheckoutKeyframe);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_CheckinKeyframe);
  ABI_SUITE_FN(PF_ParamUtilsSuite1, PF_KeyIndexToTime);

  ABI_SUITE_NAME(PF_ParamUtilsSuite3, kPFParamUtilsSuite);
  ABI_SUITE_VERSION(PF_ParamUtilsSuite3, kPFParamUtilsSuiteVersion3);
  ABI_RECORD(PF_ParamUtilsSuite3);
  ABI_SUITE_FN(PF_ParamUtilsSuite3, PF_UpdateParamUI);
  ABI_SUITE_FN(PF_ParamUtilsSuite3, PF_GetCurrentState);
  ABI_SUITE_FN(PF_ParamUtilsSuite3, PF_AreStatesIdentical);
  ABI_SUITE_FN(PF_ParamUtilsSuite3, PF_IsIdenticalCheckout);
  ABI_SUITE_FN(PF_ParamUtilsSuite3, PF_FindKeyframeTime);
  ABI_SUITE_FN(PF_ParamUtilsSuite3, PF_GetKeyframeCount);
  ABI_SUITE_FN(PF_ParamUtilsSuite3, PF_CheckoutKeyframe);
  ABI_SUITE_FN(PF_ParamUtilsSuite3, PF_CheckinKeyframe);
  ABI_SUITE_FN(PF_ParamUtilsSuite3, PF_KeyIndexToTime);

  ABI_SUITE_NAME(PFAppSuite4, kPFAppSuite);
  ABI_SUITE_VERSION(PFAppSuite4, kPFAppSuiteVersion4);
  ABI_RECORD(PFAppSuite4);
  ABI_SUITE_FN(PFAppSuite4, PF_AppGetBgColor);
  ABI_SUITE_FN(PFAppSuite4, PF_AppGetColor);
  ABI_SUITE_FN(PFAppSuite4, PF_GetPersonalInfo);
  ABI_SUITE_FN(PFAppSuite4, PF_GetFontStyleSheet);
  ABI_SUITE_FN(PFAppSuite4, PF_SetCursor);
  ABI_SUITE_FN(PFAppSuite4, PF_IsRenderEngine);
  ABI_SUITE_FN(PFAppSuite4, PF_AppColorPickerDialog);
  ABI_SUITE_FN(PFAppSuite4, PF_GetMouse);
  ABI_SUITE_FN(PFAppSuite4, PF_InvalidateRect);
  ABI_SUITE_FN(PFAppSuite4, PF_ConvertLocalToGlobal);
  ABI_SUITE_FN(PFAppSuite4, PF_GetColorAtGlobalPoint);

  ABI_SUITE_NAME(PFAppSuite5, kPFAppSuite);
  ABI_SUITE_VERSION(PFAppSuite5, kPFAppSuiteVersion5);
  ABI_RECORD(PFAppSuite5);
  ABI_SUITE_FN(PFAppSuite5, PF_AppGetBgColor);
  ABI_SUITE_FN(PFAppSuite5, PF_AppGetColor);
  ABI_SUITE_FN(PFAppSuite5, PF_AppGetLanguage);
  ABI_SUITE_FN(PFAppSuite5, PF_GetPersonalInfo);
  ABI_SUITE_FN(PFAppSuite5, PF_GetFontStyleSheet);
  ABI_SUITE_FN(PFAppSuite5, PF_SetCursor);
  ABI_SUITE_FN(PFAppSuite5, PF_IsRenderEngine);
  ABI_SUITE_FN(PFAppSuite5, PF_AppColorPickerDialog);
  ABI_SUITE_FN(PFAppSuite5, PF_GetMouse);
  ABI_SUITE_FN(PFAppSuite5, PF_InvalidateRect);
  ABI_SUITE_FN(PFAppSuite5, PF_ConvertLocalToGlobal);
  ABI_SUITE_FN(PFAppSuite5, PF_GetColorAtGlobalPoint);

  ABI_SUITE_NAME(PFAppSuite6, kPFAppSuite);
  ABI_SUITE_VERSION(PFAppSuite6, kPFAppSuiteVersion6);
  ABI_RECORD(PFAppSuite6);
  ABI_SUITE_FN(PFAppSuite6, PF_AppGetBgColor);
  ABI_SUITE_FN(PFAppSuite6, PF_AppGetColor);
  ABI_SUITE_FN(PFAppSuite6, PF_AppGetLanguage);
  ABI_SUITE_FN(PFAppSuite6, PF_GetPersonalInfo);
  ABI_SUITE_FN(PFAppSuite6, PF_GetFontStyleSheet);
  ABI_SUITE_FN(PFAppSuite6, PF_SetCursor);
  ABI_SUITE_FN(PFAppSuite6, PF_IsRenderEngine);
  ABI_SUITE_FN(PFAppSuite6, PF_AppColorPickerDialog);
  ABI_SUITE_FN(PFAppSuite6, PF_GetMouse);
  ABI_SUITE_FN(PFAppSuite6, PF_InvalidateRect);
  ABI_SUITE_FN(PFAppSuite6, PF_ConvertLocalToGlobal);
  ABI_SUITE_FN(PFAppSuite6, PF_GetColorAtGlobalPoint);
  ABI_SUITE_FN(PFAppSuite6, PF_CreateNewAppProgressDialog);
  ABI_SUITE_FN(PFAppSuite6, PF_AppProgressDialogUpdate);
  ABI_SUITE_FN(PFAppSuite6, PF_DisposeAppProgressDialog);

  ABI_RECORD(PF_App_Color);
  ABI_FIELD(PF_App_Color, red);
  ABI_FIELD(PF_App_Color, green);
  ABI_FIELD(PF_App_Color, blue);

  ABI_SUITE_NAME(PF_HandleSuite1, kPFHandleSuite);
  ABI_SUITE_VERSION(PF_HandleSuite1, kPFHandleSuiteVersion1);
  ABI_RECORD(PF_HandleSuite1);
  ABI_SUITE_FN(PF_HandleSuite1, host_new_handle);
  ABI_SUITE_FN(PF_HandleSuite1, host_lock_handle);
  ABI_SUITE_FN(PF_HandleSuite1, host_unlock_handle);
  ABI_SUITE_FN(PF_HandleSuite1, host_dispose_handle);
  ABI_SUITE_FN(PF_HandleSuite1, host_get_handle_size);
  ABI_SUITE_FN(PF_HandleSuite1, host_resize_handle);

  ABI_RECORD(PIProperty);
  ABI_FIELD(PIProperty, vendorID);
  ABI_FIELD(PIProperty, propertyKey);
  ABI_FIELD(PIProperty, propertyID);
  ABI_FIELD(PIProperty, propertyLength);
  ABI_FIELD(PIProperty, propertyData);

  ABI_RECORD(PIPropertyList);
  ABI_FIELD(PIPropertyList, version);
  ABI_FIELD(PIPropertyList, count);
  ABI_FIELD(PIPropertyList, properties);

  ABI_FIELD(PiPL_resource_win, reserved_word);
  ABI_FIELD(PiPL_resource_win, version);
  ABI_FIELD(PiPL_resource_win, count);
  ABI_FIELD(PiPL_resource_win, first_property);

  // ---- Constants ----
  ABI_CONST(PF_Cmd_ABOUT);
  ABI_CONST(PF_Cmd_GLOBAL_SETUP);
  ABI_CONST(PF_Cmd_UNUSED_0);
  ABI_CONST(PF_Cmd_GLOBAL_SETDOWN);
  ABI_CONST(PF_Cmd_PARAMS_SETUP);
  ABI_CONST(PF_Cmd_SEQUENCE_SETUP);
  ABI_CONST(PF_Cmd_SEQUENCE_RESETUP);
  ABI_CONST(PF_Cmd_SEQUENCE_FLATTEN);
  ABI_CONST(PF_Cmd_SEQUENCE_SETDOWN);
  ABI_CONST(PF_Cmd_DO_DIALOG);
  ABI_CONST(PF_Cmd_FRAME_SETUP);
  ABI_CONST(PF_Cmd_RENDER);
  ABI_CONST(PF_Cmd_FRAME_SETDOWN);
  ABI_CONST(PF_Cmd_USER_CHANGED_PARAM);
  ABI_CONST(PF_Cmd_UPDATE_PARAMS_UI);
  ABI_CONST(PF_Cmd_EVENT);
  ABI_CONST(PF_Cmd_GET_EXTERNAL_DEPENDENCIES);
  ABI_CONST(PF_Cmd_COMPLETELY_GENERAL);
  ABI_CONST(PF_Cmd_QUERY_DYNAMIC_FLAGS);
  ABI_CONST(PF_Cmd_AUDIO_RENDER);
  ABI_CONST(PF_Cmd_AUDIO_SETUP);
  ABI_CONST(PF_Cmd_AUDIO_SETDOWN);
  ABI_CONST(PF_Cmd_ARBITRARY_CALLBACK);
  ABI_CONST(PF_Cmd_SMART_PRE_RENDER);
  ABI_CONST(PF_Cmd_SMART_RENDER);
  ABI_CONST(PF_Cmd_RESERVED1);
  ABI_CONST(PF_Cmd_RESERVED2);
  ABI_CONST(PF_Cmd_RESERVED3);
  ABI_CONST(PF_Cmd_GET_FLATTENED_SEQUENCE_DATA);
  ABI_CONST(PF_Cmd_TRANSLATE_PARAMS_TO_PREFS);
  ABI_CONST(PF_Cmd_RESERVED4);
  ABI_CONST(PF_Cmd_SMART_RENDER_GPU);
  ABI_CONST(PF_Cmd_GPU_DEVICE_SETUP);
  ABI_CONST(PF_Cmd_GPU_DEVICE_SETDOWN);
  ABI_CONST(PF_Cmd_NUM_CMDS);
  ABI_CONST(PF_Err_NONE);
  ABI_CONST(PF_Err_OUT_OF_MEMORY);
  ABI_CONST(PF_Err_INTERNAL_STRUCT_DAMAGED);
  ABI_CONST(PF_Err_INVALID_INDEX);
  ABI_CONST(PF_Err_UNRECOGNIZED_PARAM_TYPE);
  ABI_CONST(PF_Err_INVALID_CALLBACK);
  ABI_CONST(PF_Err_BAD_CALLBACK_PARAM);
  ABI_CONST(PF_Interrupt_CANCEL);
  ABI_CONST(PF_Err_CANNOT_PARSE_KEYFRAME_TEXT);
  ABI_CONST(PF_FIRST_ERR);
  ABI_CONST(A_Err_NONE);
  ABI_CONST(A_Err_GENERIC);
  ABI_CONST(A_Err_STRUCT);
  ABI_CONST(A_Err_PARAMETER);
  ABI_CONST(A_Err_ALLOC);
  ABI_CONST(A_Err_WRONG_THREAD);
  ABI_CONST(A_Err_CONST_PROJECT_MODIFICATION);
  ABI_CONST(A_Err_MISSING_SUITE);
  ABI_CONST(kSPNoError);
  ABI_CONST(kSPSuiteNotFoundError);
  ABI_CONST(kSPUnimplementedError);
  ABI_CONST(PF_Param_RESERVED);
  ABI_CONST(PF_Param_LAYER);
  ABI_CONST(PF_Param_SLIDER);
  ABI_CONST(PF_Param_FIX_SLIDER);
  ABI_CONST(PF_Param_ANGLE);
  ABI_CONST(PF_Param_CHECKBOX);
  ABI_CONST(PF_Param_COLOR);
  ABI_CONST(PF_Param_POINT);
  ABI_CONST(PF_Param_POPUP);
  ABI_CONST(PF_Param_CUSTOM);
  ABI_CONST(PF_Param_NO_DATA);
  ABI_CONST(PF_Param_FLOAT_SLIDER);
  ABI_CONST(PF_Param_ARBITRARY_DATA);
  ABI_CONST(PF_Param_PATH);
  ABI_CONST(PF_Param_GROUP_START);
  ABI_CONST(PF_Param_GROUP_END);
  ABI_CONST(PF_Param_BUTTON);
  ABI_CONST(PF_Param_RESERVED2);
  ABI_CONST(PF_Param_RESERVED3);
  ABI_CONST(PF_Param_POINT_3D);
  ABI_CONST(PF_ParamFlag_RESERVED1);
  ABI_CONST(PF_ParamFlag_CANNOT_TIME_VARY);
  ABI_CONST(PF_ParamFlag_CANNOT_INTERP);
  ABI_CONST(PF_ParamFlag_RESERVED2);
  ABI_CONST(PF_ParamFlag_RESERVED3);
  ABI_CONST(PF_ParamFlag_COLLAPSE_TWIRLY);
  ABI_CONST(PF_ParamFlag_SUPERVISE);
  ABI_CONST(PF_ParamFlag_START_COLLAPSED);
  ABI_CONST(PF_ParamFlag_USE_VALUE_FOR_OLD_PROJECTS);
  ABI_CONST(PF_ParamFlag_LAYER_PARAM_IS_TRACKMATTE);
  ABI_CONST(PF_ParamFlag_EXCLUDE_FROM_HAVE_INPUTS_CHANGED);
  ABI_CONST(PF_ParamFlag_SKIP_REVEAL_WHEN_UNHIDDEN);
  ABI_CONST(PF_PUI_NONE);
  ABI_CONST(PF_PUI_TOPIC);
  ABI_CONST(PF_PUI_CONTROL);
  ABI_CONST(PF_PUI_STD_CONTROL_ONLY);
  ABI_CONST(PF_PUI_NO_ECW_UI);
  ABI_CONST(PF_PUI_ECW_SEPARATOR);
  ABI_CONST(PF_PUI_DISABLED);
  ABI_CONST(PF_PUI_DONT_ERASE_TOPIC);
  ABI_CONST(PF_PUI_DONT_ERASE_CONTROL);
  ABI_CONST(PF_PUI_RADIO_BUTTON);
  ABI_CONST(PF_PUI_INVISIBLE);
  ABI_CONST(PF_ChangeFlag_NONE);
  ABI_CONST(PF_ChangeFlag_CHANGED_VALUE);
  ABI_CONST(PF_ChangeFlag_RESERVED);
  ABI_CONST(PF_ChangeFlag_SET_TO_VARY);
  ABI_CONST(PF_ChangeFlag_SET_TO_CONSTANT);
  ABI_CONST(PF_ValueDisplayFlag_NONE);
  ABI_CONST(PF_ValueDisplayFlag_PERCENT);
  ABI_CONST(PF_ValueDisplayFlag_PIXEL);
  ABI_CONST(PF_ValueDisplayFlag_RESERVED1);
  ABI_CONST(PF_ValueDisplayFlag_REVERSE);
  ABI_CONST(PF_FSliderFlag_NONE);
  ABI_CONST(PF_FSliderFlag_WANT_PHASE);
  ABI_CONST(PF_OutFlag_NONE);
  ABI_CONST(PF_OutFlag_KEEP_RESOURCE_OPEN);
  ABI_CONST(PF_OutFlag_WIDE_TIME_INPUT);
  ABI_CONST(PF_OutFlag_NON_PARAM_VARY);
  ABI_CONST(PF_OutFlag_RESERVED6);
  ABI_CONST(PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING);
  ABI_CONST(PF_OutFlag_I_DO_DIALOG);
  ABI_CONST(PF_OutFlag_USE_OUTPUT_EXTENT);
  ABI_CONST(PF_OutFlag_SEND_DO_DIALOG);
  ABI_CONST(PF_OutFlag_DISPLAY_ERROR_MESSAGE);
  ABI_CONST(PF_OutFlag_I_EXPAND_BUFFER);
  ABI_CONST(PF_OutFlag_PIX_INDEPENDENT);
  ABI_CONST(PF_OutFlag_I_WRITE_INPUT_BUFFER);
  ABI_CONST(PF_OutFlag_I_SHRINK_BUFFER);
  ABI_CONST(PF_OutFlag_WORKS_IN_PLACE);
  ABI_CONST(PF_OutFlag_RESERVED8);
  ABI_CONST(PF_OutFlag_CUSTOM_UI);
  ABI_CONST(PF_OutFlag_RESERVED7);
  ABI_CONST(PF_OutFlag_REFRESH_UI);
  ABI_CONST(PF_OutFlag_NOP_RENDER);
  ABI_CONST(PF_OutFlag_I_USE_SHUTTER_ANGLE);
  ABI_CONST(PF_OutFlag_I_USE_AUDIO);
  ABI_CONST(PF_OutFlag_I_AM_OBSOLETE);
  ABI_CONST(PF_OutFlag_FORCE_RERENDER);
  ABI_CONST(PF_OutFlag_PiPL_OVERRIDES_OUTDATA_OUTFLAGS);
  ABI_CONST(PF_OutFlag_I_HAVE_EXTERNAL_DEPENDENCIES);
  ABI_CONST(PF_OutFlag_DEEP_COLOR_AWARE);
  ABI_CONST(PF_OutFlag_SEND_UPDATE_PARAMS_UI);
  ABI_CONST(PF_OutFlag_AUDIO_FLOAT_ONLY);
  ABI_CONST(PF_OutFlag_AUDIO_IIR);
  ABI_CONST(PF_OutFlag_I_SYNTHESIZE_AUDIO);
  ABI_CONST(PF_OutFlag_AUDIO_EFFECT_TOO);
  ABI_CONST(PF_OutFlag_AUDIO_EFFECT_ONLY);
  ABI_CONST(PF_OutFlag2_NONE);
  ABI_CONST(PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS);
  ABI_CONST(PF_OutFlag2_I_USE_3D_CAMERA);
  ABI_CONST(PF_OutFlag2_I_USE_3D_LIGHTS);
  ABI_CONST(PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG);
  ABI_CONST(PF_OutFlag2_I_AM_THREADSAFE);
  ABI_CONST(PF_OutFlag2_CAN_COMBINE_WITH_DESTINATION);
  ABI_CONST(PF_OutFlag2_DOESNT_NEED_EMPTY_PIXELS);
  ABI_CONST(PF_OutFlag2_REVEALS_ZERO_ALPHA);
  ABI_CONST(PF_OutFlag2_PRESERVES_FULLY_OPAQUE_PIXELS);
  ABI_CONST(PF_OutFlag2_SUPPORTS_SMART_RENDER);
  ABI_CONST(PF_OutFlag2_RESERVED9);
  ABI_CONST(PF_OutFlag2_FLOAT_COLOR_AWARE);
  ABI_CONST(PF_OutFlag2_I_USE_COLORSPACE_ENUMERATION);
  ABI_CONST(PF_OutFlag2_I_AM_DEPRECATED);
  ABI_CONST(PF_OutFlag2_PPRO_DO_NOT_CLONE_SEQUENCE_DATA_FOR_RENDER);
  ABI_CONST(PF_OutFlag2_RESERVED10);
  ABI_CONST(PF_OutFlag2_AUTOMATIC_WIDE_TIME_INPUT);
  ABI_CONST(PF_OutFlag2_I_USE_TIMECODE);
  ABI_CONST(PF_OutFlag2_DEPENDS_ON_UNREFERENCED_MASKS);
  ABI_CONST(PF_OutFlag2_OUTPUT_IS_WATERMARKED);
  ABI_CONST(PF_OutFlag2_I_MIX_GUID_DEPENDENCIES);
  ABI_CONST(PF_OutFlag2_AE13_5_THREADSAFE);
  ABI_CONST(PF_OutFlag2_SUPPORTS_GET_FLATTENED_SEQUENCE_DATA);
  ABI_CONST(PF_OutFlag2_CUSTOM_UI_ASYNC_MANAGER);
  ABI_CONST(PF_OutFlag2_SUPPORTS_GPU_RENDER_F32);
  ABI_CONST(PF_OutFlag2_RESERVED12);
  ABI_CONST(PF_OutFlag2_SUPPORTS_THREADED_RENDERING);
  ABI_CONST(PF_OutFlag2_MUTABLE_RENDER_SEQUENCE_DATA_SLOWER);
  ABI_CONST(PF_InFlag_NONE);
  ABI_CONST(PF_InFlag_PROJECT_IS_RENDER_ONLY);
  ABI_CONST(PF_PixelFormat_ARGB32);
  ABI_CONST(PF_PixelFormat_ARGB64);
  ABI_CONST(PF_PixelFormat_ARGB128);
  ABI_CONST(PF_PixelFormat_GPU_BGRA128);
  ABI_CONST(PF_PixelFormat_RESERVED);
  ABI_CONST(PF_PixelFormat_BGRA32);
  ABI_CONST(PF_PixelFormat_VUYA32);
  ABI_CONST(PF_PixelFormat_NTSCDV25);
  ABI_CONST(PF_PixelFormat_PALDV25);
  ABI_CONST(PF_PixelFormat_INVALID);
  ABI_CONST(PF_PixelFormat_FORCE_LONG_INT);
  ABI_CONST(PF_WorldFlag_DEEP);
  ABI_CONST(PF_WorldFlag_WRITEABLE);
  ABI_CONST(PF_WorldFlag_RESERVED0);
  ABI_CONST(PF_WorldFlag_RESERVED1);
  ABI_CONST(PF_WorldFlag_RESERVED2);
  ABI_CONST(PF_WorldFlag_RESERVED3);
  ABI_CONST(PF_WorldFlag_RESERVED4);
  ABI_CONST(PF_WorldFlag_RESERVED5);
  ABI_CONST(PF_WorldFlag_RESERVED6);
  ABI_CONST(PF_WorldFlag_RESERVED);
  ABI_CONST(PF_NewWorldFlag_NONE);
  ABI_CONST(PF_NewWorldFlag_CLEAR_PIXELS);
  ABI_CONST(PF_NewWorldFlag_DEEP_PIXELS);
  ABI_CONST(PF_NewWorldFlag_RESERVED0);
  ABI_CONST(PF_NewWorldFlag_RESERVED1);
  ABI_CONST(PF_PlatData_MAIN_WND);
  ABI_CONST(PF_PlatData_EXE_FILE_PATH_DEPRECATED);
  ABI_CONST(PF_PlatData_RES_FILE_PATH_DEPRECATED);
  ABI_CONST(PF_PlatData_RES_REFNUM);
  ABI_CONST(PF_PlatData_RES_DLLINSTANCE);
  ABI_CONST(PF_PlatData_SP_PLUG_REF);
  ABI_CONST(PF_PlatData_BUNDLE_REF);
  ABI_CONST(PF_PlatData_EXE_FILE_PATH_W);
  ABI_CONST(PF_PlatData_RES_FILE_PATH_W);
  ABI_CONST(AEFX_MAX_PATH);
  ABI_CONST(PF_Stage_DEVELOP);
  ABI_CONST(PF_Stage_ALPHA);
  ABI_CONST(PF_Stage_BETA);
  ABI_CONST(PF_Stage_RELEASE);
  ABI_CONST(PF_Field_FRAME);
  ABI_CONST(PF_Field_UPPER);
  ABI_CONST(PF_Field_LOWER);
  ABI_CONST(PF_ChannelMask_ALPHA);
  ABI_CONST(PF_ChannelMask_RED);
  ABI_CONST(PF_ChannelMask_GREEN);
  ABI_CONST(PF_ChannelMask_BLUE);
  ABI_CONST(PF_ChannelMask_ARGB);
  ABI_CONST(PF_Quality_DRAWING_AUDIO);
  ABI_CONST(PF_Quality_LO);
  ABI_CONST(PF_Quality_HI);
  ABI_CONST(PF_MF_Alpha_PREMUL);
  ABI_CONST(PF_MF_Alpha_STRAIGHT);
  ABI_CONST(PF_LayerDefault_MYSELF);
  ABI_CONST(PF_LayerDefault_NONE);
  ABI_CONST(PF_RenderOutputFlag_RETURNS_EXTRA_PIXELS);
  ABI_CONST(PF_RenderOutputFlag_GPU_RENDER_POSSIBLE);
  ABI_CONST(PF_RenderOutputFlag_RESERVED1);
  ABI_CONST(PF_GPU_Framework_NONE);
  ABI_CONST(PF_GPU_Framework_OPENCL);
  ABI_CONST(PF_GPU_Framework_METAL);
  ABI_CONST(PF_GPU_Framework_CUDA);
  ABI_CONST(PF_ParamIndex_NONE);
  ABI_CONST(PF_ParamIndex_CHECK_ALL);
  ABI_CONST(PF_Iterations_ONCE_PER_PROCESSOR);
  ABI_CONST(PF_Xfer_COPY);
  ABI_CONST(PF_Xfer_IN_FRONT);
  ABI_CONST(PF_Xfer_BEHIND);
  ABI_CONST(PF_Xfer_NONE);
  ABI_CONST(PF_MAX_EFFECT_NAME_LEN);
  ABI_CONST(PF_MAX_EFFECT_CATEGORY_NAME_LEN);
  ABI_CONST(PF_MAX_EFFECT_PARAM_NAME_LEN);
  ABI_CONST(PF_MAX_PARAM_DESCRIPTION_LEN);
  ABI_CONST(PF_MAX_PARAM_VALUE_LEN);
  ABI_CONST(PF_MAX_EFFECT_MSG_LEN);
  ABI_CONST(PF_MAX_WORLD_WIDTH);
  ABI_CONST(PF_MAX_WORLD_HEIGHT);
  ABI_CONST(PF_MAX_CHAN8);
  ABI_CONST(PF_HALF_CHAN8);
  ABI_CONST(PF_MAX_CHAN16);
  ABI_CONST(PF_HALF_CHAN16);
  ABI_CONST(PF_APP_LANG_TAG_SIZE);
  ABI_CONST(PF_APP_MAX_PERS_LEN);
  ABI_CONST(PF_FONT_NAME_LEN);
  ABI_CONST(PF_AE65_AND_EARLIER_MAX_NUM_EFFECT_PARAMS);
  ABI_CONST(PF_Vers_BUILD_BITS);
  ABI_CONST(PF_Vers_BUILD_SHIFT);
  ABI_CONST(PF_Vers_STAGE_BITS);
  ABI_CONST(PF_Vers_STAGE_SHIFT);
  ABI_CONST(PF_Vers_BUGFIX_BITS);
  ABI_CONST(PF_Vers_BUGFIX_SHIFT);
  ABI_CONST(PF_Vers_SUBVERS_BITS);
  ABI_CONST(PF_Vers_SUBVERS_SHIFT);
  ABI_CONST(PF_Vers_VERS_BITS);
  ABI_CONST(PF_Vers_VERS_SHIFT);
  ABI_CONST(PF_Vers_VERS_HIGH_BITS);
  ABI_CONST(PF_Vers_VERS_HIGH_SHIFT);
  ABI_CONST(PF_Vers_VERS_LOW_SHIFT);
  ABI_CONST(PF_VERSION(1,1,1,PF_Stage_RELEASE,7));
  ABI_CONST(PF_VERSION(1,0,0,PF_Stage_DEVELOP,1));
  ABI_CONST(PF_VERSION(2,4,0,PF_Stage_DEVELOP,1));
  ABI_CONST(PF_VERSION(8,0,0,PF_Stage_RELEASE,0));
  ABI_CONST(PF_VERSION(13,28,0,PF_Stage_RELEASE,0));
  ABI_CONST(PF_PLUG_IN_VERSION);
  ABI_CONST(PF_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE_PLUG_IN_VERSION);
  ABI_CONST(PF_AE_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE234_PLUG_IN_VERSION);
  ABI_CONST(PF_AE234_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE220_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE184_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE180_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE171_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE160_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE150_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE140_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE135_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE130_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE120_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE110_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE100_PLUG_IN_VERSION);
  ABI_CONST(PF_AE100_PLUG_IN_SUBVERS);
  ABI_CONST(PF_AE90_PLUG_IN_VERSION);
  ABI_CONST(PF_AE90_PLUG_IN_SUBVERS);
  ABI_CONST(AEFX_API_VERSION);
  ABI_CONST_AS("appl_id 'FXTC'", host_sdk::kApplIdAfterEffects);
  ABI_CONST_AS("appl_id 'PrMr'", host_sdk::kApplIdPremierePro);
  ABI_CONST_AS("PF_REGISTER_EFFECT kind 'eFKT'", host_sdk::kPiPLKindEffect);
  ABI_CONST(AE_RESERVED_INFO);
  ABI_CONST_TEXT("SPAPI", ABI_EXPANSION(SPAPI));
  ABI_CONST_AS("sizeof(void*)", sizeof(void*));
#ifdef _WIN32
  // The host's data model; a native Linux build is LP64 and has no such row to match.
  ABI_CONST_AS("sizeof(long)", sizeof(long));
  ABI_CONST_AS("sizeof(wchar_t)", sizeof(wchar_t));
#endif
  ABI_CONST_AS("sizeof(enum PF_Cmd values)", sizeof(PF_Cmd_ABOUT));
  ABI_CONST_AS("PiPL 'kind'", PIKindProperty);
  ABI_CONST_AS("PiPL 'name'", host_sdk::kPiPLKeyName);
  ABI_CONST_AS("PiPL 'catg'", host_sdk::kPiPLKeyCategory);
  ABI_CONST_AS("PiPL '8664'", PIWin64X86CodeProperty);
  ABI_CONST_AS("PiPL 'wx86'", host_sdk::kPiPLKeyWin32Code);
  ABI_CONST_AS("PiPL 'ePVR'", host_sdk::kPiPLKeyPiPLVersion);
  ABI_CONST_AS("PiPL 'eSVR'", host_sdk::kPiPLKeySpecVersion);
  ABI_CONST_AS("PiPL 'eVER'", host_sdk::kPiPLKeyEffectVersion);
  ABI_CONST_AS("PiPL 'eINF'", host_sdk::kPiPLKeyInfoFlags);
  ABI_CONST_AS("PiPL 'eGLO'", host_sdk::kPiPLKeyOutFlags);
  ABI_CONST_AS("PiPL 'eGL2'", host_sdk::kPiPLKeyOutFlags2);
  ABI_CONST_AS("PiPL 'eMNA'", host_sdk::kPiPLKeyMatchName);
  ABI_CONST_AS("PiPL 'aeFL'", host_sdk::kPiPLKeyReservedInfo);
  ABI_CONST_AS("PiPL 'aeRD'", host_sdk::kPiPLKeyReserved);
  ABI_CONST_AS("PiPL 'eURL'", host_sdk::kPiPLKeySupportURL);
  ABI_CONST_AS("PiPL vendor '8BIM'", host_sdk::kPiPLVendor);
  ABI_CONST_AS("PiPL kind value 'eFKT'", host_sdk::kPiPLKindEffect);
  // What the compiler makes of a multi-character literal must agree with fourCharHighFirst.
  ABI_CONST_AS("PiPL multichar check 'eFKT'", multiCharLiteralEFKT());
  ABI_CONST(PIAdobeVendorID);
  ABI_CONST(kCurrentPiPLVersion);
  ABI_CONST_TYPE("EntryPointFunc signature", PF_FilterProc);

  // The table measures the resource's property header from the start of each property, not from
  // the start of the resource.
  facts.push_back(member("field", "PiPL_resource_win", "property_header",
                         offsetof(PiPL_property_header_win, vendorID), sizeof(PiPL_property_header_win),
                         ""));
  return facts;
}

}  // namespace host_abi
