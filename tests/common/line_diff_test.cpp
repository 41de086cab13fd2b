// The line diff: shortest edit scripts against a brute-force longest common
// subsequence, and unified hunks worked out by hand.
#include "line_diff.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace folios {
namespace {

// Length of a longest common subsequence, by the textbook table.
size_t CommonLength(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
  std::vector<std::vector<size_t>> t(a.size() + 1, std::vector<size_t>(b.size() + 1, 0));
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      t[i][j] = a[i - 1] == b[j - 1] ? t[i - 1][j - 1] + 1 : std::max(t[i - 1][j], t[i][j - 1]);
    }
  }
  return t[a.size()][b.size()];
}

TEST(LineDiff, SplitKeepsLineEndsAndTheUnendedLastLine) {
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(SplitLines("a\nb"), (std::vector<std::string_view>{"a\n", "b"}));
  EXPECT_EQ(SplitLines("a\r\n\nb\rc\n"), (std::vector<std::string_view>{"a\r\n", "\n", "b\rc\n"}));
}

TEST(LineDiff, EditScriptsAreShortestAndKeepWhatBothShare) {
  std::mt19937 random(7);
  const std::string_view alphabet[] = {"x\n", "y\n", "z\n", "w\n"};
  for (int round = 0; round < 400; ++round) {
    std::vector<std::string_view> a(random() % 14), b(random() % 14);
    const size_t letters = 1 + random() % 4;
    for (auto& line : a) line = alphabet[random() % letters];
    for (auto& line : b) line = alphabet[random() % letters];
    LineChanges changes = DiffLines(a, b);
    std::vector<std::string_view> kept_a, kept_b;
    size_t edits = 0;
    for (size_t i = 0; i < a.size(); ++i) changes.removed[i] ? ++edits : (kept_a.push_back(a[i]), 0);
    for (size_t j = 0; j < b.size(); ++j) changes.inserted[j] ? ++edits : (kept_b.push_back(b[j]), 0);
    ASSERT_EQ(kept_a, kept_b) << "round " << round;
    ASSERT_EQ(edits, a.size() + b.size() - 2 * CommonLength(a, b)) << "round " << round;
  }
}

TEST(LineDiff, LongTextsWithManyChangesStayExact) {
  // Every line changed in a long text: the divide-and-conquer search must
  // neither run out of room nor lose lines.
  std::string a, b;
  for (int i = 0; i < 3000; ++i) {
    a += "line " + std::to_string(i) + "\n";
    b += (i % 2 ? "    line " : "line ") + std::to_string(i) + "\n";
  }
  std::vector<std::string_view> la = SplitLines(a), lb = SplitLines(b);
  LineChanges changes = DiffLines(la, lb);
  size_t removed = 0, inserted = 0;
  for (bool r : changes.removed) removed += r;
  for (bool i : changes.inserted) inserted += i;
  EXPECT_EQ(removed, 1500u);
  EXPECT_EQ(inserted, 1500u);
}

TEST(UnifiedDiff, SameTextsGiveNothing) { EXPECT_EQ(UnifiedDiff("a\nb\n", "a\nb\n", "a/x", "b/x"), ""); }

TEST(UnifiedDiff, NearbyChangesShareAHunkAndDistantOnesDoNot) {
  const std::string a = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16\n";
  // Lines 2 and 9 changed: six unchanged lines between them fit in one hunk.
  std::string b = "1\nTWO\n3\n4\n5\n6\n7\n8\nNINE\n10\n11\n12\n13\n14\n15\n16\n";
  EXPECT_EQ(UnifiedDiff(a, b, "a/f.c", "b/f.c"),
            "--- a/f.c\n+++ b/f.c\n"
            "@@ -1,12 +1,12 @@\n 1\n-2\n+TWO\n 3\n 4\n 5\n 6\n 7\n 8\n-9\n+NINE\n 10\n 11\n 12\n");
  // Lines 2 and 10 changed: seven lines between them make two hunks.
  b = "1\nTWO\n3\n4\n5\n6\n7\n8\n9\nTEN\n11\n12\n13\n14\n15\n16\n";
  EXPECT_EQ(UnifiedDiff(a, b, "a/f.c", "b/f.c"),
            "--- a/f.c\n+++ b/f.c\n"
            "@@ -1,5 +1,5 @@\n 1\n-2\n+TWO\n 3\n 4\n 5\n"
            "@@ -7,7 +7,7 @@\n 7\n 8\n 9\n-10\n+TEN\n 11\n 12\n 13\n");
}

TEST(UnifiedDiff, EmptySidesAndMissingLastLineEnd) {
  EXPECT_EQ(UnifiedDiff("", "x\ny\n", "a/n", "b/n"), "--- a/n\n+++ b/n\n@@ -0,0 +1,2 @@\n+x\n+y\n");
  EXPECT_EQ(UnifiedDiff("x\n", "", "a/n", "b/n"), "--- a/n\n+++ b/n\n@@ -1 +0,0 @@\n-x\n");
  EXPECT_EQ(UnifiedDiff("a\nb", "a\nb\n", "a/n", "b/n"),
            "--- a/n\n+++ b/n\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n");
  // A line end changed from CR LF to LF is a change of that line.
  EXPECT_EQ(UnifiedDiff("a\r\nb\n", "a\nb\n", "a/n", "b/n"), "--- a/n\n+++ b/n\n@@ -1,2 +1,2 @@\n-a\r\n+a\n b\n");
}

}  // namespace
}  // namespace folios
