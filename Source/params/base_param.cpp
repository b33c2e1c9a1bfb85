#include "base_param.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host_version.h"
#include "param_registry.h"
#include "settings_file.h"

BaseParam::BaseParam(const char* name, const PF_ParamDef* templateDef)
    : name(name), definition(templateDef != nullptr ? *templateDef : PF_ParamDef{}),
      index(static_cast<A_u_long>(paramRegistry().nextIndex++)) {}

BaseParam::~BaseParam() = default;

PF_Err BaseParam::ReadValue(void* block, ParamGetter& getter) {
  if (valueSize == 0) return PF_Err_NONE;
  const auto i = static_cast<PF_ParamIndex>(index);
  auto copyValue = [&](const PF_ParamDef& from) {
    if (block != nullptr) std::memcpy(static_cast<char*>(block) + valueOffset, &from.u, valueSize);
  };
  if (getter.UsesTemporaryCopy()) {
    // The host holds a checked-out definition for the effect until it is checked in: give it back as
    // soon as its value is copied, so that nothing stays out when the command returns.
    PF_ParamDef temporary{};
    if (const PF_Err err = getter.Checkout(i, &temporary); err != PF_Err_NONE) return err;
    copyValue(temporary);
    return getter.Checkin(&temporary);
  }
  const PF_Err err = getter.Checkout(i, &definition);
  if (err == PF_Err_NONE) copyValue(definition);
  return err;
}

PF_Err BaseParam::ReleaseValue(ParamGetter& getter) {
  if (valueSize == 0 || getter.UsesTemporaryCopy()) return PF_Err_NONE;
  return getter.Checkin(&definition);
}

void BaseParam::StoreDefault(PF_InData*, const char*) {}

PF_Err BaseParam::addDefinition(PF_InData* in_data, PF_ParamType type, A_u_long newId, bool copyName) {
  definition.param_type = type;
  if (copyName) in_data->utils->ansi.strcpy(definition.name, name);
  definition.uu.id = static_cast<A_long>(newId);
  return in_data->inter.add_param(in_data->effect_ref, PF_ParamIndex_NONE, &definition);
}

A_long BaseParam::storedOr(PF_InData* in_data, const char* key, A_long builtIn, const char* path) const {
  if (path == nullptr || isLegacyHost(in_data)) return builtIn;
  // Stored values are taken as they are: a value outside the slider's range reaches the host.
  return static_cast<A_long>(GetPrivateProfileIntA(settingsSection, key, builtIn, path));
}

void BaseParam::storeValue(const char* key, A_long value, const char* path) {
  // Without a path the profile functions would fall back to a file in the Windows folder.
  if (path == nullptr) return;
  char text[256];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  WritePrivateProfileStringA(settingsSection, key, text, path);
}

ParamAddTopic::~ParamAddTopic() = default;

PF_Err ParamAddTopic::Add(PF_InData* in_data, A_u_long newId, const char*) {
  return addDefinition(in_data, PF_Param_GROUP_START, newId, true);
}

ParamEndTopic::~ParamEndTopic() = default;

// The end of a group has no name of its own.
PF_Err ParamEndTopic::Add(PF_InData* in_data, A_u_long newId, const char*) {
  return addDefinition(in_data, PF_Param_GROUP_END, newId, false);
}

ParamAddCheckbox::~ParamAddCheckbox() = default;

PF_Err ParamAddCheckbox::Add(PF_InData* in_data, A_u_long newId, const char* path) {
  // Only the low byte of a stored value counts: 256 reads as off, 255 as -1 (on).
  const auto low = static_cast<A_char>(storedOr(in_data, name, static_cast<A_long>(dflt), path) & 0xFF);
  definition.flags |= extraFlags;
  PF_CheckBoxDef& box = definition.u.bd;
  box.value = static_cast<PF_ParamValue>(static_cast<signed char>(low));
  box.dephault = static_cast<PF_Boolean>(low);
  box.u.nameptr = label;
  return addDefinition(in_data, PF_Param_CHECKBOX, newId, true);
}

void ParamAddCheckbox::StoreDefault(PF_InData*, const char* path) { storeValue(name, definition.u.bd.value, path); }

ParamAddColor::~ParamAddColor() = default;

namespace {

// "key color.r" and the like, in a buffer as long as the key texts are ever formed in.
struct ChannelKey {
  ChannelKey(const char* name, char channel) { std::snprintf(text, sizeof text, "%s.%c", name, channel); }
  char text[1024];
};

}  // namespace

PF_Err ParamAddColor::Add(PF_InData* in_data, A_u_long newId, const char* path) {
  auto channel = [&](char c, A_u_char builtIn) {
    return static_cast<A_u_char>(storedOr(in_data, ChannelKey(name, c).text, builtIn, path) & 0xFF);
  };
  // The alpha of a key colour is never read back: a colour parameter is always opaque.
  const PF_Pixel colour{255, channel('r', dflt.red), channel('g', dflt.green), channel('b', dflt.blue)};
  definition.u.cd.value = colour;
  definition.u.cd.dephault = colour;
  return addDefinition(in_data, PF_Param_COLOR, newId, true);
}

void ParamAddColor::StoreDefault(PF_InData*, const char* path) {
  const PF_Pixel& value = definition.u.cd.value;
  storeValue(ChannelKey(name, 'r').text, value.red, path);
  storeValue(ChannelKey(name, 'g').text, value.green, path);
  storeValue(ChannelKey(name, 'b').text, value.blue, path);
  storeValue(ChannelKey(name, 'a').text, value.alpha, path);
}

ParamAddSlider::~ParamAddSlider() = default;

PF_Err ParamAddSlider::Add(PF_InData* in_data, A_u_long newId, const char* path) {
  const A_long value = storedOr(in_data, name, dflt, path);
  PF_SliderDef& slider = definition.u.sd;
  slider.value = value;
  slider.value_str[0] = 0;
  slider.value_desc[0] = 0;
  slider.valid_min = validMin;
  slider.valid_max = validMax;
  slider.slider_min = sliderMin;
  slider.slider_max = sliderMax;
  slider.dephault = value;
  return addDefinition(in_data, PF_Param_SLIDER, newId, true);
}

void ParamAddSlider::StoreDefault(PF_InData*, const char* path) { storeValue(name, definition.u.sd.value, path); }
