#pragma once
// The simulated host: loads an effect plug-in and sends it the commands After Effects would, with
// complete input and output blocks, its suites and callbacks, and strict accounts of what the
// plug-in acquires. Only one Host may exist at a time.
//
//   fxhost::Host host;
//   host.loadPlugin("tessaline.aex");
//   host.globalSetup(); host.paramsSetup(); host.sequenceSetup();
//   fxhost::OwnedWorld in(PixelDepth::Eight, 64, 64), out(PixelDepth::Eight, 64, 64);
//   host.renderSmart(in, out);
//   host.shutdown();
//   EXPECT_TRUE(host.accounts().balanced());

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ae_effect.h"
#include "ae_smart_render.h"
#include "fxhost/accounts.h"
#include "fxhost/faults.h"
#include "fxhost/host_options.h"
#include "fxhost/plugin_module.h"
#include "fxhost/records.h"
#include "fxhost/world.h"

namespace fxhost {

namespace detail {
struct HostCore;
}

class Host {
 public:
  explicit Host(HostOptions options = {});
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Throws HostError when the plug-in cannot be loaded (see PluginModule::load).
  void loadPlugin(const std::string& path);
  const PluginModule& plugin() const;

  // Changes take effect with the next command.
  HostOptions& options();
  Faults& faults();
  Records& records();

  // The books so far, with every handle still alive counted as an imbalance.
  AccountsReport accounts() const;

  // ---- Commands: each returns the plug-in's result. ----
  PF_Err about();
  PF_Err globalSetup();
  PF_Err globalSetdown();
  PF_Err paramsSetup();  // starts the parameter list afresh with the input layer
  PF_Err sequenceSetup();
  PF_Err sequenceResetup();  // from the host's current sequence data, usually flat
  PF_Err sequenceFlatten();
  PF_Err sequenceSetdown();
  // A flat copy that the host keeps (and here hands to the caller, disposing of the handle).
  PF_Err getFlattenedSequenceData(std::vector<std::uint8_t>* flat);
  PF_Err doDialog();
  PF_Err updateParamsUI();
  PF_Err userChangedParam(PF_ParamIndex index);
  PF_Err render(OwnedWorld& input, OwnedWorld& output);  // the classic render command
  PF_Err smartPreRender(OwnedWorld& input);
  PF_Err smartRender(OwnedWorld& output);  // the render paired with the last smartPreRender
  PF_Err renderSmart(OwnedWorld& input, OwnedWorld& output);  // both; no render after a failed pre-render
  // Any command number, with the params array and no extra unless given (for commands the host
  // has no special handling for).
  PF_Err sendCommand(PF_Cmd command, void* extra = nullptr);
  // Runs `body` in place of the plug-in's entry point for one command, with the same blocks,
  // suites, callbacks and accounts; no plug-in need be loaded. This is how code that will live in a
  // plug-in is tested inside the test program. An exception from `body` closes the command's books
  // and passes on.
  PF_Err runInProcess(PF_Cmd command, const std::function<PF_Err(PF_InData&, PF_OutData&)>& body);
  // Sequence setdown and global setdown for whatever is still set up; the first failure.
  PF_Err shutdown();

  // ---- State ----
  int paramCount() const;
  PF_ParamDef& param(PF_ParamIndex index);  // the host's current definition; change values here
  PF_Handle globalData() const;
  PF_Handle sequenceData() const;
  std::vector<std::uint8_t> handleBytes(PF_Handle handle) const;
  // The host's stored copy of an instance, as read from a project, for the next resetup.
  void setSequenceDataBytes(std::span<const std::uint8_t> bytes);
  const PF_InData& lastInData() const;
  const PF_OutData& lastOutData() const;
  std::string returnMessage() const;
  const PF_PreRenderOutput& lastPreRenderOutput() const;
  // The rectangle smart renders ask for; the whole frame when empty.
  void setRequestRect(std::optional<PF_LRect> rect);

 private:
  PF_Err runWithParams(PF_Cmd command, PF_EffectWorld* output, void* extra, bool takeChangedValues);
  PF_Err takeSequenceData(PF_Err result);

  std::unique_ptr<detail::HostCore> core_;
  PF_PreRenderOutput lastPreRender_{};
  bool globalUp_ = false;
};

}  // namespace fxhost
