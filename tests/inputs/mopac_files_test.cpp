// The MOPAC output reader on real MOPAC 22.0.6 outputs (tests/data/mopac, made as SOURCES.md there says) and on
// the MOPAC 7 layout written by hand (water_mopac7.out): every atom's final coordinates, charge and electron
// density, every bond's order, the filled levels, the orbital energies at the gap and chosen eigenvector
// coefficients against what the files print, frozen in tests/data/mopac/printed.tsv by scripts/mopac_printed.py,
// a line scanner apart from the reader; the HOMO and LUMO energies against MOPAC's own "HOMO LUMO ENERGIES" line.

#include "input_test_util.h"

#include "inputs/mopac_input.h"

#include <map>

using namespace corvatin;
using namespace corvatin::test;

namespace {

/// What a file prints (the columns of printed.tsv).
struct Printed {
  int atoms = 0, filled = 0, firstRoot = 0, lastRoot = 0;
  double homo = 0.0, lumo = 0.0;
  std::vector<std::vector<double>> atomRows;        // x, y, z, charge, electrons
  std::map<std::pair<int, int>, double> bondOrders; // every printed pair, atom numbers from 1 (i < j)
  std::vector<std::vector<double>> vectors;         // atom, orbital, root (from 1), coefficient
};

Printed PrintedIn(const std::string& file) {
  Printed p;
  for (const auto& row : Table("mopac/printed.tsv")) {
    if (row[0] != file) continue;
    std::vector<double> v;
    for (std::size_t k = 2; k < row.size(); ++k) v.push_back(row[1] == "bond" && k == 2 ? 0.0 : std::stod(row[k]));
    const auto n = [&v](std::size_t k) { return static_cast<int>(v[k]); };
    if (row[1] == "atoms") p.atoms = n(0);
    if (row[1] == "filled") p.filled = n(0);
    if (row[1] == "homo_lumo") std::tie(p.homo, p.lumo) = std::pair(v[0], v[1]);
    if (row[1] == "roots") std::tie(p.firstRoot, p.lastRoot) = std::pair(n(0), n(1));
    if (row[1] == "atom") p.atomRows.emplace_back(v.begin() + 1, v.end());
    if (row[1] == "bond") p.bondOrders[{std::stoi(row[2]), std::stoi(row[2].substr(row[2].find('-') + 1))}] = v[1];
    if (row[1] == "vector") p.vectors.push_back(v);
  }
  return p;
}

struct Case {
  const char* file;
  bool bonds;    // BONDS: the bond orders
  bool allRoots; // the roots printed are all of them (ALLVEC, or VECTORS on a small molecule)
  int aromaticBonds;
  int bondCount;         // the molecule's bonds, from distances
  const char* name = ""; // the line after a keyword line with "T=" and a time
};

const Case kCases[] = {
    {"acetone.out", true, false, 0, 9, "acetone"},     {"water_mopac7.out", true, true, 0, 2, "water, old layout"},
    {"water_allvec_opt.out", true, true, 0, 2},         {"water_allvec_1scf.out", true, true, 0, 2},
    {"water_vectors_opt.out", false, true, 0, 2},       {"water_vectors_1scf.out", false, true, 0, 2},
    {"methanol_allvec_opt.out", true, true, 0, 5},      {"methanol_allvec_1scf.out", true, true, 0, 5},
    {"methanol_vectors_opt.out", false, true, 0, 5},    {"methanol_vectors_1scf.out", false, true, 0, 5},
    {"benzene_allvec_opt.out", true, true, 6, 12},       {"benzene_allvec_1scf.out", true, true, 6, 12},
    {"benzene_vectors_opt.out", false, false, 6, 12},    {"benzene_vectors_1scf.out", false, false, 6, 12},
    {"pyridine_allvec_opt.out", true, true, 6, 11},      {"pyridine_allvec_1scf.out", true, true, 6, 11},
    {"pyridine_vectors_opt.out", false, false, 6, 11},   {"pyridine_vectors_1scf.out", false, false, 6, 11},
    {"sf6_allvec_1scf.out", true, true, 0, 6},          {"if7_bonds_1scf.out", true, false, 0, 7},
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.file; }

class MopacFiles : public ::testing::TestWithParam<Case> {};

TEST_P(MopacFiles, ReadsWhatTheFilePrints) {
  const Case c = GetParam();
  const Printed p = PrintedIn(c.file);
  ASSERT_GT(p.atoms, 0);
  ASSERT_EQ(static_cast<int>(p.atomRows.size()), p.atoms);
  ReaderHarness<TMOPACInput> h;
  h.Start(Data(std::string("mopac/") + c.file));
  EXPECT_FALSE(h.Pass());
  const IMolecule& m = *h.molecule;
  EXPECT_EQ(m.GetName(), c.name);
  ASSERT_EQ(m.VertexCount(), p.atoms);
  for (int i = 0; i < p.atoms; ++i) {
    const IAtom* atom = m.GetAtom(i);
    EXPECT_EQ((std::vector<double>{atom->GetX3D(), atom->GetY3D(), atom->GetZ3D(),
                                   atom->GetFloat(kParamNetAtomicCharge), atom->GetFloat(kParamElectronDensity)}),
              p.atomRows[static_cast<std::size_t>(i)])
        << "atom " << i + 1;
  }
  EXPECT_EQ(m.GetFloat(kParamFilledLevels), p.filled);

  // Bonds from distances; every one of them among the printed pairs, with the printed order.
  int aromatic = 0;
  for (int b = 0; b < m.EdgeCount(); ++b) {
    const IBond* bond = m.GetBond(b);
    aromatic += bond->GetBondType() == bkAromatic ? 1 : 0;
    const int i = bond->GetAtom1()->GetIndex() + 1, j = bond->GetAtom2()->GetIndex() + 1;
    if (!c.bonds) {
      EXPECT_FALSE(bond->HasParam(kParamBondOrder));
      continue;
    }
    const auto printed = p.bondOrders.find({std::min(i, j), std::max(i, j)});
    ASSERT_NE(printed, p.bondOrders.end()) << "bond " << i << "-" << j;
    EXPECT_DOUBLE_EQ(bond->GetFloat(kParamBondOrder), printed->second) << "bond " << i << "-" << j;
  }
  EXPECT_EQ(aromatic, c.aromaticBonds);
  EXPECT_EQ(m.EdgeCount(), c.bondCount);
  EXPECT_EQ(m.GetFloat(kTagHydrogens), 1);

  const auto energies = m.GetMatrix(kParamEigenvalues);
  if (p.firstRoot == 0) {
    EXPECT_FALSE(energies);
    EXPECT_EQ(h.log->lines.size(), 1u); // the heading only
    return;
  }
  // PM7 basis: s on H; s, p on C, N, O, F, I; s, p, d on S
  const auto orbitalsOf = [&m](int i) {
    return m.GetAtom(i)->GetSymbol() == "H" ? 1 : m.GetAtom(i)->GetSymbol() == "S" ? 9 : 4;
  };
  int orbitals = 0;
  for (int i = 0; i < m.VertexCount(); ++i) orbitals += orbitalsOf(i);
  if (!c.allRoots) {
    EXPECT_FALSE(energies);
    EXPECT_TRUE(h.log->Contains("Eigenvectors not used: the file lists roots " + std::to_string(p.firstRoot) + " to " +
                                    std::to_string(p.lastRoot) + " of " + std::to_string(orbitals) +
                                    " (run MOPAC with the keyword ALLVEC to print them all)",
                                lkWarning));
    for (int i = 0; i < m.VertexCount(); ++i) EXPECT_FALSE(m.GetAtom(i)->HasParam(kParamEigenvectors));
    return;
  }
  ASSERT_TRUE(energies);
  EXPECT_EQ(p.firstRoot, 1);
  ASSERT_EQ(energies->GetColumnCount(), p.lastRoot);
  // The filled-level boundary: the HOMO is root F, the LUMO root F + 1, as MOPAC prints them.
  EXPECT_NEAR(energies->Get(0, p.filled - 1), p.homo, 0.0005);
  EXPECT_NEAR(energies->Get(0, p.filled), p.lumo, 0.0005);
  EXPECT_EQ(orbitals, p.lastRoot);
  for (int i = 0; i < m.VertexCount(); ++i) {
    const auto vectors = m.GetAtom(i)->GetMatrix(kParamEigenvectors);
    ASSERT_TRUE(vectors) << "atom " << i + 1;
    EXPECT_EQ(vectors->GetColumnCount(), p.lastRoot);
    EXPECT_EQ(vectors->GetRowCount(), orbitalsOf(i));
  }
  for (const auto& v : p.vectors) { // atom, orbital, root from 1
    const auto vectors = m.GetAtom(static_cast<int>(v[0]) - 1)->GetMatrix(kParamEigenvectors);
    EXPECT_DOUBLE_EQ(vectors->Get(static_cast<int>(v[1]) - 1, static_cast<int>(v[2]) - 1), v[3]) << v[0] << " " << v[1];
  }
  for (const auto& line : h.log->lines) EXPECT_NE(line.kind, lkWarning) << line.text;
}

INSTANTIATE_TEST_SUITE_P(MopacOutputs, MopacFiles, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.file).substr(0, std::string(info.param.file).find('.'));
                         });

} // namespace
