#include <gtest/gtest.h>

#include "fuzz_support.h"

namespace kelvaris {
namespace {

constexpr char kKeyRows[] =
    "Conc1\t1.00e-6\t0\t2.5e-7\n"
    "Analyte1\tdrug\tdrug\tdrug\n"
    "Cycle\t1\t2\t3\n"
    "Channel\t1\t2\t2\n"
    "Ligand\tFirst\tSecond\tThird\n"
    "RInd\t1\t1\t1\n"
    "Flowrate\t30\t30\t30\n";

TEST(FuzzReaders, KeyedTextOneColumn) {
  test::FuzzReader(ReaderFor(DataFormat::KeyedText),
                   std::string("Vers 3.41 Data\n") + kKeyRows +
                       "Time1\tData1\tTime2\tData2\tTime3\tData3\n"
                       "0\t1.5\t0\t2.5\t0\t3.5\n0.5\t2\t0.5\t3\t0.5\t4\n1\t2.5\t1\t3.5\n");
}

TEST(FuzzReaders, KeyedTextSeveralColumns) {
  for (int mask : {3, 7}) {
    test::FuzzOptions options;
    options.reader.columnMask = mask;
    options.seed = static_cast<unsigned>(mask);
    const std::string third = mask == 7 ? "\t0" : "";
    test::FuzzReader(ReaderFor(DataFormat::KeyedText),
                     "Vers 3.4" + std::to_string(mask) + " Data Simulation\n" + kKeyRows +
                         "Time1\tData1\tSimulation1\tTime2\tData2\tSimulation2\t"
                         "Time3\tData3\tSimulation3\n"
                         "0\t1.5\t1" + third + "\t0\t2.5\t2" + third + "\t0\t3.5\t3" + third + "\n"
                         "0.5\t2\t2" + third + "\t0.5\t3\t3" + third + "\t\t\n"
                         "1\t2.5\t2" + third + "\n",
                     options);
  }
}

}  // namespace
}  // namespace kelvaris
