#include "sim/schedule.h"

#include <algorithm>
#include <cctype>

namespace sim {

namespace {

std::string trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) {
    return "";
  }
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::vector<ScheduledCommand>> parseSchedule(const std::string& text,
                                                           std::string& error) {
  std::vector<ScheduledCommand> out;
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find(';', begin);
    if (end == std::string::npos) {
      end = text.size();
    }
    const std::string item = trim(text.substr(begin, end - begin));
    begin = end + 1;
    if (item.empty()) {
      continue;  // a trailing ";" or an empty item
    }
    const auto colon = item.find(':');
    const std::string time = trim(item.substr(0, colon == std::string::npos ? 0 : colon));
    if (colon == std::string::npos || time.empty() || time.size() > 9 ||
        !std::all_of(time.begin(), time.end(), [](unsigned char c) { return std::isdigit(c); })) {
      error = "schedule item \"" + item + "\" is not MS:COMMAND";
      return std::nullopt;
    }
    const std::string command = trim(item.substr(colon + 1));
    if (command.empty()) {
      error = "schedule item \"" + item + "\" has no command";
      return std::nullopt;
    }
    out.push_back({std::stoll(time), command});
  }
  return out;
}

Scheduler::Scheduler(std::vector<ScheduledCommand> commands, platform::Millis start)
    : commands_(std::move(commands)), start_(start) {
  std::stable_sort(commands_.begin(), commands_.end(),
                   [](const auto& a, const auto& b) { return a.at < b.at; });
}

std::vector<std::string> Scheduler::due(platform::Millis now) {
  std::vector<std::string> out;
  auto it = commands_.begin();
  while (it != commands_.end() && start_ + it->at <= now) {
    out.push_back(it->command);
    ++it;
  }
  commands_.erase(commands_.begin(), it);
  return out;
}

}  // namespace sim
