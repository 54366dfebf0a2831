// The MOL/SD reader. The fixture files against RDKit's frozen readings (tests/data/inputs/sdf_reference.tsv, by
// scripts/validate_sdf.py): every record gives the same name, atoms, charges, coordinates and bonds, written in
// the reference's own columns. Records written by hand (tests/data/inputs/hand-records.sdf), each named after the
// rule of the CTfile format description (MDL/BIOVIA, "CTfile Formats") it pins (charge codes, the properties
// block, stamps, end lines, isotopes, hydrogen and valence fields, bond codes, V3000 keywords and continuation
// lines), against what the reader block should make of each (hand-records.tsv).

#include "input_test_util.h"

#include "inputs/mol_input.h"

#include <algorithm>

using namespace corvatin;
using namespace corvatin::test;

namespace {

std::string Joined(const std::vector<std::string>& items, const char* separator) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : separator) + item;
  return text;
}

// The reference's columns 5 to 8 for a molecule: symbols, charges, coordinates, bonds.
std::vector<std::string> Columns(const IMolecule& m) {
  std::vector<std::string> symbols, charges, coords, bonds;
  for (int i = 0; i < m.VertexCount(); ++i) {
    const IAtom* a = m.GetAtom(i);
    symbols.push_back(a->GetSymbol());
    if (a->GetCharge()) charges.push_back(std::to_string(i + 1) + ":" + std::to_string(a->GetCharge()));
    char xyz[96];
    std::snprintf(xyz, sizeof xyz, "%.6f %.6f %.6f", a->GetX3D(), a->GetY3D(), a->GetZ3D());
    coords.push_back(xyz);
  }
  std::vector<std::tuple<int, int, int>> pairs;
  for (int k = 0; k < m.EdgeCount(); ++k) {
    const IBond* b = m.GetBond(k);
    const int i = b->GetAtom1()->GetIndex() + 1, j = b->GetAtom2()->GetIndex() + 1;
    pairs.emplace_back(std::min(i, j), std::max(i, j), b->GetBondType());
  }
  std::sort(pairs.begin(), pairs.end());
  for (const auto& [i, j, kind] : pairs)
    bonds.push_back(std::to_string(i) + "-" + std::to_string(j) + "-" + std::to_string(kind));
  return {Joined(symbols, " "), charges.empty() ? "-" : Joined(charges, ";"), Joined(coords, ";"), Joined(bonds, ";")};
}

} // namespace

TEST(MolReference, EveryRecordOfTheTestFilesReadsAsRDKitReadsIt) {
  auto rows = Table("inputs/sdf_reference.tsv");
  rows.erase(rows.begin()); // the column names
  ASSERT_GE(rows.size(), 40u);
  Ptr<IParser> tokenizer;
  bool more = false;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const auto& row = rows[k];
    ASSERT_EQ(row.size(), 9u);
    SCOPED_TRACE(row[0] + " record " + row[1]);
    if (row[1] == "1") {
      EXPECT_FALSE(more) << "the file before has more records than the reference";
      tokenizer = NewFileParser(Data("inputs/" + row[0]));
    } else {
      ASSERT_TRUE(more) << "the file ended early";
    }
    // The records as written, before the reader block completes their hydrogens and aromatic rings.
    const auto molecule = NewMolecule();
    more = ReadMolRecord(*tokenizer, *molecule, row[0]);
    EXPECT_EQ(molecule->GetName(), row[2]);
    const auto columns = Columns(*molecule);
    for (std::size_t c = 0; c < columns.size(); ++c) EXPECT_EQ(columns[c], row[5 + c]) << "column " << 5 + c;
  }
  EXPECT_FALSE(more);
}

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
