// Feeding a reader broken copies of a good file: every prefix length that
// matters, and copies with bytes flipped, dropped, repeated or replaced by
// the characters the formats give meaning to. The reader may accept or
// refuse each copy; it must never touch memory outside its arrays (the
// sanitizer build watches that) and must deliver a consistent curve set.
#pragma once

#include <string>

#include "import/data_readers.h"

namespace kelvaris::test {

struct FuzzOptions {
  int mutations = 1500;  // mutated copies besides the truncations
  unsigned seed = 1;
  ReaderOptions reader;
};

// Runs the reader over the truncated and mutated copies of `fixture` and
// checks each accepted result with ExpectConsistent.
void FuzzReader(DataReader reader, const std::string& fixture, const FuzzOptions& options = {});

// Every curve's point count lies within the capacity, the descriptions match
// the curves, and every source curve is a curve of the set.
void ExpectConsistent(const RawRun& run, const std::string& what);

}  // namespace kelvaris::test
