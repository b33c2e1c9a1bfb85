// Parameter descriptors: one object per parameter of the effect. Each knows the definition it
// registers with the host, where its value goes in a RenderJob, which parameter enables it, and how
// its default is read from and written to the settings file.
#pragma once

#include "ae_effect.h"
#include "param_getter.h"

class BaseParam {
 public:
  // Takes the next index from the registry's counter. The definition starts as a copy of
  // `templateDef`, or all zero.
  explicit BaseParam(const char* name, const PF_ParamDef* templateDef = nullptr);
  virtual ~BaseParam();
  BaseParam(const BaseParam&) = delete;
  BaseParam& operator=(const BaseParam&) = delete;

  // Fetches the current definition through the getter and copies the value bytes into
  // block + valueOffset (nothing is copied without a block).
  virtual PF_Err ReadValue(void* block, ParamGetter& getter);
  // Gives back what ReadValue checked out into the descriptor's own definition.
  virtual PF_Err ReleaseValue(ParamGetter& getter);
  // Registers the parameter at the end of the host's list. `path` is the settings file to read
  // the default from; none means the built-in default.
  virtual PF_Err Add(PF_InData* in_data, A_u_long id, const char* path) = 0;
  // Writes the value now held in the definition to the settings file.
  virtual void StoreDefault(PF_InData* in_data, const char* path);

  const char* name;
  PF_ParamDef definition;
  A_u_long id = 0;
  A_u_long index;
  A_u_long valueOffset = 0;
  A_u_long valueSize = 0;  // 0: the parameter carries no value (groups)
  A_u_long controllerId = 0;
  A_u_long controllerIndex = 0;

 protected:
  // Registers the finished definition.
  PF_Err addDefinition(PF_InData* in_data, PF_ParamType type, A_u_long id, bool copyName);
  // The stored default of this descriptor's key, or `builtIn` when there is no file to read.
  A_long storedOr(PF_InData* in_data, const char* key, A_long builtIn, const char* path) const;
  // Writes "%d" of `value` under `key`; nothing without a path.
  static void storeValue(const char* key, A_long value, const char* path);
};

class ParamAddTopic final : public BaseParam {
 public:
  using BaseParam::BaseParam;
  ~ParamAddTopic() override;
  PF_Err Add(PF_InData* in_data, A_u_long id, const char* path) override;
};

class ParamEndTopic final : public BaseParam {
 public:
  using BaseParam::BaseParam;
  ~ParamEndTopic() override;
  PF_Err Add(PF_InData* in_data, A_u_long id, const char* path) override;
};

class ParamAddCheckbox final : public BaseParam {
 public:
  ParamAddCheckbox(const char* name, const PF_ParamDef* templateDef, const char* label, A_char dflt,
                   PF_ParamFlags extraFlags)
      : BaseParam(name, templateDef), label(label), dflt(dflt), extraFlags(extraFlags) {}
  ~ParamAddCheckbox() override;
  PF_Err Add(PF_InData* in_data, A_u_long id, const char* path) override;
  void StoreDefault(PF_InData* in_data, const char* path) override;

  const char* label;
  A_char dflt;
  PF_ParamFlags extraFlags;
};

class ParamAddColor final : public BaseParam {
 public:
  ParamAddColor(const char* name, const PF_ParamDef* templateDef, PF_Pixel dflt)
      : BaseParam(name, templateDef), dflt(dflt) {}
  ~ParamAddColor() override;
  PF_Err Add(PF_InData* in_data, A_u_long id, const char* path) override;
  void StoreDefault(PF_InData* in_data, const char* path) override;

  PF_Pixel dflt;
};

class ParamAddSlider final : public BaseParam {
 public:
  ParamAddSlider(const char* name, const PF_ParamDef* templateDef, A_long validMin, A_long validMax,
                 A_long sliderMin, A_long sliderMax, A_long dflt)
      : BaseParam(name, templateDef),
        validMin(validMin),
        validMax(validMax),
        sliderMin(sliderMin),
        sliderMax(sliderMax),
        dflt(dflt) {}
  ~ParamAddSlider() override;
  PF_Err Add(PF_InData* in_data, A_u_long id, const char* path) override;
  void StoreDefault(PF_InData* in_data, const char* path) override;

  A_long validMin, validMax, sliderMin, sliderMax, dflt;
};
