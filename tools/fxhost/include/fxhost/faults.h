#pragma once
// The failures the host can be told to produce, so that every error path of a plug-in can be
// driven from a test. A zero error code means "no fault".

#include <map>
#include <set>
#include <string>
#include <utility>

#include "ae_types.h"

namespace fxhost {

// Lets a number of calls succeed, then fails every further call until disarmed.
class FaultCountdown {
 public:
  void arm(int successesFirst = 0) { remaining_ = successesFirst; }
  void disarm() { remaining_ = -1; }
  bool armed() const { return remaining_ >= 0; }

  // Called once per call: true when this call must fail.
  bool fires() {
    if (remaining_ < 0) return false;
    if (remaining_ == 0) return true;
    --remaining_;
    return false;
  }

 private:
  int remaining_ = -1;
};

struct Faults {
  // AcquireSuite of these (name, version) pairs fails as for a suite the host does not have.
  std::set<std::pair<std::string, A_long>> refusedSuites;

  PF_Err newWorldError = 0;  // every way of making a world: World Suite 1 and 2, utility callbacks
  int newWorldSuccessesFirst = 0;  // worlds made before newWorldError applies
  PF_Err copyError = 0;      // World Transform Suite copy and the utility callbacks' copy
  // dispose_world frees the world but answers with this error, so that a plug-in's reaction to the
  // answer can be seen apart from the world's fate.
  PF_Err disposeWorldError = 0;
  PF_Err pixelFormatError = 0;
  PF_Err appLanguageError = 0;  // PF_AppGetLanguage fails and leaves the buffer untouched
  PF_Err updateParamUIError = 0;

  FaultCountdown handleAllocation;  // host_new_handle gives null
  FaultCountdown handleLock;        // host_lock_handle gives null

  std::map<PF_ParamIndex, PF_Err> paramCheckoutErrors;  // by parameter index
  std::map<PF_ParamIndex, PF_Err> paramCheckinErrors;
  std::map<PF_ParamIndex, PF_Err> addParamErrors;  // by the index the parameter would get

  PF_Err checkoutLayerError = 0;        // pre-render checkout_layer
  int checkoutLayerSuccessesFirst = 0;  // checkouts made before checkoutLayerError applies
  PF_Err checkoutLayerPixelsError = 0;  // smart-render checkout_layer_pixels
  PF_Err checkoutOutputError = 0;       // smart-render checkout_output
  bool layerPixelsAbsent = false;       // checkout_layer_pixels succeeds with no world
  bool outputAbsent = false;            // checkout_output succeeds with no world

  void refuseSuite(const std::string& name, A_long version) { refusedSuites.emplace(name, version); }

  // Whether a call must fail with `error`, after `successesFirst` calls that succeed.
  static bool due(PF_Err error, int& successesFirst) {
    if (error == 0) return false;
    if (successesFirst <= 0) return true;
    --successesFirst;
    return false;
  }
};

}  // namespace fxhost
