#include "line_diff.h"

#include <algorithm>
#include <functional>

namespace folios {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      lines.push_back(text.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

namespace {

// The divide-and-conquer form of the O(ND) difference algorithm: the middle
// snake of a box splits it into two boxes with about half the edits each,
// so memory stays linear in the lengths whatever the number of edits.
class Differ {
 public:
  Differ(const std::vector<size_t>& a, const std::vector<size_t>& b, LineChanges* changes)
      : a_(a), b_(b), changes_(changes) {
    size_t room = 2 * (a.size() + b.size()) + 3;
    forward_.resize(room);
    backward_.resize(room);
  }

  void Compare(long a_lo, long a_hi, long b_lo, long b_hi) {
    while (a_lo < a_hi && b_lo < b_hi && a_[a_lo] == b_[b_lo]) ++a_lo, ++b_lo;
    while (a_lo < a_hi && b_lo < b_hi && a_[a_hi - 1] == b_[b_hi - 1]) --a_hi, --b_hi;
    if (a_lo == a_hi) {
      for (long j = b_lo; j < b_hi; ++j) changes_->inserted[j] = true;
      return;
    }
    if (b_lo == b_hi) {
      for (long i = a_lo; i < a_hi; ++i) changes_->removed[i] = true;
      return;
    }
    long x_start, y_start, x_end, y_end;
    MiddleSnake(a_lo, a_hi, b_lo, b_hi, &x_start, &y_start, &x_end, &y_end);
    if ((x_start == a_lo && y_start == b_lo && x_end == a_hi && y_end == b_hi) ||
        (x_start == a_hi && y_start == b_hi) || (x_end == a_lo && y_end == b_lo)) {
      // A split that leaves the whole box on one side cannot happen for
      // trimmed boxes; should it, the box is marked whole rather than
      // divided forever.
      for (long i = a_lo; i < a_hi; ++i) changes_->removed[i] = true;
      for (long j = b_lo; j < b_hi; ++j) changes_->inserted[j] = true;
      return;
    }
    Compare(a_lo, x_start, b_lo, y_start);
    Compare(x_end, a_hi, y_end, b_hi);
  }

 private:
  // Finds the snake in the middle of a shortest path through the box; its
  // ends are given in the coordinates of the whole texts.
  void MiddleSnake(long a_lo, long a_hi, long b_lo, long b_hi, long* xs, long* ys, long* xe, long* ye) {
    const long n = a_hi - a_lo;
    const long m = b_hi - b_lo;
    const long delta = n - m;
    const bool odd = (delta & 1) != 0;
    const long max_d = (n + m + 1) / 2;
    const long offset = max_d + 1;  // diagonal k sits at index k + offset
    // forward_[k]: furthest x reached on diagonal k from the top left;
    // backward_[k]: furthest distance reached from the bottom right on the
    // reversed diagonal k (which is diagonal delta - k seen forwards).
    forward_[1 + offset] = 0;
    backward_[1 + offset] = 0;
    for (long d = 0; d <= max_d; ++d) {
      for (long k = -d; k <= d; k += 2) {
        long x = (k == -d || (k != d && forward_[k - 1 + offset] < forward_[k + 1 + offset]))
                     ? forward_[k + 1 + offset]
                     : forward_[k - 1 + offset] + 1;
        long y = x - k;
        const long x0 = x, y0 = y;
        while (x < n && y < m && a_[a_lo + x] == b_[b_lo + y]) ++x, ++y;
        forward_[k + offset] = x;
        const long back_k = delta - k;
        if (odd && back_k >= -(d - 1) && back_k <= d - 1 && x + backward_[back_k + offset] >= n) {
          *xs = a_lo + x0, *ys = b_lo + y0, *xe = a_lo + x, *ye = b_lo + y;
          return;
        }
      }
      for (long k = -d; k <= d; k += 2) {
        long x = (k == -d || (k != d && backward_[k - 1 + offset] < backward_[k + 1 + offset]))
                     ? backward_[k + 1 + offset]
                     : backward_[k - 1 + offset] + 1;
        long y = x - k;
        const long x0 = x, y0 = y;
        while (x < n && y < m && a_[a_hi - 1 - x] == b_[b_hi - 1 - y]) ++x, ++y;
        backward_[k + offset] = x;
        const long fore_k = delta - k;
        if (!odd && fore_k >= -d && fore_k <= d && x + forward_[fore_k + offset] >= n) {
          *xs = a_hi - x, *ys = b_hi - y, *xe = a_hi - x0, *ye = b_hi - y0;
          return;
        }
      }
    }
    // Not reached: a path of at most n + m edits always exists.
    *xs = a_lo, *ys = b_lo, *xe = a_hi, *ye = b_hi;
  }

  const std::vector<size_t>& a_;
  const std::vector<size_t>& b_;
  LineChanges* changes_;
  std::vector<long> forward_;
  std::vector<long> backward_;
};

}  // namespace

LineChanges DiffLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
  // Lines become numbers, equal lines the same number, so the search
  // compares numbers.
  std::vector<std::string_view> distinct;
  std::vector<size_t> a_ids(a.size()), b_ids(b.size());
  {
    std::vector<std::pair<std::string_view, size_t>> all;  // line, position in a then b
    all.reserve(a.size() + b.size());
    for (size_t i = 0; i < a.size(); ++i) all.emplace_back(a[i], i);
    for (size_t j = 0; j < b.size(); ++j) all.emplace_back(b[j], a.size() + j);
    std::sort(all.begin(), all.end());
    size_t id = 0;
    for (size_t i = 0; i < all.size(); ++i) {
      if (i > 0 && all[i].first != all[i - 1].first) ++id;
      size_t at = all[i].second;
      (at < a.size() ? a_ids[at] : b_ids[at - a.size()]) = id;
    }
  }
  LineChanges changes;
  changes.removed.assign(a.size(), false);
  changes.inserted.assign(b.size(), false);
  Differ differ(a_ids, b_ids, &changes);
  differ.Compare(0, static_cast<long>(a.size()), 0, static_cast<long>(b.size()));
  return changes;
}

namespace {

// One line of the script, in order.
struct Step {
  char mark;  // ' ', '-' or '+'
  size_t a;   // index into a (the next one, for an insertion)
  size_t b;   // index into b (the next one, for a removal)
};

// "l,s" of a hunk header: a range of no lines gives the line before it.
std::string Range(size_t first, size_t count) {
  if (count == 1) return std::to_string(first + 1);
  return std::to_string(count == 0 ? first : first + 1) + "," + std::to_string(count);
}

void AppendLine(std::string* out, char mark, std::string_view line) {
  *out += mark;
  out->append(line);
  if (line.empty() || line.back() != '\n') *out += "\n\\ No newline at end of file\n";
}

}  // namespace

std::string UnifiedDiff(std::string_view a, std::string_view b, const std::string& a_name,
                        const std::string& b_name, int context) {
  if (a == b) return std::string();
  std::vector<std::string_view> a_lines = SplitLines(a);
  std::vector<std::string_view> b_lines = SplitLines(b);
  LineChanges changes = DiffLines(a_lines, b_lines);

  std::vector<Step> steps;
  size_t i = 0, j = 0;
  while (i < a_lines.size() || j < b_lines.size()) {
    if (i < a_lines.size() && changes.removed[i]) {
      steps.push_back({'-', i++, j});
    } else if (j < b_lines.size() && changes.inserted[j]) {
      steps.push_back({'+', i, j++});
    } else {
      steps.push_back({' ', i++, j++});
    }
  }

  std::string out = "--- " + a_name + "\n+++ " + b_name + "\n";
  const size_t ctx = static_cast<size_t>(std::max(context, 0));
  size_t s = 0;
  while (s < steps.size()) {
    while (s < steps.size() && steps[s].mark == ' ') ++s;
    if (s == steps.size()) break;
    // A hunk: the change at s with its context, joined with the next change
    // while no more than twice the context lies between them.
    size_t begin = s >= ctx ? s - ctx : 0;
    size_t end = s;
    for (;;) {
      while (end < steps.size() && steps[end].mark != ' ') ++end;
      size_t next = end;
      while (next < steps.size() && steps[next].mark == ' ') ++next;
      if (next < steps.size() && next - end <= 2 * ctx) {
        end = next;
        continue;
      }
      end = std::min(end + ctx, steps.size());
      break;
    }
    size_t a_count = 0, b_count = 0;
    for (size_t t = begin; t < end; ++t) {
      if (steps[t].mark != '+') ++a_count;
      if (steps[t].mark != '-') ++b_count;
    }
    out += "@@ -" + Range(steps[begin].a, a_count) + " +" + Range(steps[begin].b, b_count) + " @@\n";
    for (size_t t = begin; t < end; ++t) {
      const Step& step = steps[t];
      AppendLine(&out, step.mark, step.mark == '+' ? b_lines[step.b] : a_lines[step.a]);
    }
    s = end;
  }
  return out;
}

}  // namespace folios
