#include <gtest/gtest.h>

#include "fuzz_support.h"
#include "synthetic_tagged_text.h"

namespace kelvaris {
namespace {

TEST(FuzzReaders, TaggedText) {
  synth::RunShape shape;
  shape.curves = 3;
  shape.points = 6;
  test::FuzzReader(ReaderFor(DataFormat::TaggedText), synth::TaggedText(shape, 6));
}

}  // namespace
}  // namespace kelvaris
