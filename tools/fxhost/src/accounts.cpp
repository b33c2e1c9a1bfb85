#include "fxhost/accounts.h"

#include <array>
#include <sstream>

namespace fxhost {
namespace {

constexpr std::array<const char*, PF_Cmd_NUM_CMDS> kCommandNames = {
    "PF_Cmd_ABOUT",
    "PF_Cmd_GLOBAL_SETUP",
    "PF_Cmd_UNUSED_0",
    "PF_Cmd_GLOBAL_SETDOWN",
    "PF_Cmd_PARAMS_SETUP",
    "PF_Cmd_SEQUENCE_SETUP",
    "PF_Cmd_SEQUENCE_RESETUP",
    "PF_Cmd_SEQUENCE_FLATTEN",
    "PF_Cmd_SEQUENCE_SETDOWN",
    "PF_Cmd_DO_DIALOG",
    "PF_Cmd_FRAME_SETUP",
    "PF_Cmd_RENDER",
    "PF_Cmd_FRAME_SETDOWN",
    "PF_Cmd_USER_CHANGED_PARAM",
    "PF_Cmd_UPDATE_PARAMS_UI",
    "PF_Cmd_EVENT",
    "PF_Cmd_GET_EXTERNAL_DEPENDENCIES",
    "PF_Cmd_COMPLETELY_GENERAL",
    "PF_Cmd_QUERY_DYNAMIC_FLAGS",
    "PF_Cmd_AUDIO_RENDER",
    "PF_Cmd_AUDIO_SETUP",
    "PF_Cmd_AUDIO_SETDOWN",
    "PF_Cmd_ARBITRARY_CALLBACK",
    "PF_Cmd_SMART_PRE_RENDER",
    "PF_Cmd_SMART_RENDER",
    "PF_Cmd_RESERVED1",
    "PF_Cmd_RESERVED2",
    "PF_Cmd_RESERVED3",
    "PF_Cmd_GET_FLATTENED_SEQUENCE_DATA",
    "PF_Cmd_TRANSLATE_PARAMS_TO_PREFS",
    "PF_Cmd_RESERVED4",
    "PF_Cmd_SMART_RENDER_GPU",
    "PF_Cmd_GPU_DEVICE_SETUP",
    "PF_Cmd_GPU_DEVICE_SETDOWN",
};

std::string suiteText(const std::string& name, A_long version) {
  return "suite \"" + name + "\" version " + std::to_string(version);
}

}  // namespace

std::string commandName(PF_Cmd command) {
  if (command >= 0 && command < PF_Cmd_NUM_CMDS) return kCommandNames[static_cast<std::size_t>(command)];
  return "PF_Cmd_#" + std::to_string(command);
}

std::string Accounts::where() const { return command_ ? commandName(*command_) : "outside any command"; }

void Accounts::beginCommand(PF_Cmd command) {
  command_ = command;
  ++commands_;
}

void Accounts::endCommand() {
  if (!command_) return;
  const std::string name = where();
  for (const auto& [suite, count] : suitesHeld_) {
    if (count > 0) {
      imbalance(name + ": " + suiteText(suite.first, suite.second) + " acquired " + std::to_string(count) +
                " time(s) more than released");
    }
  }
  suitesHeld_.clear();

  const bool lapse = command_ == PF_Cmd_SMART_PRE_RENDER;
  for (const auto& [def, index] : paramsOut_) {
    if (lapse) {
      ++lapsedCheckouts_;
      continue;
    }
    imbalance(name + ": parameter " + std::to_string(index) + " checked out and never checked in");
  }
  paramsOut_.clear();

  for (const auto& [data, madeIn] : worldsLive_) {
    if (madeIn != *command_ || worldsReported_.contains(data)) continue;
    imbalance(name + ": a world made with new_world was not disposed of");
    worldsReported_.insert(data);
  }
  command_.reset();
}

void Accounts::suiteAcquired(const std::string& name, A_long version) {
  ++held()[{name, version}];
  auto& tally = suiteTallies_[{command_.value_or(-1), name, version}];
  tally.command = command_.value_or(-1);
  tally.name = name;
  tally.version = version;
  ++tally.acquired;
}

bool Accounts::suiteReleased(const std::string& name, A_long version) {
  auto& tally = suiteTallies_[{command_.value_or(-1), name, version}];
  tally.command = command_.value_or(-1);
  tally.name = name;
  tally.version = version;
  ++tally.released;
  auto& suites = held();
  const auto suite = suites.find({name, version});
  if (suite == suites.end() || suite->second == 0) {
    imbalance(where() + ": " + suiteText(name, version) + " released but not held");
    return false;
  }
  --suite->second;
  return true;
}

void Accounts::paramCheckedOut(const PF_ParamDef* def, PF_ParamIndex index) {
  paramsOut_.emplace(def, index);
  ++paramCheckouts_;
}

std::optional<PF_ParamIndex> Accounts::paramCheckedIn(const PF_ParamDef* def) {
  ++paramCheckins_;
  const auto out = paramsOut_.find(def);
  if (out == paramsOut_.end()) {
    imbalance(where() + ": check-in of a parameter definition that was not checked out");
    return std::nullopt;
  }
  const PF_ParamIndex index = out->second;
  paramsOut_.erase(out);
  return index;
}

void Accounts::worldCreated(const void* data) {
  worldsLive_[data] = command_.value_or(-1);
  ++worldsCreated_;
}

bool Accounts::worldDisposed(const void* data) {
  if (worldsLive_.erase(data) == 0) {
    imbalance(where() + ": dispose_world of a world the host did not make");
    return false;
  }
  worldsReported_.erase(data);
  ++worldsDisposed_;
  return true;
}

void Accounts::blockAllocated(const void* block) {
  blocksLive_.insert(block);
  ++blocksAllocated_;
}

bool Accounts::blockFreed(const void* block) {
  if (blocksLive_.erase(block) == 0) {
    imbalance(where() + ": FreeBlock of a block the host did not allocate");
    return false;
  }
  ++blocksFreed_;
  return true;
}

void Accounts::imbalance(const std::string& message) { imbalances_.push_back(message); }

AccountsReport Accounts::report() const {
  AccountsReport report;
  report.imbalances = imbalances_;
  for (const auto& [suite, count] : suitesHeldOutside_) {
    if (count > 0) {
      report.imbalances.push_back("outside any command: " + suiteText(suite.first, suite.second) + " acquired " +
                                  std::to_string(count) + " time(s) more than released");
    }
  }
  if (!blocksLive_.empty()) {
    report.imbalances.push_back(std::to_string(blocksLive_.size()) + " block(s) from AllocateBlock never freed");
  }
  for (const auto& [key, tally] : suiteTallies_) report.suites.push_back(tally);
  report.commands = commands_;
  report.paramCheckouts = paramCheckouts_;
  report.paramCheckins = paramCheckins_;
  report.lapsedCheckouts = lapsedCheckouts_;
  report.handlesAllocated = handlesAllocated_;
  report.handlesDisposed = handlesDisposed_;
  report.handleLocks = handleLocks_;
  report.handleUnlocks = handleUnlocks_;
  report.worldsCreated = worldsCreated_;
  report.worldsDisposed = worldsDisposed_;
  report.blocksAllocated = blocksAllocated_;
  report.blocksFreed = blocksFreed_;
  return report;
}

std::string AccountsReport::text() const {
  std::ostringstream out;
  out << "accounts: " << commands << " command(s)\n";
  for (const SuiteTally& tally : suites) {
    out << "  " << (tally.command < 0 ? std::string("outside any command") : commandName(tally.command))
        << ": suite \"" << tally.name << "\" version " << tally.version << ": acquired " << tally.acquired
        << ", released " << tally.released << "\n";
  }
  out << "  parameters: checked out " << paramCheckouts << ", checked in " << paramCheckins << ", lapsed "
      << lapsedCheckouts << "\n";
  out << "  handles: allocated " << handlesAllocated << ", disposed " << handlesDisposed << ", live " << handlesLive
      << ", locks " << handleLocks << ", unlocks " << handleUnlocks << "\n";
  out << "  worlds: created " << worldsCreated << ", disposed " << worldsDisposed << "\n";
  out << "  blocks: allocated " << blocksAllocated << ", freed " << blocksFreed << "\n";
  if (imbalances.empty()) {
    out << "balanced\n";
    return out.str();
  }
  out << imbalances.size() << " imbalance(s):\n";
  for (const std::string& message : imbalances) out << "  " << message << "\n";
  return out.str();
}

}  // namespace fxhost
