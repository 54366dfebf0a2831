// The MOPAC output reader on real MOPAC 22.0.6 outputs (tests/data/mopac, made as SOURCES.md there says): every
// atom's final coordinates, charge and electron density, every bond's order, the filled levels and the orbital
// energies are compared with the numbers printed in the file itself, read here line by line with a plain token
// scanner independent of the reader; the HOMO and LUMO energies with MOPAC's own "HOMO LUMO ENERGIES (EV)" line.

#include "input_test_util.h"

#include "inputs/mopac_input.h"

#include <map>
#include <sstream>

using namespace corvatin;
using namespace corvatin::test;

namespace {

std::string MopacFile(const std::string& name) { return Data("mopac/" + name); }

/// What the file prints, scanned independently of the reader.
struct Printed {
  int atoms = 0;                       // "Empirical Formula: ... =    n atoms"
  int filled = 0;                      // "NO. OF FILLED LEVELS    =   n"
  double homo = 0.0, lumo = 0.0;       // "HOMO LUMO ENERGIES (EV) =   h  l"
  std::vector<std::array<double, 3>> xyz;       // the last CARTESIAN COORDINATES block
  std::vector<std::pair<double, double>> charges; // the last charges table: charge, electrons
  std::map<std::pair<int, int>, double> bondOrders; // the per-atom list, atom numbers from 1 (i < j)
  int firstRoot = 0, lastRoot = 0;     // the "Root No." numbers
};

Printed Scan(const std::string& name) {
  Printed p;
  std::vector<std::string> lines;
  std::istringstream text(DataText("mopac/" + name));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    std::istringstream in(line);
    std::string word;
    if (line.find("Empirical Formula:") != std::string::npos) {
      std::istringstream(line.substr(line.find('=') + 1)) >> p.atoms;
    } else if (line.find("NO. OF FILLED LEVELS") != std::string::npos) {
      std::istringstream(line.substr(line.find('=') + 1)) >> p.filled;
    } else if (line.find("HOMO LUMO ENERGIES (EV)") != std::string::npos) {
      std::istringstream(line.substr(line.find('=') + 1)) >> p.homo >> p.lumo;
    } else if (line.find("CARTESIAN COORDINATES") != std::string::npos) {
      p.xyz.clear();
      for (std::size_t k = i + 1; k < lines.size(); ++k) {
        std::istringstream row(lines[k]);
        int n = 0;
        std::string symbol;
        std::array<double, 3> c{};
        if (row >> n >> symbol >> c[0] >> c[1] >> c[2]) p.xyz.push_back(c);
        else if (!p.xyz.empty()) break;
      }
    } else if (line.find("NET ATOMIC CHARGES") != std::string::npos) {
      p.charges.clear();
      for (std::size_t k = i + 3; k < lines.size(); ++k) {
        std::istringstream row(lines[k]);
        int n = 0;
        std::string symbol;
        double q = 0.0, e = 0.0;
        if (!(row >> n >> symbol >> q >> e)) break;
        p.charges.emplace_back(q, e);
      }
    } else if (line.find("(VALENCIES)   BOND ORDERS") != std::string::npos) {
      int current = 0;
      for (std::size_t k = i + 1; k < lines.size(); ++k) {
        std::string text = lines[k];
        if (text.find_first_not_of(' ') == std::string::npos) continue;
        if (text.find('*') != std::string::npos) break;
        if (const auto open = text.find('('); open != std::string::npos) {
          std::istringstream(text) >> current;
          text = text.substr(text.find(')') + 1);
        }
        std::istringstream row(text);
        int partner = 0;
        std::string symbol;
        double order = 0.0;
        while (row >> partner >> symbol >> order)
          p.bondOrders[{std::min(current, partner), std::max(current, partner)}] = order;
      }
    } else if ((in >> word) && word == "Root") {
      std::string no;
      int root = 0;
      in >> no;
      while (in >> root) {
        if (p.firstRoot == 0) p.firstRoot = root;
        p.lastRoot = root;
      }
    }
  }
  return p;
}

struct Case {
  const char* file;
  bool bonds;   // BONDS: the per-atom bond order list
  bool allRoots; // the roots printed are all of them (ALLVEC, or VECTORS on a small molecule)
  int aromaticBonds;
  int bondCount; // the molecule's bonds, from distances
};

