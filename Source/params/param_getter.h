// How a descriptor fetches its parameter's value from the host: from the definitions the host
// handed to the current command, or checked out at the current time. Which reader a caller makes
// decides whether the descriptors' shared definitions are written and whether anything must be
// given back.
#pragma once

#include "ae_effect.h"

class ParamGetter {
 public:
  virtual PF_Err Checkout(PF_ParamIndex index, PF_ParamDef* def) = 0;
  virtual PF_Err Checkin(PF_ParamDef* def) = 0;
  // Definitions go into temporaries, each checked back in as soon as its value is copied; the
  // descriptors' own definitions are not touched and ReleaseValue has nothing to give back.
  virtual bool UsesTemporaryCopy() const = 0;
  // The parameter's control is enabled in the host's user interface.
  virtual bool IsEnabled(PF_ParamIndex index) const = 0;

 protected:
  // Readers live on their caller's stack for one loop; nobody deletes one through this class.
  ~ParamGetter() = default;
};

// Reads the params array of the current command; never fails and never calls the host.
class GetParamFromArray final : public ParamGetter {
 public:
  explicit GetParamFromArray(PF_ParamDef** params) : params_(params) {}
  PF_Err Checkout(PF_ParamIndex index, PF_ParamDef* def) override;
  PF_Err Checkin(PF_ParamDef* def) override;
  bool UsesTemporaryCopy() const override { return false; }
  bool IsEnabled(PF_ParamIndex index) const override;

 private:
  PF_ParamDef** params_;
};

// Checks parameters out of the host at the command's current time. A failed checkout leaves an
// all-zero definition behind.
class GetParamByCheckout final : public ParamGetter {
 public:
  // `params` is only used by IsEnabled; with none, every parameter counts as enabled.
  GetParamByCheckout(PF_InData* in_data, PF_ParamDef** params, bool temporary)
      : in_data_(in_data), params_(params), temporary_(temporary) {}
  PF_Err Checkout(PF_ParamIndex index, PF_ParamDef* def) override;
  PF_Err Checkin(PF_ParamDef* def) override;
  bool UsesTemporaryCopy() const override { return temporary_; }
  bool IsEnabled(PF_ParamIndex index) const override;

 private:
  PF_InData* in_data_;
  PF_ParamDef** params_;
  bool temporary_;
};
