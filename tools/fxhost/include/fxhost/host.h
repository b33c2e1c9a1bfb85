#pragma once
// The simulated host: loads an effect plug-in and sends it the commands After Effects would, with
// complete input and output blocks, its suites and callbacks, and strict accounts of what the
// plug-in acquires. Only one Host may exist at a time.
//
// Threads: smart renders (renderSmart with a time) may be sent from several threads at once, as
// After Effects does for an effect that declares threaded rendering; each is booked on its own
// thread. Every other command runs alone: sending one while any command is in flight, or from
// inside a command, throws HostError. Options, faults, parameter definitions and records are
// meant to be changed and read between commands; keyframes may be set at any time.
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

// What the host asks of one smart render, as After Effects asks for part of a layer (a layer larger
// than the composition, a region of interest, a zoomed viewer) or renders at reduced resolution.
// Rectangles are in the layer's coordinates at the resolution of the render: with downsampling the
// input world is the layer already reduced, and its coordinates are the reduced ones.
struct SmartRequest {
  std::optional<PF_LRect> rect;  // what the effect is asked for; the whole layer when empty
  PF_Point origin{0, 0};         // where the input world's top-left pixel lies in the layer
  // in_data's downsample factors for both commands; the options' when empty.
  std::optional<PF_RationalScale> downsampleX;
  std::optional<PF_RationalScale> downsampleY;
};

// One smart render: what is asked, and what the host saw.
struct SmartFrame {
  A_long time = 0;
  SmartRequest request;
  // Filled in by the host: the return_msg of the render (or of the pre-render that failed), and the
  // rectangle of the layer that the output world held (the effect's result rectangle, clipped to
  // the request unless it declared extra pixels; empty when none). The output world's pixels are
  // copied into the caller's output, which stands for the whole layer, as far as it reaches.
  std::string message;
  PF_LRect outputRect{};
};

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
  // The classic render command, at options().currentTime or at `time`.
  PF_Err render(OwnedWorld& input, OwnedWorld& output);
  PF_Err render(OwnedWorld& input, OwnedWorld& output, A_long time);
  // A pre-render alone, at options().currentTime with the request of setSmartRequest; its render is
  // the next smartRender. A pre-render left waiting is finished (its data given to the plug-in's
  // delete function) by the next one.
  PF_Err smartPreRender(OwnedWorld& input);
  PF_Err smartRender(OwnedWorld& output);  // the render paired with the last smartPreRender
  // Both commands of one frame, no render after a failed pre-render; then the pre-render data goes
  // to the plug-in's delete function, if it registered one. `input` is the layer at the render's
  // resolution, `output` stands for the same pixels. The form with a frame may run on several
  // threads at once; the others render with the request of setSmartRequest.
  PF_Err renderSmart(OwnedWorld& input, OwnedWorld& output);
  PF_Err renderSmart(OwnedWorld& input, OwnedWorld& output, A_long time, std::string* returnMessage = nullptr);
  PF_Err renderSmart(OwnedWorld& input, OwnedWorld& output, SmartFrame& frame);
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
  // Parameter values over time: a checkout at time t gets the value of the parameter's latest
  // keyframe at or before t, else its earliest keyframe, else param(index). Index 1 and up.
  void setKeyframe(A_long time, PF_ParamIndex index, const PF_ParamDefUnion& value);
  void clearKeyframes();
  PF_Handle globalData() const;
  PF_Handle sequenceData() const;
  std::vector<std::uint8_t> handleBytes(PF_Handle handle) const;
  // The host's stored copy of an instance, as read from a project, for the next resetup.
  void setSequenceDataBytes(std::span<const std::uint8_t> bytes);
  // The blocks of the most recently finished command (with concurrent renders: whichever
  // finished last), and the output of the most recently finished pre-render.
  const PF_InData& lastInData() const;
  const PF_OutData& lastOutData() const;
  std::string returnMessage() const;
  const PF_PreRenderOutput& lastPreRenderOutput() const;
  // The request of smart renders sent without a frame of their own; the whole layer by default.
  void setSmartRequest(const SmartRequest& request);

 private:
  PF_Err runWithParams(PF_Cmd command, PF_EffectWorld* output, void* extra, bool takeChangedValues,
                       OwnedWorld* input = nullptr, std::optional<A_long> time = std::nullopt);
  // A command without parameters at the current time; `out` receives its out_data.
  PF_Err runPlain(PF_Cmd command, PF_OutData* out = nullptr);
  // A sequence command whose out_data names the instance's sequence data afterwards.
  PF_Err runSequenceCommand(PF_Cmd command);
  A_long currentTime() const;

  std::unique_ptr<detail::HostCore> core_;
  bool globalUp_ = false;
};

}  // namespace fxhost