const Case kCases[] = {
    {"acetone.out", true, false, 0, 9},
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

class MopacFiles : public ::testing::TestWithParam<Case> {};

TEST_P(MopacFiles, ReadsWhatTheFilePrints) {
  const Case c = GetParam();
  const Printed p = Scan(c.file);
  ASSERT_GT(p.atoms, 0);
  ASSERT_EQ(static_cast<int>(p.xyz.size()), p.atoms);
  ASSERT_EQ(static_cast<int>(p.charges.size()), p.atoms);
  ReaderHarness<TMOPACInput> h;
  h.Start(MopacFile(c.file));
  EXPECT_FALSE(h.Pass());
  const IMolecule& m = *h.molecule;
  ASSERT_EQ(m.VertexCount(), p.atoms);
  for (int i = 0; i < p.atoms; ++i) {
    const IAtom* atom = m.GetAtom(i);
    const auto& xyz = p.xyz[static_cast<std::size_t>(i)];
    const auto& [charge, electrons] = p.charges[static_cast<std::size_t>(i)];
    EXPECT_EQ((std::vector<double>{atom->GetX3D(), atom->GetY3D(), atom->GetZ3D(), atom->GetFloat(kParamNetAtomicCharge),
                                   atom->GetFloat(kParamElectronDensity)}),
              (std::vector<double>{xyz[0], xyz[1], xyz[2], charge, electrons}))
        << "atom " << i + 1;
  }
  EXPECT_EQ(m.GetFloat(kParamFilledLevels), p.filled);

  // Bonds from distances; every one of them among the printed pairs, with the printed order.
  ASSERT_GT(m.EdgeCount(), 0);
  int aromatic = 0;
  for (int b = 0; b < m.EdgeCount(); ++b) {
    const IBond* bond = m.GetBond(b);
    aromatic += bond->GetBondType() == bkAromatic ? 1 : 0;
    const int i = bond->GetAtom1()->GetIndex() + 1;
    const int j = bond->GetAtom2()->GetIndex() + 1;
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
  const bool anyRoots = p.firstRoot > 0;
  if (!anyRoots) {
    EXPECT_FALSE(energies);
    EXPECT_EQ(h.log->lines.size(), 1u); // the heading only
    return;
  }
  // PM7 basis: s on H; s, p on C, N, O, F, I; s, p, d on S
  const auto orbitalsOf = [&m](int i) { return m.GetAtom(i)->GetSymbol() == "H" ? 1 : m.GetAtom(i)->GetSymbol() == "S" ? 9 : 4; };
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
  for (const auto& line : h.log->lines) EXPECT_NE(line.kind, lkWarning) << line.text;
}

INSTANTIATE_TEST_SUITE_P(Mopac22, MopacFiles, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.file).substr(0, std::string(info.param.file).find('.'));
                         });

TEST(MopacFiles, CoefficientsStandByOrbitalAndRootSulfurDOrbitalsAfterItsPOrbitalsTheTitleNamesTheMolecule) {
  // The lines of the files: "  Pz  O    1    0.0000   -0.0000   -0.0000    1.0000    0.0000    0.0000",
  // "  S   H    3    0.3322   -0.4028    0.2556   -0.0000    0.5697   -0.5809",
  // "  x2  S    1    0.0000   -0.0000    0.0000   -0.0000    0.0444    0.0106 ..." (z2 has 0.0444 at root 6).
  const std::tuple<const char*, int, int, int, double> cases[] = {
      {"water_allvec_opt.out", 0, 3, 3, 1.0},     {"water_allvec_opt.out", 2, 0, 4, 0.5697},
      {"water_allvec_opt.out", 2, 0, 1, -0.4028}, {"sf6_allvec_1scf.out", 0, 4, 4, 0.0444},
      {"sf6_allvec_1scf.out", 0, 6, 5, 0.0444}};
  for (const auto& [file, atom, orbital, root, value] : cases) {
    ReaderHarness<TMOPACInput> h;
    h.Start(MopacFile(file));
    h.Pass();
    const auto vectors = h.molecule->GetAtom(atom)->GetMatrix(kParamEigenvectors);
    ASSERT_TRUE(vectors) << file;
    EXPECT_DOUBLE_EQ(vectors->Get(orbital, root), value) << file << " atom " << atom + 1;
  }
  ReaderHarness<TMOPACInput> h;
  h.Start(MopacFile("acetone.out"));
  h.Pass();
  EXPECT_EQ(h.molecule->GetName(), "acetone"); // the line after the keyword line with "T=60"
}

} // namespace
