#include <gtest/gtest.h>

#include "fuzz_support.h"

namespace kelvaris {
namespace {

TEST(FuzzReaders, HeadedPairText) {
  test::FuzzReader(ReaderFor(DataFormat::HeadedPairText),
                   "Time\tResp 1\tTime\tResp 2\t\n0\t1.5\t0\t10:3\n0.5\t2\t0.5\t20\n1\t2.5\t1\t30\n");
}

TEST(FuzzReaders, FlowCellLabelledText) {
  test::FuzzReader(ReaderFor(DataFormat::FlowCellText),
                   "\n201231a Fc=1 - 7_X\t201231a Fc=1 - 7_Y\t201231a Fc=2 - 9_X\t201231a Fc=2 - 9_Y\n"
                   "0.000\t1.000\t0.000\t2.000:4\n1.000\t3.000\t\n2.000\t4.000\t2.000\t5.000\n\n");
}

TEST(FuzzReaders, Version3Text) {
  test::FuzzReader(ReaderFor(DataFormat::Version3Text),
                   "Version 3\nrun\nnote\nxTime\tResp\tTime\tResp\nConc\t1e-6\tConc\t5e-7\n"
                   "0\t1\t0\t10\n1\t2\t1\t20\n2\t3\t2\t30\n");
}

TEST(FuzzReaders, TwoChannelText) {
  test::FuzzReader(ReaderFor(DataFormat::TwoChannelText),
                   "_Data\tY1\tX2\tY2\tX3\tY3\n0\t1\t0\t2\t0\t3\n1\t4\t1\t5\t1\t6\n2\t7\t2\t8\t2\t9\n");
}

TEST(FuzzReaders, RoiBlockText) {
  // Two blocks, the second wider and longer than the first.
  test::FuzzReader(ReaderFor(DataFormat::RoiBlockText),
                   "Beta 2 export\n\rTime\tROI 1\tROI 2\n\r0.5\t1\t2\n\r1\t3\t4\n\r\n\r"
                   "Time\tROI 1\tROI 2\tROI 3\n\r0.5\t5\t6\t7\n\r1\t\t8\t9\n\r1.5\t10\t11\t12\n\r\n\r");
}

}  // namespace
}  // namespace kelvaris
