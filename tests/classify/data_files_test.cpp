// The nine classification files delivered in data/ load as the catalogue loads them (names given, value kind 1)
// and classify ordinary molecules.
#include "classify_test_util.h"

#include "core/paths.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

using test::AsStructure;
using test::Mol;

struct CatalogueFile {
  const char* file;
  std::vector<std::string> names;
  int kind;
};

const std::vector<CatalogueFile>& Catalogue() {
  static const std::vector<CatalogueFile> files = {
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
  return files;
}

class DataFiles : public testing::TestWithParam<CatalogueFile> {
protected:
  void SetUp() override { SetDataFolder(CORVATIN_DATA_DIR); }
  void TearDown() override { SetDataFolder(""); }
};

TEST_P(DataFiles, LoadsAndClassifies) {
  const CatalogueFile& f = GetParam();
  std::unique_ptr<TSMILESClassification> c;
  try {
    c = std::make_unique<TSMILESClassification>(f.names, f.file, f.kind, vkNumber);
  } catch (const std::exception& e) {
    FAIL() << e.what() << " loading classification file \"" << f.file << "\"";
  }
  EXPECT_GT(c->FragmentCount(), 0);
  EXPECT_EQ(c->PropertyNames(), f.names);
  // A drug-sized molecule with the common functional groups: something in it gets a value.
  auto m = Mol("CC(=O)Nc1ccc(O)cc1.OC(=O)c1ccccc1OC(C)=O.CN1C=NC2=C1C(=O)N(C(=O)N2C)C.ClCCBr.CSC.C#N");
  c->Classify(AsStructure(m));
  int valued = 0;
  if (f.kind == ekAtoms) {
    for (int i = 0; i < m->VertexCount(); ++i) valued += m->GetAtom(i)->HasParam(f.names[0]);
  } else {
    for (int i = 0; i < m->EdgeCount(); ++i) valued += m->GetBond(i)->HasParam(f.names[0]);
  }
  EXPECT_GT(valued, 0) << f.file;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, DataFiles, testing::ValuesIn(Catalogue()),
                         [](const testing::TestParamInfo<CatalogueFile>& info) {
                           std::string name = info.param.file;
                           return name.substr(0, name.find('.'));
                         });

} // namespace
} // namespace corvatin
