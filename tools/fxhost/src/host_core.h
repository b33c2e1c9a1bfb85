#pragma once
// The host's state, shared by the public Host and the callback tables the plug-in calls into.
//
// The host's functions reach the plug-in as plain C function pointers, most of them without any
// context argument (the handle and ANSI callbacks, AcquireSuite), so the state is reached through
// one process-wide "active host". Only one Host exists at a time, as only one After Effects runs
// a plug-in's process.
//
// Smart renders may run on several threads at once. What belongs to one command (its blocks, its
// layer, its smart-render pass) lives with the thread that sent it, where the plug-in calls back;
// everything shared is guarded by one mutex, which is never held while the plug-in's code runs.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "ae_effect.h"
#include "ae_smart_render.h"
#include "fxhost/accounts.h"
#include "fxhost/faults.h"
#include "fxhost/host.h"
#include "fxhost/host_options.h"
#include "fxhost/plugin_module.h"
#include "fxhost/records.h"
#include "fxhost/world.h"
#include "handle_table.h"
#include "sp_basic_suite.h"

namespace fxhost::detail {

using CommandBody = std::function<PF_Err(PF_InData&, PF_OutData&)>;

// A checkout of the input layer in a pre-render: what was asked, and what the layer delivers.
struct LayerCheckout {
  PF_RenderRequest request{};
  PF_LRect result{};
};

// One smart render: from its pre-render to the render (or its abandonment).
struct SmartRenderPass {
  A_long time = 0;
  OwnedWorld* input = nullptr;   // the whole layer
  OwnedWorld* output = nullptr;  // stands for the whole layer; receives the output world's pixels
  SmartRequest request;
  PF_LRect layer{};  // the input's place in the layer's coordinates
  PF_PreRenderInput preInput{};
  PF_PreRenderOutput preOutput{};
  PF_PreRenderCallbacks preCallbacks{};
  std::map<A_long, LayerCheckout> layerCheckouts;  // by checkout id
  std::set<A_long> pixelsOut;                      // checkout ids whose pixels are out
  // Worlds the host made for the pass: input pixels of a checkout that is not the whole layer (by
  // checkout id), and the output world when it is not the caller's.
  std::map<A_long, std::unique_ptr<OwnedWorld>> inputWindows;
  std::unique_ptr<OwnedWorld> outputWindow;
  PF_LRect outputRect{};  // the layer rectangle of the output world
};

// One command in flight, owned by the thread that sent it.
struct CommandContext {
  PF_Cmd command = 0;
  A_long time = 0;
  OwnedWorld* input = nullptr;       // the layer while a render runs
  SmartRenderPass* smart = nullptr;  // during a smart pre-render or render; its request's
                                     // downsample factors replace the options'
  PF_InData inData{};
  PF_OutData outData{};
};

// The common part of two rectangles; the empty rectangle {0, 0, 0, 0} when they do not overlap.
PF_LRect clipRect(const PF_LRect& rect, const PF_LRect& bounds);
bool sameRect(const PF_LRect& a, const PF_LRect& b);

// The command the calling thread is in, or null.
CommandContext* currentCommand();

struct HostCore {
  explicit HostCore(HostOptions hostOptions);
  ~HostCore();
  HostCore(const HostCore&) = delete;
  HostCore& operator=(const HostCore&) = delete;

  PF_ProgPtr effectRef() { return reinterpret_cast<PF_ProgPtr>(&effectToken); }
  // False, with an imbalance booked, when a callback gets another effect reference than ours.
  bool checkEffectRef(PF_ProgPtr ref, const char* function);

  // Sends `command` (its command, time, layer and pass set) to the plug-in's entry point, or to
  // `body` in its place, with fresh in_data and out_data, and books it. Takes the lock itself.
  PF_Err run(CommandContext& command, PF_ParamDef** params, PF_EffectWorld* output, void* extra,
             const CommandBody* body = nullptr);

  // Parameter `index` as a checkout at `time` sees it; 0 is the layer `input`. Under the lock.
  PF_ParamDef paramAt(PF_ParamIndex index, A_long time, const OwnedWorld* input) const;
  // Gives the pass's pre-render data to the plug-in's delete function, if it has one. Without
  // the lock, outside any command: the function may call back.
  void finishSmartRender(SmartRenderPass& pass);
  // The same for the pass of the split pre-render and render, if one is waiting.
  void finishPendingSmartRender();

  std::mutex mutex;
  HostOptions options;
  Faults faults;
  Accounts accounts;
  Records records;
  HandleTable handles{accounts};
  std::optional<PluginModule> plugin;

  std::vector<PF_ParamDef> params;  // 0 is the input layer
  std::map<PF_ParamIndex, std::map<A_long, PF_ParamDefUnion>> keyframes;  // by index, then time
  std::vector<std::unique_ptr<OwnedWorld>> pluginWorlds;
  std::unique_ptr<SmartRenderPass> pending;  // a pre-render sent on its own, waiting for its render
  SmartRequest smartRequest;  // for smart renders sent without a frame of their own

  PF_Handle globalData = nullptr;
  PF_Handle sequenceData = nullptr;
  PF_InData lastInData{};
  PF_OutData lastOutData{};
  PF_PreRenderOutput lastPreRender{};
  PF_UtilCallbacks utils{};
  SPBasicSuite basic{};
  char effectToken = 0;

 private:
  void admit(PF_Cmd command);
  void dismiss(PF_Cmd command);

  int smartInFlight = 0;
  bool exclusiveInFlight = false;
};

HostCore& active();
HostCore* activeOrNull();

// The active host, locked while this lives: how a callback reaches the host's state.
class LockedHost {
 public:
  LockedHost() : host_(active()), lock_(host_.mutex) {}
  HostCore* operator->() const { return &host_; }
  HostCore& operator*() const { return host_; }

 private:
  HostCore& host_;
  std::lock_guard<std::mutex> lock_;
};

// Tables and callbacks, one file each.
void fillUtilCallbacks(PF_UtilCallbacks& utils);
void fillInteractCallbacks(PF_InteractCallbacks& inter);
void fillBasicSuite(SPBasicSuite& basic);
PF_PreRenderCallbacks preRenderCallbacks();
PF_SmartRenderCallbacks smartRenderCallbacks();

// The suites the host has, or null: "PF World Suite" 1 and 2, "PF World Transform Suite" 1,
// "PF Param Utils Suite" 2 and 3, "PF AE App Suite" 7.
const void* findSuite(const char* name, A_long version);
const void* worldSuiteTable(A_long version);
const void* worldTransformSuiteTable();
const void* paramUtilsSuiteTable(A_long version);
const void* appSuiteTable();

}  // namespace fxhost::detail
