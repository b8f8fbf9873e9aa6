#include <algorithm>
#include <stdexcept>

#include "ui/strings.h"

namespace ui {

namespace {
const std::string kEmpty;
}

const std::string& TStrings::operator[](int index) const {
  if (index < 0 || index >= count()) {
    return kEmpty;
  }
  return items_[static_cast<std::size_t>(index)];
}

int TStrings::add(const std::string& text) {
  int index = count();
  if (sorted_) {
    index = static_cast<int>(std::upper_bound(items_.begin(), items_.end(), text) - items_.begin());
  }
  items_.insert(items_.begin() + index, text);
  notify(StringsChange::Inserted, index);
  return index;
}

void TStrings::insert(int index, const std::string& text) {
  if (sorted_) {
    throw std::logic_error("insert at a position is not allowed on a sorted list");
  }
  if (index < 0 || index > count()) {
    throw std::out_of_range("list index " + std::to_string(index) + " out of bounds");
  }
  items_.insert(items_.begin() + index, text);
  notify(StringsChange::Inserted, index);
}

void TStrings::erase(int index) {
  if (index < 0 || index >= count()) {
    throw std::out_of_range("list index " + std::to_string(index) + " out of bounds");
  }
  items_.erase(items_.begin() + index);
  notify(StringsChange::Removed, index);
}

void TStrings::set(int index, const std::string& text) {
  if (sorted_) {
    throw std::logic_error("replacing an item is not allowed on a sorted list");
  }
  if (index < 0 || index >= count()) {
    throw std::out_of_range("list index " + std::to_string(index) + " out of bounds");
  }
  items_[static_cast<std::size_t>(index)] = text;
  notify(StringsChange::Changed, index);
}

void TStrings::clear() {
  items_.clear();
  notify(StringsChange::Reset, -1);
}

void TStrings::assign(const std::vector<std::string>& items) {
  items_ = items;
  if (sorted_) {
    std::stable_sort(items_.begin(), items_.end());
  }
  notify(StringsChange::Reset, -1);
}

int TStrings::indexOf(const std::string& text) const {
  auto it = std::find(items_.begin(), items_.end(), text);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

std::string TStrings::text() const {
  std::string out;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (i > 0) {
      out += '\n';
    }
    out += items_[i];
  }
  return out;
}

void TStrings::setText(const std::string& text) {
  std::vector<std::string> lines;
  if (!text.empty()) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (c == '\r' || c == '\n') {
        lines.push_back(line);
        line.clear();
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
          ++i;
        }
      } else {
        line += c;
      }
    }
    if (!line.empty()) {
      lines.push_back(line);
    }
  }
  assign(lines);
}

void TStrings::setSorted(bool sorted) {
  if (sorted == sorted_) {
    return;
  }
  sorted_ = sorted;
  if (sorted_ && !std::is_sorted(items_.begin(), items_.end())) {
    std::stable_sort(items_.begin(), items_.end());
    notify(StringsChange::Reset, -1);
  }
}

void TStrings::notify(StringsChange::Kind kind, int index) {
  if (observer_) {
    observer_(StringsChange{kind, index});
  }
}

}  // namespace ui
