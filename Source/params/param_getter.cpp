#include "param_getter.h"

#include <cstring>

namespace {

bool enabledIn(PF_ParamDef** params, PF_ParamIndex index) {
  return (params[index]->ui_flags & PF_PUI_DISABLED) == 0;
}

}  // namespace

PF_Err GetParamFromArray::Checkout(PF_ParamIndex index, PF_ParamDef* def) {
  *def = *params_[index];
  return PF_Err_NONE;
}

PF_Err GetParamFromArray::Checkin(PF_ParamDef*) { return PF_Err_NONE; }

bool GetParamFromArray::IsEnabled(PF_ParamIndex index) const { return enabledIn(params_, index); }

PF_Err GetParamByCheckout::Checkout(PF_ParamIndex index, PF_ParamDef* def) {
  const PF_Err err = in_data_->inter.checkout_param(in_data_->effect_ref, index, in_data_->current_time,
                                                    in_data_->time_step, in_data_->time_scale, def);
  // Whatever the host left behind after a refusal is not a value anyone may use.
  if (err != PF_Err_NONE) std::memset(static_cast<void*>(def), 0, sizeof *def);
  return err;
}

PF_Err GetParamByCheckout::Checkin(PF_ParamDef* def) {
  return in_data_->inter.checkin_param(in_data_->effect_ref, def);
}

bool GetParamByCheckout::IsEnabled(PF_ParamIndex index) const {
  return params_ == nullptr || enabledIn(params_, index);
}
