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

Accounts::Books& Accounts::books() {
  const auto open = open_.find(std::this_thread::get_id());
  return open != open_.end() ? open->second : outside_;
}

const Accounts::Books& Accounts::books() const {
  const auto open = open_.find(std::this_thread::get_id());
  return open != open_.end() ? open->second : outside_;
}

std::string Accounts::where() const {
  const Books& current = books();
  return current.command ? commandName(*current.command) : "outside any command";
}

void Accounts::beginCommand(PF_Cmd command) {
  open_[std::this_thread::get_id()] = Books{command, {}, {}, {}};
  ++commands_;
}

void Accounts::judge(const Books& held, const std::string& name, std::vector<std::string>& out) const {
  for (const auto& [suite, count] : held.suitesHeld) {
    if (count > 0) {
      out.push_back(name + ": " + suiteText(suite.first, suite.second) + " acquired " + std::to_string(count) +
                    " time(s) more than released");
    }
  }
  for (const auto& [def, index] : held.paramsOut) {
    out.push_back(name + ": parameter " + std::to_string(index) + " checked out and never checked in");
  }
  for (const void* world : held.worldsMade) {
    if (worldsLive_.contains(world) && !worldsReported_.contains(world)) {
      out.push_back(name + ": a world made with new_world was not disposed of");
    }
  }
}

void Accounts::endCommand() {
  const auto open = open_.find(std::this_thread::get_id());
  if (open == open_.end()) return;
  const Books& ended = open->second;
  judge(ended, where(), imbalances_);
  // A leaked world is reported once, by the command that made it.
  for (const void* world : ended.worldsMade) {
    if (worldsLive_.contains(world)) worldsReported_.insert(world);
  }
  open_.erase(open);
}

SuiteTally& Accounts::tally(const std::string& name, A_long version) {
  const PF_Cmd command = this->command();
  SuiteTally& entry = suiteTallies_[{command, name, version}];
  entry.command = command;
  entry.name = name;
  entry.version = version;
  return entry;
}

void Accounts::suiteAcquired(const std::string& name, A_long version) {
  ++books().suitesHeld[{name, version}];
  ++tally(name, version).acquired;
}

bool Accounts::suiteReleased(const std::string& name, A_long version) {
  ++tally(name, version).released;
  auto& held = books().suitesHeld;
  const auto suite = held.find({name, version});
  if (suite == held.end() || suite->second == 0) {
    imbalance(where() + ": " + suiteText(name, version) + " released but not held");
    return false;
  }
  --suite->second;
  return true;
}

void Accounts::paramCheckedOut(const PF_ParamDef* def, PF_ParamIndex index) {
  books().paramsOut.emplace(def, index);
  ++paramCheckouts_;
}

std::optional<PF_ParamIndex> Accounts::paramCheckedIn(const PF_ParamDef* def) {
  ++paramCheckins_;
  auto& out = books().paramsOut;
  const auto found = out.find(def);
  if (found == out.end()) {
    imbalance(where() + ": check-in of a parameter definition that was not checked out");
    return std::nullopt;
  }
  const PF_ParamIndex index = found->second;
  out.erase(found);
  return index;
}

void Accounts::worldCreated(const void* data) {
  worldsLive_.insert(data);
  books().worldsMade.insert(data);
  ++worldsCreated_;
}

bool Accounts::worldDisposed(const void* data) {
  if (worldsLive_.erase(data) == 0) {
    imbalance(where() + ": dispose_world of a world the host did not make");
    return false;
  }
  // Whichever command made it no longer answers for it, even if its address comes back.
  worldsReported_.erase(data);
  outside_.worldsMade.erase(data);
  for (auto& [thread, open] : open_) open.worldsMade.erase(data);
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
  judge(outside_, "outside any command", report.imbalances);
  if (!blocksLive_.empty()) {
    report.imbalances.push_back(std::to_string(blocksLive_.size()) + " block(s) from AllocateBlock never freed");
  }
  for (const auto& [key, tally] : suiteTallies_) report.suites.push_back(tally);
  report.commands = commands_;
  report.paramCheckouts = paramCheckouts_;
  report.paramCheckins = paramCheckins_;
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
  out << "  parameters: checked out " << paramCheckouts << ", checked in " << paramCheckins << "\n";
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
