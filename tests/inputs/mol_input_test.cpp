// The MOL/SD reader on records written by hand (tests/data/inputs/hand-records.sdf), each named after the rule of
// the CTfile format description (MDL/BIOVIA, "CTfile Formats") it pins: charge codes and the properties block,
// records without version stamp or end line, isotopes, hydrogen count and valence fields, bond codes, and V3000
// keywords and continuation lines. What the reader block makes of each is in hand-records.tsv; the fixture files
// are compared with RDKit in mol_reference_test.cpp.

#include "input_test_util.h"

#include "inputs/mol_input.h"

using namespace corvatin;
using namespace corvatin::test;

TEST(MolInput, EachHandWrittenRecordGivesItsAtomsChargesHydrogensWeightsAndBonds) {
  const auto rows = Table("inputs/hand-records.tsv");
  ASSERT_GE(rows.size(), 16u);
  ReaderHarness<TMOLInput> h;
  h.Start(Data("inputs/hand-records.sdf"));
  bool more = true;
  for (const auto& row : rows) {
    ASSERT_TRUE(more) << row[0];
    more = h.Pass();
    EXPECT_EQ(h.molecule->GetName(), row[0]);
    ASSERT_EQ(row.size(), 3u) << row[0];
    EXPECT_EQ(Describe(*h.molecule), row[1] + "\t" + row[2]) << row[0];
  }
  EXPECT_FALSE(more); // white space after the last record is no further record
}
