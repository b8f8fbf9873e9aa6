#pragma once
// The item list of list boxes, radio groups, tab sets and memos. It tells its owning control
// about every change, one item at a time, so a backend can keep a long memo or list in step
// without rebuilding it.

#include <functional>
#include <string>
#include <vector>

namespace ui {

struct StringsChange {
  enum Kind { Reset, Inserted, Removed, Changed };
  Kind kind = Reset;
  int index = -1;  // the item concerned; -1 for Reset
};

class TStrings {
 public:
  using Observer = std::function<void(const StringsChange&)>;

  TStrings() = default;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;

  int count() const { return static_cast<int>(items_.size()); }
  bool empty() const { return items_.empty(); }
  // Out-of-range reads give "", as the classic library's string lists never give garbage.
  const std::string& operator[](int index) const;
  const std::vector<std::string>& strings() const { return items_; }

  // In a sorted list the item goes where plain byte-wise comparison puts it (" 5" before "12",
  // equal texts after the ones already there); returns its index.
  int add(const std::string& text);
  // Throws std::out_of_range outside 0..count(), std::logic_error on a sorted list.
  void insert(int index, const std::string& text);
  // Throws std::out_of_range outside 0..count()-1.
  void erase(int index);
  // Throws std::out_of_range outside 0..count()-1, std::logic_error on a sorted list.
  void set(int index, const std::string& text);
  void clear();
  void assign(const std::vector<std::string>& items);

  int indexOf(const std::string& text) const;  // -1 when absent

  // Lines joined with "\n" (no trailing line break); setText splits on "\n", "\r\n" or "\r".
  std::string text() const;
  void setText(const std::string& text);

  bool sorted() const { return sorted_; }
  // Turning sorting on sorts the items already there.
  void setSorted(bool sorted);

  // The owning control's hook; one observer only.
  void setObserver(Observer observer) { observer_ = std::move(observer); }

 private:
  void notify(StringsChange::Kind kind, int index);

  std::vector<std::string> items_;
  bool sorted_ = false;
  Observer observer_;
};

}  // namespace ui
