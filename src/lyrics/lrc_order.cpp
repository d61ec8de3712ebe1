#include "lyrics/lrc_order.h"

#include <algorithm>

namespace lyrics::lrc {

namespace {

// Counts per slot with prefix sums and "the slot of the k-th counted item".
class CountTree {
 public:
  // `size` slots holding `each` items apiece.
  explicit CountTree(std::size_t size, std::ptrdiff_t each = 0) : tree_(size + 1) {
    for (std::size_t i = 1; i <= size; ++i) tree_[i] = each * static_cast<std::ptrdiff_t>(i & (~i + 1));
    while (top_ * 2 <= size) top_ *= 2;
  }

  void Add(std::size_t slot, std::ptrdiff_t delta) {
    for (std::size_t i = slot + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
  }

  // How many items the slots before `slot` hold.
  std::ptrdiff_t CountBelow(std::size_t slot) const {
    std::ptrdiff_t sum = 0;
    for (std::size_t i = slot; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }

  // The slot holding the k-th item (k from 1) in slot order.
  std::size_t Kth(std::ptrdiff_t k) const {
    std::size_t at = 0;
    for (std::size_t step = top_; step > 0; step /= 2) {
      if (at + step < tree_.size() && tree_[at + step] < k) {
        at += step;
        k -= tree_[at];
      }
    }
    return at;
  }

 private:
  std::vector<std::ptrdiff_t> tree_;
  std::size_t top_ = 1;
};

}  // namespace

std::vector<std::size_t> FinalPositions(const std::vector<std::int32_t>& times) {
  const std::size_t n = times.size();
  if (n == 0) return {};

  // The list is always sorted, so only counts matter. With `below` entries
  // smaller than the record's time and `equal` ones equal to it, the equal
  // ones sit at positions below..below+equal-1 (from 0), strictly inside the
  // search's range: the search bisects positions until it lands on one of
  // them and puts the record right after it; with none it ends between the
  // smaller and the larger entries.
  std::vector<std::int32_t> values(times);
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  CountTree in_list(values.size());  // entries per distinct time
  std::vector<std::size_t> equal(values.size(), 0);

  std::vector<std::size_t> inserted_at(n);  // entries before the record when it went in
  std::int32_t first = 0, last = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const std::int32_t t = times[k];
    const auto rank =
        static_cast<std::size_t>(std::lower_bound(values.begin(), values.end(), t) - values.begin());
    if (k == 0 || t >= last) {
      inserted_at[k] = k;
    } else if (t <= first) {
      inserted_at[k] = 0;
    } else {
      const auto below = static_cast<std::size_t>(in_list.CountBelow(rank));
      // Bisection over positions from 0, as the search does it from 1.
      std::size_t lo = 0, hi = k - 1, at = below;
      while (hi - lo > 1) {
        const std::size_t mid = (lo + hi + 2) / 2 - 1;
        if (mid >= below && mid < below + equal[rank]) {
          at = mid + 1;
          break;
        }
        (mid < below ? lo : hi) = mid;
      }
      inserted_at[k] = at;
    }
    in_list.Add(rank, 1);
    ++equal[rank];
    first = k == 0 ? t : std::min(first, t);
    last = k == 0 ? t : std::max(last, t);
  }

  // Later insertions only push a record along: among the slots the later
  // records leave free, it keeps the place it was given.
  std::vector<std::size_t> position(n);
  CountTree free_slots(n, 1);
  for (std::size_t k = n; k-- > 0;) {
    position[k] = free_slots.Kth(static_cast<std::ptrdiff_t>(inserted_at[k]) + 1);
    free_slots.Add(position[k], -1);
  }
  return position;
}

}  // namespace lyrics::lrc
