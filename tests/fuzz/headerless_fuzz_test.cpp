#include <gtest/gtest.h>

#include "fuzz_support.h"

namespace kelvaris {
namespace {

TEST(FuzzReaders, HeaderlessPairText) {
  test::FuzzReader(ReaderFor(DataFormat::HeaderlessPairText),
                   "0\t1.5\t0\t10:3\n0.5\t2\t0.5\t20\n1\t2.5\t1\t30\n1.5\t3\t1.5\t40\n");
}

}  // namespace
}  // namespace kelvaris
