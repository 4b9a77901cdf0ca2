#include <gtest/gtest.h>

#include <string>

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

// The irregular shapes the reader must take: opening lines without "<TX>",
// keywords before the data, a cycle split into runs, lines of unknown
// cycles, short lines, seven spots, CR LF line ends.
TEST(FuzzReaders, IrregularTaggedText) {
  std::string text =
      "<FILEVERSION>2\r\n<T_>CURVEKEYWORD|\r\n||1|0|Conc|5|\r\n</T_>\r\n<T_>FILETAG<TX>\r\n|||ConcUnit=uM|\r\n</T_>\r\n"
      "<T_>CYCLE<TX>\r\n|||A\r\n|||B\r\n|||a\r\n</T_>\r\n<T_>XYMULTISPOTDATA|\r\n||1|0|1|2|3|4|5|6|7|\r\n"
      "||1|1|2|3|\r\n||2|0|4|5|6|7|8|9|10|\r\n||9|0|1|\r\n||1|2|3|4|5|6|7|8|9|\r\n|note\r\n||3|0|1|2|3|4|5|6|7\r\n"
      "</T_>\r\n<T_>CURVEKEYWORD<TX>\r\n||2|6|Conc|2.5|\r\n||3|9|Conc|1|\r\n||1|5|Conc|x|\r\n</T_>\r\n";
  for (char& ch : text)
    if (ch == '|') ch = '\x1e';
  test::FuzzReader(ReaderFor(DataFormat::TaggedText), text);
}

}  // namespace
}  // namespace kelvaris
