// The MOL/SD reader on records written by hand (tests/data/inputs/hand-records.sdf), each named after the rule of
// the CTfile format description (MDL/BIOVIA, "CTfile Formats") it pins: charge codes and the properties block,
// records without version stamp or end line, isotopes, hydrogen count and valence fields, bond codes, and V3000
// keywords and continuation lines. What the reader block makes of each is in hand-records.tsv; the fixture files
// are compared with RDKit in mol_reference_test.cpp.

#include "input_test_util.h"

#include "chem/elements.h"
#include "inputs/mol_input.h"

#include <cmath>

using namespace corvatin;
using namespace corvatin::test;

namespace {

// The atoms in order ("N+1H3": symbol, charge, hydrogens; "@13" a weight other than the element's), the
// hydrogens at the end as "+nH", then the bonds between the others ("1=2": "-", "=", "#", ":" single to aromatic).
std::string Describe(const IMolecule& m) {
  std::string text;
  int last = m.VertexCount();
  while (last > 0 && m.GetAtom(last - 1)->GetSymbol() == "H") --last;
  for (int i = 0; i < last; ++i) {
    const IAtom* a = m.GetAtom(i);
    char weight[32] = "";
    if (std::abs(a->GetAtomicWeight() - AtomicWeight(a->GetAtomicNumber())) > 1e-6)
      std::snprintf(weight, sizeof weight, "@%g", a->GetAtomicWeight());
    text += (i ? " " : "") + a->GetSymbol() + (a->GetCharge() > 0 ? "+" : "") +
            (a->GetCharge() ? std::to_string(a->GetCharge()) : "") + "H" + std::to_string(a->HydrogenCount()) + weight;
  }
  text += " +" + std::to_string(m.VertexCount() - last) + "H\t";
  const char* space = "";
  for (int k = 0; k < m.EdgeCount(); ++k) {
    const IBond* b = m.GetBond(k);
    const int i = b->GetAtom1()->GetIndex(), j = b->GetAtom2()->GetIndex();
    if (i >= last || j >= last) continue;
    text += space + std::to_string(i + 1) + "-=#:"[b->GetBondType()] + std::to_string(j + 1);
    space = " ";
  }
  return text;
}

} // namespace

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
