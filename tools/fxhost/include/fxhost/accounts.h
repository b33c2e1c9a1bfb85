#pragma once
// The host's books: what the plug-in acquired and whether it gave everything back.
//
// Per command: every suite acquired is released (by name and version) before the command returns;
// every parameter checked out is checked in, in every command (smart pre-render included: the
// host's contract lets nothing lapse); every world made with new_world is disposed of; every
// handle locked is unlocked. Across the session: every handle and block allocated is freed. Misuse (a
// release of a suite never acquired, a check-in of a definition never checked out, a foreign
// handle) is booked too. An empty list of imbalances is a clean run.
//
// Smart renders run on several threads at once, so a command is the calling thread's: each thread
// has its own open command, judged only on what that thread did. The books themselves are not
// synchronised; the host calls them under its lock.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "ae_effect.h"

namespace fxhost {

// "PF_Cmd_SMART_RENDER"; "PF_Cmd_#40" for numbers the host does not know.
std::string commandName(PF_Cmd command);

struct SuiteTally {
  PF_Cmd command = 0;
  std::string name;
  A_long version = 0;
  int acquired = 0;
  int released = 0;
};

struct AccountsReport {
  std::vector<std::string> imbalances;
  std::vector<SuiteTally> suites;  // per command, name and version
  int commands = 0;
  int paramCheckouts = 0;
  int paramCheckins = 0;
  int handlesAllocated = 0;
  int handlesDisposed = 0;
  int handlesLive = 0;
  int handleLocks = 0;
  int handleUnlocks = 0;
  int worldsCreated = 0;
  int worldsDisposed = 0;
  int blocksAllocated = 0;
  int blocksFreed = 0;

  bool balanced() const { return imbalances.empty(); }
  std::string text() const;  // the program's report, one fact per line
};

class Accounts {
 public:
  // The calling thread's command.
  void beginCommand(PF_Cmd command);
  void endCommand();
  bool inCommand() const { return books().command.has_value(); }
  PF_Cmd command() const { return books().command.value_or(-1); }  // -1 outside any command
  // The calling thread's command's name, or "outside any command".
  std::string where() const;

  void suiteAcquired(const std::string& name, A_long version);
  bool suiteReleased(const std::string& name, A_long version);  // false when it was not held

  void paramCheckedOut(const PF_ParamDef* def, PF_ParamIndex index);
  std::optional<PF_ParamIndex> paramCheckedIn(const PF_ParamDef* def);  // empty when not checked out

  void worldCreated(const void* data);
  bool worldDisposed(const void* data);  // false when the host never made it

  void blockAllocated(const void* block);
  bool blockFreed(const void* block);

  void handleAllocated() { ++handlesAllocated_; }
  void handleDisposed() { ++handlesDisposed_; }
  void handleLocked() { ++handleLocks_; }
  void handleUnlocked() { ++handleUnlocks_; }

  void imbalance(const std::string& message);

  AccountsReport report() const;

 private:
  // What one command holds, or what is held outside any command.
  struct Books {
    std::optional<PF_Cmd> command;
    std::map<std::pair<std::string, A_long>, int> suitesHeld;
    std::multimap<const PF_ParamDef*, PF_ParamIndex> paramsOut;
    std::set<const void*> worldsMade;
  };

  Books& books();
  const Books& books() const;
  SuiteTally& tally(const std::string& name, A_long version);
  // What `books` still holds, as imbalances named after `name`.
  void judge(const Books& books, const std::string& name, std::vector<std::string>& out) const;

  std::map<std::thread::id, Books> open_;  // the command in flight on each thread
  Books outside_;
  int commands_ = 0;
  std::map<std::tuple<PF_Cmd, std::string, A_long>, SuiteTally> suiteTallies_;
  std::set<const void*> worldsLive_;
  std::set<const void*> worldsReported_;
  std::set<const void*> blocksLive_;
  std::vector<std::string> imbalances_;
  int paramCheckouts_ = 0, paramCheckins_ = 0;
  int handlesAllocated_ = 0, handlesDisposed_ = 0, handleLocks_ = 0, handleUnlocks_ = 0;
  int worldsCreated_ = 0, worldsDisposed_ = 0, blocksAllocated_ = 0, blocksFreed_ = 0;
};

}  // namespace fxhost
