#pragma once
// The host's state, shared by the public Host and the callback tables the plug-in calls into.
//
// The host's functions reach the plug-in as plain C function pointers, most of them without any
// context argument (the handle and ANSI callbacks, AcquireSuite), so the state is reached through
// one process-wide "active host". Only one Host exists at a time, as only one After Effects runs
// a plug-in's process.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "ae_effect.h"
#include "ae_smart_render.h"
#include "fxhost/accounts.h"
#include "fxhost/faults.h"
#include "fxhost/host_options.h"
#include "fxhost/plugin_module.h"
#include "fxhost/records.h"
#include "fxhost/world.h"
#include "handle_table.h"
#include "sp_basic_suite.h"

namespace fxhost::detail {

// One smart render in flight: from its pre-render to the render (or its abandonment).
struct SmartRenderPass {
  bool active = false;
  OwnedWorld* input = nullptr;
  PF_PreRenderInput preInput{};
  PF_PreRenderOutput preOutput{};
  PF_PreRenderCallbacks preCallbacks{};
  std::map<A_long, PF_RenderRequest> layerCheckouts;  // by checkout id
  std::set<A_long> pixelsOut;                         // checkout ids whose pixels are out
  OwnedWorld* output = nullptr;
};

struct HostCore {
  explicit HostCore(HostOptions hostOptions);
  ~HostCore();
  HostCore(const HostCore&) = delete;
  HostCore& operator=(const HostCore&) = delete;

  PF_ProgPtr effectRef() { return reinterpret_cast<PF_ProgPtr>(&effectToken); }
  // False, with an imbalance booked, when a callback gets another effect reference than ours.
  bool checkEffectRef(PF_ProgPtr ref, const char* function);

  // Calls the entry point with fresh in_data and out_data blocks and books the command.
  PF_Err run(PF_Cmd command, PF_ParamDef** params, PF_EffectWorld* output, void* extra);
  // The same with another function in place of the plug-in's entry point (none need be loaded).
  PF_Err runEntry(PF_FilterProc entry, const std::function<PF_Err(PF_InData&, PF_OutData&)>* body,
                  PF_Cmd command, PF_ParamDef** params, PF_EffectWorld* output, void* extra);

  // The input layer (parameter 0) as the plug-in sees it right now.
  PF_ParamDef layerParam() const;
  // Gives back pre-render data of the smart render in flight and ends it.
  void finishSmartRender();

  HostOptions options;
  Faults faults;
  Accounts accounts;
  Records records;
  HandleTable handles{accounts};
  std::optional<PluginModule> plugin;

  std::vector<PF_ParamDef> params;  // 0 is the input layer
  std::vector<std::unique_ptr<OwnedWorld>> pluginWorlds;
  OwnedWorld* input = nullptr;  // the layer while a render runs
  SmartRenderPass smart;
  std::optional<PF_LRect> requestRect;

  PF_Handle globalData = nullptr;
  PF_Handle sequenceData = nullptr;
  PF_InData inData{};
  PF_OutData outData{};
  PF_UtilCallbacks utils{};
  SPBasicSuite basic{};
  char effectToken = 0;
};

HostCore& active();
HostCore* activeOrNull();

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
