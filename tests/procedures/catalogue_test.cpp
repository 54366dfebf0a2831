#include "batch_fixture.h"

#include "classify/std_classification.h"
#include "core/paths.h"
#include "descriptors/spectral_moments.h"
#include "outputs/vector_output.h"
#include "procedures/editor_block.h"

#include <fstream>

namespace corvatin::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(BatchRun, EveryProcedureStartsWithTheSharedInputAndHasTheEditorBeforeItsDescriptor) {
  for (const auto& package : catalogue_->Packages()) {
    EXPECT_EQ(package->GetBlock(0), std::dynamic_pointer_cast<IBlock>(catalogue_->Input())) << package->GetName();
    const int editor = package->GetEditorIndex();
    ASSERT_GE(editor, 1) << package->GetName();
    EXPECT_NE(std::dynamic_pointer_cast<TGraphEditorBlock>(package->GetBlock(editor)), nullptr);
    // The editor, one descriptor block, then only outputs.
    ASSERT_LT(editor + 2, package->GetBlockCount()) << package->GetName();
    for (int i = editor + 2; i < package->GetBlockCount(); ++i)
      EXPECT_NE(std::dynamic_pointer_cast<TVectorOutput>(package->GetBlock(i)), nullptr) << package->GetName();
  }
}

TEST_F(BatchRun, TheTopsModeChainHoldsAllNineClassificationsAndTheBondPropertiesOnce) {
  auto package = catalogue_->FindPackage("TOPS-MODE");
  ASSERT_NE(package, nullptr);
  // Input, geometry, standard classification, nine files, charges, bond properties, editor, TOPS-MODE, output.
  EXPECT_EQ(package->GetBlockCount(), 17);
  auto moments = std::dynamic_pointer_cast<TSpectralMoments>(package->GetBlock(15));
  ASSERT_NE(moments, nullptr);
  EXPECT_EQ(moments->GetPortName(0), "Molecule");
  EXPECT_EQ(moments->GetPortName(1), "Fragments");
  EXPECT_EQ(moments->Weights(), TopsModeWeights());
  EXPECT_NE(std::dynamic_pointer_cast<TBondPropClassification>(package->GetBlock(13)), nullptr);
}

TEST(CatalogueLoads, AMissingFileIsReportedOnceAndLeftOutOfTheProcedures) {
  // A data folder holding every classification file but "Abraham.txt".
  fs::path dir = fs::temp_directory_path() / ("corvatin-catalogue-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const auto& f : ClassificationFiles())
    if (std::string(f.fileName) != "Abraham.txt")
      fs::copy_file(fs::path(CORVATIN_DATA_DIR) / f.fileName, dir / f.fileName, fs::copy_options::overwrite_existing);
  { std::ofstream(dir / "Refractivity.txt") << "Property = Molar refractivity\nC = 1 2\n"; } // a broken file
  SetDataFolder(dir.string());
  std::vector<std::string> errors;
  {
    TCatalogue catalogue({nullptr, {}, std::make_shared<TConsoleDispatcher>(),
                          [&](const std::string& m) { errors.push_back(m); }});
    EXPECT_EQ(catalogue.Classification(8), nullptr);
    EXPECT_EQ(catalogue.Classification(7), nullptr);
    EXPECT_NE(catalogue.Classification(0), nullptr);
    EXPECT_EQ(catalogue.FindPackage("TOPS-MODE")->GetBlockCount(), 15);
    // The physicochemical procedure never held Abraham: it lost only the broken refractivity file.
    EXPECT_EQ(catalogue.FindPackage("Physicochemical descriptors")->GetBlockCount(), 15);
  }
  SetDataFolder(CORVATIN_DATA_DIR);
  fs::remove_all(dir);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("Error at line 2 : ", 0), 0u) << errors[0];
  EXPECT_NE(errors[0].find(" loading classification file \"Refractivity.txt\""), std::string::npos) << errors[0];
  EXPECT_EQ(errors[1], "Unknown error loading classification file \"Abraham.txt\"");
}

} // namespace
} // namespace corvatin::testing
