#include "app/diff.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t context = 3;  // unchanged lines shown around a change
// Changed stretches bigger than this (lines before times lines after) are shown as all
// removed and all added rather than worked out line by line.
constexpr std::size_t largestTable = std::size_t{1} << 22;

// The lines of a text, each with its line end.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return lines;
}

struct Step {
  char mark;  // ' ' unchanged, '-' removed, '+' added
  std::string_view line;
};

// The way from a to b that keeps the most lines unchanged; in each change the removed
// lines come before the added ones.
std::vector<Step> stepsFrom(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
  std::size_t head = 0, tail = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
  std::size_t n = a.size() - head - tail, m = b.size() - head - tail;
  // kept[i * (m + 1) + j]: how many lines stay unchanged from line i of a's middle and
  // line j of b's on.
  std::vector<std::uint32_t> kept;
  if (n * m <= largestTable) {
    kept.assign((n + 1) * (m + 1), 0);
    for (std::size_t i = n; i-- > 0;)
      for (std::size_t j = m; j-- > 0;)
        kept[i * (m + 1) + j] = a[head + i] == b[head + j]
                                    ? kept[(i + 1) * (m + 1) + j + 1] + 1
                                    : std::max(kept[(i + 1) * (m + 1) + j], kept[i * (m + 1) + j + 1]);
  }
  auto keptFrom = [&](std::size_t i, std::size_t j) { return kept.empty() ? 0 : kept[i * (m + 1) + j]; };
  std::vector<Step> steps;
  for (std::size_t i = 0; i < head; ++i) steps.push_back({' ', a[i]});
  for (std::size_t i = 0, j = 0; i < n || j < m;) {
    if (i < n && j < m && !kept.empty() && a[head + i] == b[head + j]) {
      steps.push_back({' ', a[head + i]});
      ++i, ++j;
    } else if (i < n && (j == m || keptFrom(i + 1, j) >= keptFrom(i, j + 1))) {
      steps.push_back({'-', a[head + i++]});
    } else {
      steps.push_back({'+', b[head + j++]});
    }
  }
  for (std::size_t i = a.size() - tail; i < a.size(); ++i) steps.push_back({' ', a[i]});
  return steps;
}

// "-3,2": the first line and the count; a single line without its count, none as the line
// before it.
std::string range(char side, std::size_t first, std::size_t count) {
  std::string text = side + std::to_string(count == 0 ? first - 1 : first);
  return count == 1 ? text : text + ',' + std::to_string(count);
}

}  // namespace

std::string unifiedDiff(std::string_view name, std::string_view before, std::string_view after) {
  if (before == after) return {};
  std::vector<Step> steps = stepsFrom(linesOf(before), linesOf(after));
  std::string diff = "--- " + std::string(name) + "\n+++ " + std::string(name) + "\n";
  std::size_t oldLine = 1, newLine = 1;  // the numbers of the lines at steps[at]
  for (std::size_t at = 0; at < steps.size();) {
    std::size_t change = at;
    while (change < steps.size() && steps[change].mark == ' ') ++change;
    if (change == steps.size()) break;
    // The hunk: from three lines before the change to three after the last change that
    // follows within six unchanged lines.
    std::size_t first = std::max(at, change >= context ? change - context : 0), end = change + 1;
    for (std::size_t i = change; i < steps.size() && i <= end + 2 * context; ++i)
      if (steps[i].mark != ' ') end = i + 1;
    end = std::min(steps.size(), end + context);
    for (std::size_t i = at; i < first; ++i) ++oldLine, ++newLine;
    std::size_t oldCount = 0, newCount = 0;
    for (std::size_t i = first; i < end; ++i) {
      oldCount += steps[i].mark != '+';
      newCount += steps[i].mark != '-';
    }
    diff += "@@ " + range('-', oldLine, oldCount) + ' ' + range('+', newLine, newCount) + " @@\n";
    for (std::size_t i = first; i < end; ++i) {
      diff.append(1, steps[i].mark).append(steps[i].line);
      if (!steps[i].line.ends_with('\n')) diff += "\n\\ No newline at end of file\n";
    }
    oldLine += oldCount;
    newLine += newCount;
    at = end;
  }
  return diff;
}
