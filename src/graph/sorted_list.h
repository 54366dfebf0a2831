#pragma once
// A list kept in order by a three-way comparison, with binary-search insertion; optionally refuses items equal
// to one already listed. The substructure finder remembers reported occurrence keys in one.

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace corvatin {

template <class T> class TSortedList {
public:
  /// Negative, zero or positive as a sorts before, with or after b.
  using Compare = std::function<int(const T& a, const T& b)>;

  explicit TSortedList(Compare compare, bool allowDuplicates = false)
      : compare_(std::move(compare)), allowDuplicates_(allowDuplicates) {}

  /// Inserts item at its place (after equal items) and returns its index; -1, with the list unchanged, when
  /// duplicates are not allowed and an equal item is listed. The item is copied only when it is inserted.
  template <class U> int Add(U&& item) {
    const size_t at = UpperBound(item);
    if (!allowDuplicates_ && at > 0 && compare_(items_[at - 1], item) == 0) return -1;
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), std::forward<U>(item));
    return static_cast<int>(at);
  }

  /// Index of an item equal to item, or -1.
  int IndexOf(const T& item) const {
    const size_t at = UpperBound(item);
    return at > 0 && compare_(items_[at - 1], item) == 0 ? static_cast<int>(at - 1) : -1;
  }

  int Count() const { return static_cast<int>(items_.size()); }
  const T& Get(int i) const {
    if (i < 0 || i >= Count()) throw std::out_of_range("sorted list index " + std::to_string(i) + " out of range");
    return items_[static_cast<size_t>(i)];
  }
  void Clear() { items_.clear(); }
  bool GetAllowDuplicates() const { return allowDuplicates_; }
  void SetAllowDuplicates(bool flag) { allowDuplicates_ = flag; }

private:
  /// The first position whose item sorts after item.
  size_t UpperBound(const T& item) const {
    size_t lo = 0;
    size_t hi = items_.size();
    while (lo < hi) {
      const size_t mid = lo + (hi - lo) / 2;
      if (compare_(items_[mid], item) <= 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }

  Compare compare_;
  bool allowDuplicates_;
  std::vector<T> items_;
};

} // namespace corvatin
