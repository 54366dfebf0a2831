// The four readers inside the file-list input block, in the order the structure input lists its six readers:
// the combined filter, and one run over files of every extension they take.

#include "input_test_util.h"

#include "inputs/graph_file_input.h"
#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"
#include "inputs/mopac_input.h"
#include "inputs/smiles_input.h"
#include "inputs/xyz_input.h"
#include "inputs/zmatrix_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

std::vector<Ptr<IObject>> SixReaders() {
  return {std::make_shared<TSMILESInput>(), std::make_shared<TMOLInput>(),   std::make_shared<TTriposMOLInput>(),
          std::make_shared<TZMatrixInput>(), std::make_shared<TMOPACInput>(), std::make_shared<TXYZSphereInput>()};
}

std::string Data(const std::string& path) { return std::string(CORVATIN_TEST_DATA_DIR) + "/" + path; }

} // namespace

TEST(ReadersInTheFileListInput, OneRunOverEveryExtension) {
  TempFolder folder;
  const std::string points = folder.Write("points.XYZ", "2\n0 0 0\n3 4 0\n1\n1 1 1\n");
  ReaderHarness<TGraphFileInput> h(SixReaders());
  h.Start(Data("formats/five.mol2") + ";" + Data("mopac/water_allvec_opt.out") + "; " + Data("zmatrix/acetone.zmt") +
          ";" + points);
  std::vector<int> atoms;
  std::vector<std::string> names;
  bool more = true;
  while (more && names.size() < 20) {
    more = h.Pass();
    names.push_back(h.molecule->GetName());
    atoms.push_back(h.molecule->VertexCount());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"CS_ethanol", "CS_pyridine-2-thiol", "BZR_Diazepam", "NCI_3",
                                             "CHEMBL2321810_1520011", "", "acetone", "", ""}));
  EXPECT_EQ(atoms, (std::vector<int>{9, 12, 33, 17, 47, 3, 10, 0, 0}));
  EXPECT_DOUBLE_EQ(SharedDataSpace()->GetMatrix(kParamCoordMatrix)->Get(0, 0), 1.0);
}
