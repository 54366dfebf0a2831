// Replays the frozen RDKit readings of the MOL/SD test files (tests/data/inputs/sdf_reference.tsv, written by
// scripts/validate_sdf.py; provenance in its header): every record must give the same name, atoms, charges,
// coordinates and bonds.

#include "input_test_util.h"

#include "inputs/mol_input.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

using namespace corvatin;
using namespace corvatin::test;

namespace {

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, sep)) parts.push_back(part);
  if (!text.empty() && text.back() == sep) parts.emplace_back();
  return parts;
}

struct Reference {
  std::string file;
  std::string name;
  std::vector<std::string> symbols;
  std::map<int, int> charges; // atom (1-based) -> non-zero charge
  std::vector<std::array<double, 3>> coords;
  std::vector<std::tuple<int, int, int>> bonds;
};

std::vector<Reference> LoadReference() {
  std::ifstream in(Data("inputs/sdf_reference.tsv"));
  std::vector<Reference> refs;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    const auto f = Split(line, '\t');
    if (f.size() != 9) {
      ADD_FAILURE() << "malformed reference line: " << line;
      continue;
    }
    Reference r;
    r.file = f[0];
    r.name = f[2];
    r.symbols = Split(f[5], ' ');
    if (f[6] != "-")
      for (const auto& item : Split(f[6], ';')) {
        const auto kv = Split(item, ':');
        r.charges[std::stoi(kv[0])] = std::stoi(kv[1]);
      }
    for (const auto& xyz : Split(f[7], ';')) {
      const auto v = Split(xyz, ' ');
      r.coords.push_back({std::stod(v[0]), std::stod(v[1]), std::stod(v[2])});
    }
    if (!f[8].empty())
      for (const auto& b : Split(f[8], ';')) {
        const auto v = Split(b, '-');
        r.bonds.emplace_back(std::stoi(v[0]), std::stoi(v[1]), std::stoi(v[2]));
      }
    EXPECT_EQ(r.symbols.size(), static_cast<size_t>(std::stoi(f[3])));
    EXPECT_EQ(r.bonds.size(), static_cast<size_t>(std::stoi(f[4])));
    refs.push_back(std::move(r));
  }
  return refs;
}

} // namespace

TEST(MolReference, EveryRecordOfTheTestFilesReadsAsRDKitReadsIt) {
  const auto refs = LoadReference();
  ASSERT_GE(refs.size(), 40u);
  std::map<std::string, std::vector<const Reference*>> byFile;
  std::vector<std::string> order;
  for (const auto& r : refs) {
    if (!byFile.count(r.file)) order.push_back(r.file);
    byFile[r.file].push_back(&r);
  }
  for (const auto& file : order) {
    // The records as written, before the reader block completes their hydrogens and aromatic rings.
    const auto tokenizer = NewFileParser(Data("inputs/" + file));
    const auto molecule = NewMolecule();
    const auto& records = byFile[file];
    bool more = true;
    for (size_t k = 0; k < records.size(); ++k) {
      SCOPED_TRACE(file + " record " + std::to_string(k + 1));
      ASSERT_TRUE(more) << "the file ended early";
      more = ReadMolRecord(*tokenizer, *molecule, file);
      const Reference& r = *records[k];
      const IMolecule& m = *molecule;
      EXPECT_EQ(m.GetName(), r.name);
      ASSERT_EQ(m.VertexCount(), static_cast<int>(r.symbols.size()));
      for (int i = 0; i < m.VertexCount(); ++i) {
        const IAtom* a = m.GetAtom(i);
        EXPECT_EQ(a->GetSymbol(), r.symbols[static_cast<size_t>(i)]) << "atom " << i + 1;
        const auto charge = r.charges.find(i + 1);
        EXPECT_EQ(a->GetCharge(), charge == r.charges.end() ? 0 : charge->second) << "atom " << i + 1;
        const auto& xyz = r.coords[static_cast<size_t>(i)];
        EXPECT_NEAR(a->GetX3D(), xyz[0], 1e-6) << "atom " << i + 1;
        EXPECT_NEAR(a->GetY3D(), xyz[1], 1e-6) << "atom " << i + 1;
        EXPECT_NEAR(a->GetZ3D(), xyz[2], 1e-6) << "atom " << i + 1;
      }
      std::vector<std::tuple<int, int, int>> bonds;
      for (int i = 0; i < m.EdgeCount(); ++i) {
        const IBond* b = m.GetBond(i);
        const int i1 = b->GetAtom1()->GetIndex() + 1, i2 = b->GetAtom2()->GetIndex() + 1;
        bonds.emplace_back(std::min(i1, i2), std::max(i1, i2), b->GetBondType());
      }
      std::sort(bonds.begin(), bonds.end());
      EXPECT_EQ(bonds, r.bonds);
    }
    EXPECT_FALSE(more) << file << " has more records than the reference";
  }
}
