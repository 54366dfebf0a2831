// The catalogue's chains: every procedure reads the shared input, pauses at the editor before its descriptor, and
// offers every value its blocks read; a classification file that does not load leaves a gap that stops a run.

#include "batch_fixture.h"

#include "classify/std_classification.h"
#include "outputs/vector_output.h"
#include "procedures/editor_block.h"

namespace corvatin::testing {
namespace {

namespace fs = std::filesystem;

std::vector<Ptr<IBlock>> Chain(const TPackage& package) {
  std::vector<Ptr<IBlock>> chain;
  for (int i = 0; i < package.GetBlockCount(); ++i)
    chain.push_back(package.GetBlock(i));
  return chain;
}

TEST_F(BatchRun, EveryProcedureReadsTheSharedInputPausesBeforeItsDescriptorAndOffersWhatItsBlocksRead) {
  ASSERT_EQ(catalogue_->Packages().size(), 8u);
  for (const auto& package : catalogue_->Packages()) {
    SCOPED_TRACE(package->GetName());
    EXPECT_EQ(package->GetBlock(0), std::dynamic_pointer_cast<IBlock>(catalogue_->Input()));
    const int editor = package->GetEditorIndex();
    ASSERT_GE(editor, 1);
    EXPECT_NE(std::dynamic_pointer_cast<TGraphEditorBlock>(package->GetBlock(editor)), nullptr);
    // The editor, one descriptor block, then only outputs.
    ASSERT_LT(editor + 2, package->GetBlockCount());
    for (int i = editor + 2; i < package->GetBlockCount(); ++i)
      EXPECT_NE(std::dynamic_pointer_cast<TVectorOutput>(package->GetBlock(i)), nullptr);
    // Even with every weight on, no block reads a value that nobody writes.
    if (package->GetName().rfind("TOPS-MODE", 0) == 0) SelectWeights(*package, "all");
    EXPECT_NO_THROW(CheckChain(Chain(*package)));
  }
}

TEST_F(BatchRun, AClassificationFileThatDoesNotLoadIsReportedOnceAndAWeightOfItStopsTheRunBeforeItsFirstStructure) {
  // A data folder holding every classification file but "Abraham.txt", and a broken "Refractivity.txt".
  const fs::path data = dir_ / "data";
  fs::create_directories(data);
  for (const auto& f : ClassificationFiles())
    if (std::string(f.fileName) != "Abraham.txt")
      fs::copy_file(fs::path(CORVATIN_DATA_DIR) / f.fileName, data / f.fileName);
  std::ofstream(data / "Refractivity.txt", std::ios::trunc) << "Property = Molar refractivity\nC = 1 2\n";
  SetDataFolder(data.string());
  loadErrors_.clear();
  catalogue_ = std::make_unique<TCatalogue>(
      TCatalogueSetup{nullptr, {}, dispatcher_, [this](const std::string& m) { loadErrors_.push_back(m); }});
  SetDataFolder(CORVATIN_DATA_DIR);
  ASSERT_EQ(loadErrors_.size(), 2u);
  EXPECT_EQ(loadErrors_[0].rfind("Error at line 2 : ", 0), 0u) << loadErrors_[0];
  EXPECT_NE(loadErrors_[0].find(" loading classification file \"Refractivity.txt\""), std::string::npos);
  // The form without a classification error, then the reason naming the path tried.
  EXPECT_EQ(loadErrors_[1].rfind("Unknown error loading classification file \"Abraham.txt\" (", 0), 0u);
  EXPECT_NE(loadErrors_[1].find((data / "Abraham.txt").string()), std::string::npos) << loadErrors_[1];

  // Without a weight of the lost files a run goes on; with one, it stops before its first structure.
  const std::string file = Write("one.sml", "CCC\n");
  EXPECT_EQ(Run("TOPS-MODE", {file}, "Hydrophobicity"), beSuccess) << log_.str();
  EXPECT_EQ(Run("Physicochemical descriptors", {file}), beSuccess) << log_.str();
  fs::remove_all(dir_ / "results");
  log_.str("");
  EXPECT_EQ(Run("TOPS-MODE", {file}, "Hydrophobicity,Abraham - R2"), beRunFailed);
  EXPECT_NE(log_.str().find("reads the bond value \"Abraham - R2\""), std::string::npos) << log_.str();
  EXPECT_NE(log_.str().find("0 structures written"), std::string::npos) << log_.str();
  EXPECT_FALSE(fs::exists(dir_ / "results" / "TOPS-MODE.txt"));
}

} // namespace
} // namespace corvatin::testing
