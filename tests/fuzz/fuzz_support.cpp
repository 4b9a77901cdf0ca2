#include "fuzz_support.h"

#include <gtest/gtest.h>

#include <random>

namespace kelvaris::test {

namespace {

// Characters that steer the text readers: separators, line ends, signs,
// markers and the letters that start keys and tags.
constexpr char kInteresting[] = "\t\n\r :=<>_-+.,eE0123456789TtCFVLcfS\x1a\xff";

std::string Mutate(const std::string& text, std::mt19937& rng) {
  std::string s = text;
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int k = 0; k < edits && !s.empty(); ++k) {
    const std::size_t at = rng() % s.size();
    switch (rng() % 6) {
      case 0: s[at] = static_cast<char>(rng() % 256); break;
      case 1: s[at] = kInteresting[rng() % (sizeof kInteresting - 1)]; break;
      case 2: s.erase(at, 1 + rng() % 8); break;
      case 3: s.insert(at, 1, kInteresting[rng() % (sizeof kInteresting - 1)]); break;
      case 4: s.insert(at, s.substr(at, 1 + rng() % 40)); break;  // repeat a piece
      case 5: s.resize(at); break;
    }
  }
  return s;
}

}  // namespace

void ExpectConsistent(const RawRun& run, const std::string& what) {
  const TCurveSet& set = run.curves;
  if (!set.Exists()) return;
  ASSERT_EQ(static_cast<int>(run.info.size()), set.CurveCount) << what;
  ASSERT_EQ(static_cast<int>(set.PointCount.size()), set.CurveCount) << what;
  ASSERT_GE(set.Time.size(), set.Offset(set.CurveCount)) << what;
  for (int c = 0; c < set.CurveCount; ++c) {
    ASSERT_GE(set.PointCount[c], 0) << what;
    ASSERT_LE(set.PointCount[c], set.Capacity) << what;
    ASSERT_GE(set.SourceCurve[c], 0) << what;
    ASSERT_LT(set.SourceCurve[c], set.CurveCount) << what;
  }
}

void FuzzReader(DataReader reader, const std::string& fixture, const FuzzOptions& options) {
  auto feed = [&](const std::string& text, const std::string& what) {
    RawRun run;
    ReadMessage message;
    if (reader(text, options.reader, run, message, nullptr)) ExpectConsistent(run, what);
  };
  // Every prefix of a small file; evenly spread prefixes of a larger one.
  const std::size_t step = fixture.size() <= 2000 ? 1 : fixture.size() / 2000;
  for (std::size_t n = 0; n <= fixture.size(); n += step) feed(fixture.substr(0, n), "prefix " + std::to_string(n));
  std::mt19937 rng(options.seed);
  for (int i = 0; i < options.mutations; ++i) feed(Mutate(fixture, rng), "mutation " + std::to_string(i));
}

}  // namespace kelvaris::test
