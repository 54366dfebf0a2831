// The shortcuts of the matcher (candidate lists by first-atom symbol, element counts, the direct search instead
// of the substructure finder) change no assignment: every file classifies every test molecule exactly as the
// language's own procedure does, every fragment tried on every atom through the finder.
#include "classify_test_util.h"

#include "core/paths.h"

#include <gtest/gtest.h>

#include <fstream>

namespace corvatin {
namespace {

using test::AsStructure;
using test::LoadText;

/// Every parameter of every atom and bond, in order, as text.
std::string Snapshot(const IMolecule& m) {
  std::string text;
  auto dump = [&](const IParamList& list, const std::string& head) {
    text += head;
    for (int k = 0; k < list.Count(); ++k) text += " " + list.GetNameAt(k) + "=" + list.GetParamAt(k)->GetText();
    text += "\n";
  };
  for (int i = 0; i < m.VertexCount(); ++i)
    dump(dynamic_cast<const IParamList&>(*m.GetAtom(i)), "atom " + std::to_string(i));
  for (int i = 0; i < m.EdgeCount(); ++i)
    dump(dynamic_cast<const IParamList&>(*m.GetBond(i)), "bond " + std::to_string(i));
  return text;
}

/// Molecules from tests/data/classify/drugs-150.smi (every 13th line of the shared drug fixture, see README).
std::vector<std::string> TestSmiles(size_t count) {
  std::ifstream in(std::string(CORVATIN_TEST_DATA_DIR) + "/classify/drugs-150.smi");
  std::vector<std::string> list;
  for (std::string line; std::getline(in, line) && list.size() < count;)
    if (!line.empty()) list.push_back(line.substr(0, line.find_first_of(" \t")));
  return list;
}

/// Classifies each molecule twice, shortcuts on and off, and compares everything written.
void ExpectSameAssignments(TSMILESClassification& c, const std::vector<std::string>& smiles, const char* what) {
  int compared = 0;
  for (const std::string& s : smiles) {
    Ptr<IMolecule> fast = NewMolecule();
    Ptr<IMolecule> slow = NewMolecule();
    try {
      ParseSMILES(s, *fast);
      ParseSMILES(s, *slow);
    } catch (const std::exception&) {
      continue;
    }
    c.SetReferenceMode(false);
    c.Classify(AsStructure(fast));
    c.SetReferenceMode(true);
    c.Classify(AsStructure(slow));
    c.SetReferenceMode(false);
    EXPECT_EQ(Snapshot(*fast), Snapshot(*slow)) << what << ": " << s;
    ++compared;
  }
  EXPECT_GT(compared, 0) << what;
}

struct CatalogueFile {
  const char* file;
  std::vector<std::string> names;
  int kind;
};

TEST(MatcherShortcuts, DeliveredFilesOnDrugMolecules) {
  const std::vector<CatalogueFile> files = {
      {"Hydrophob.txt", {"Hydrophobicity"}, ekAtoms},
      {"PolarSurface.txt", {"Polar surface"}, ekAtoms},
      {"Polarize.txt", {"Polarizability"}, ekAtoms},
      {"Sasapar.txt", {"Van der Waals radius"}, ekAtoms},
      {"Distances.txt", {"Std distance"}, ekBonds},
      {"DipoleMoments.txt", {"Dipole moment"}, ekBonds},
      {"DipoleMoments2.txt", {"Dipole moment (2)"}, ekBonds},
      {"Refractivity.txt", {"Molar refractivity"}, ekAtoms},
      {"Abraham.txt",
       {"Abraham - Fragment Number", "Abraham - R2", "Abraham - pi2H", "Abraham - sum B2H", "Abraham - sum B20",
        "Abraham - log L16"},
       ekAtoms},
  };
  SetDataFolder(CORVATIN_DATA_DIR);
  const std::vector<std::string> smiles = TestSmiles(12);
  for (const CatalogueFile& f : files) {
    TSMILESClassification c(f.names, f.file, f.kind, vkNumber);
    ExpectSameAssignments(c, smiles, f.file);
  }
  SetDataFolder("");
}

TEST(MatcherShortcuts, AwkwardFragments) {
  // Rings in fragments, wildcards and user symbols (with a "*" alternative), "~" bonds, charges, hybridisation
  // marks, fragments in two pieces, a class name, two-atom symbols, fragments larger than some molecules.
  const std::string atoms = "Property = W\nClass = K\n"
                            "Q = N, O, *\nX = F, Cl, Br, I\nCb = C=O\n"
                            "C1CCCCC1 = 1\nC1:C:C:C:C:C:1 = 2\nC1CC1 = 3\nNCb = 4\nOCb = 5\n[C&sp3]X = 6\n"
                            "C(Q)(Q)Q = 7\nC.N = 8\nC~* = 9\n[N+](~O)~O = 10\n[O-]* = 11\n[C&sp2](=O)N = 12\n"
                            "*1**1 = 13\nC(*)(*)(*)(*) = 14\nH* = 15\nHC(:*):* = 16\nS(=O)(=O)N = 17\n*~*~*~*~*~*~* = 18\n"
                            "[CH3]* = 19\nN(*)(*)* = 20\nN = 21\nO = 22\n* = 0\n";
  const std::string bonds = "Property = D\nClass = K\n"
                            "X = F, Cl, Br, I\nCb = C=O\n"
                            "C1CCCCC1 = 1\nC:C = 2\nC~C = 3\nNCb = 4\nO=C-O = 5\nCX = 6\nC.O-H = 7\n*1**1 = 8\n"
                            "[C&sp3]-[C&sp3] = 9\n[N+](=O)[O-] = 10\nS(=O)(=O) = 11\nC(N)(N)=N = 12\nC-H = 13\n"
                            "*~* = 14\n** = 15\n";
  const std::vector<std::string> smiles = TestSmiles(60);
  auto a = LoadText(atoms);
  ExpectSameAssignments(*a, smiles, "atom fragments");
  auto b = LoadText(bonds, {}, ekBonds);
  ExpectSameAssignments(*b, smiles, "bond fragments");
  // Value kinds that store nothing but the class: the last visit decides.
  auto c = LoadText(bonds, {}, ekBonds, 0);
  ExpectSameAssignments(*c, TestSmiles(10), "bond fragments, class only");
  auto d = LoadText(atoms, {}, ekAtoms, vkString);
  ExpectSameAssignments(*d, TestSmiles(10), "atom fragments, strings");
}

TEST(MatcherShortcuts, StructureThatIsPartOfAMolecule) {
  // A sub-graph target: only its own atoms and bonds are seen (degrees count its bonds only).
  auto c = LoadText("Property = W\n[CH3]C = 1\nC(C)C = 2\nCC = 3\nC = 4\n* = 5\n");
  auto d = LoadText("Property = W\nC-C = 1\nC-H = 2\n** = 3\n", {}, ekBonds);
  for (TSMILESClassification* file : {c.get(), d.get()}) {
    std::string snapshots[2];
    for (int mode = 0; mode < 2; ++mode) {
      Ptr<IMolecule> m = test::Mol("CC(C)CO");
      Ptr<IStructure> part = m->CreateStructure();
      for (int i = 0; i < m->EdgeCount(); ++i) {
        const IBond* b = m->GetBond(i);
        if (b->GetAtom1()->GetSymbol() != "O" && b->GetAtom2()->GetSymbol() != "O") part->AddEdge(m->GetBond(i));
      }
      file->SetReferenceMode(mode == 1);
      file->Classify(part);
      snapshots[mode] = Snapshot(*m);
    }
    file->SetReferenceMode(false);
    EXPECT_EQ(snapshots[0], snapshots[1]);
  }
}

} // namespace
} // namespace corvatin
