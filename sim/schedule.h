#pragma once
// Commands given ahead of time: "MS:COMMAND;MS:COMMAND", each run MS milliseconds after the
// simulator has started serving.

#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace sim {

struct ScheduledCommand {
  platform::Millis at = 0;
  std::string command;
};

// In the order given, which need not be the order in time; nullopt (with `error` set) for a
// malformed schedule.
std::optional<std::vector<ScheduledCommand>> parseSchedule(const std::string& text,
                                                           std::string& error);

// Runs each command once its time has come.
class Scheduler {
 public:
  Scheduler() = default;
  Scheduler(std::vector<ScheduledCommand> commands, platform::Millis start);
  // The commands due at `now`, earliest first (ties in the order given); each only once.
  std::vector<std::string> due(platform::Millis now);
  bool empty() const { return commands_.empty(); }

 private:
  std::vector<ScheduledCommand> commands_;  // sorted by time, stable
  platform::Millis start_ = 0;
};

}  // namespace sim
