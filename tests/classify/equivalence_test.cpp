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

/// Classifies each molecule twice, shortcuts on and off, and compares everything written; returns what was.
std::string ExpectSameAssignments(TSMILESClassification& c, const std::vector<std::string>& smiles, const char* what) {
  int compared = 0;
  std::string written;
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
    written += Snapshot(*fast);
    EXPECT_EQ(Snapshot(*fast), Snapshot(*slow)) << what << ": " << s;
    ++compared;
  }
  EXPECT_GT(compared, 0) << what;
  return written;
}

TEST(MatcherShortcuts, DeliveredFilesLoadAndClassifyDrugMolecules) {
  // The nine files of data/, each giving some atom or bond of the first molecules its first value.
  const std::pair<const char*, int> files[] = {
      {"Hydrophob.txt", ekAtoms},  {"PolarSurface.txt", ekAtoms},  {"Polarize.txt", ekAtoms},
      {"Sasapar.txt", ekAtoms},    {"Distances.txt", ekBonds},     {"DipoleMoments.txt", ekBonds},
      {"DipoleMoments2.txt", ekBonds}, {"Refractivity.txt", ekAtoms}, {"Abraham.txt", ekAtoms}};
  SetDataFolder(CORVATIN_DATA_DIR);
  const std::vector<std::string> smiles = TestSmiles(12);
  for (const auto& [file, kind] : files) {
    TSMILESClassification c({}, file, kind, vkNumber);
    const std::string written = ExpectSameAssignments(c, smiles, file);
    EXPECT_NE(written.find(" " + c.PropertyNames().at(0) + "="), std::string::npos) << file;
  }
  SetDataFolder("");
}

TEST(MatcherShortcuts, AwkwardFragments) {
  // tests/data/classify/awkward_atoms.txt and awkward_bonds.txt: rings in fragments, wildcards and user symbols
  // (with a "*" alternative), "~" bonds, charges, hybridisation marks, fragments in two pieces, a class name,
  // two-atom symbols, fragments larger than some molecules.
  const std::string atoms = std::string(CORVATIN_TEST_DATA_DIR) + "/classify/awkward_atoms.txt";
  const std::string bonds = std::string(CORVATIN_TEST_DATA_DIR) + "/classify/awkward_bonds.txt";
  const std::vector<std::string> smiles = TestSmiles(60);
  TSMILESClassification a({}, atoms, ekAtoms, vkNumber);
  ExpectSameAssignments(a, smiles, "atom fragments");
  TSMILESClassification b({}, bonds, ekBonds, vkNumber);
  ExpectSameAssignments(b, smiles, "bond fragments");
  // Value kinds that store nothing but the class: the last visit decides.
  TSMILESClassification c({}, bonds, ekBonds, 0);
  ExpectSameAssignments(c, TestSmiles(10), "bond fragments, class only");
  TSMILESClassification d({}, atoms, ekAtoms, vkString);
  ExpectSameAssignments(d, TestSmiles(10), "atom fragments, strings");
}

TEST(MatcherShortcuts, StructureThatIsPartOfAMolecule) {
  // A sub-graph target: only its own atoms and bonds are seen (degrees count its bonds only).
  for (auto [text, kind] : {std::pair{"Property = W\n[CH3]C = 1\nC(C)C = 2\nCC = 3\nC = 4\n* = 5\n", ekAtoms},
                            {"Property = W\nC-C = 1\nC-H = 2\n** = 3\n", ekBonds}}) {
    auto file = LoadText(text, {}, kind);
    std::string snapshots[2];
    for (int mode = 0; mode < 2; ++mode) {
      Ptr<IMolecule> m = test::Mol("CC(C)CO");
      Ptr<IStructure> part = m->CreateStructure();
      for (int i = 0; i < m->EdgeCount(); ++i)
        if (m->GetBond(i)->GetAtom1()->GetSymbol() != "O" && m->GetBond(i)->GetAtom2()->GetSymbol() != "O")
          part->AddEdge(m->GetBond(i));
      file->SetReferenceMode(mode == 1);
      file->Classify(part);
      snapshots[mode] = Snapshot(*m);
    }
    EXPECT_EQ(snapshots[0], snapshots[1]) << text;
  }
}

} // namespace
} // namespace corvatin
