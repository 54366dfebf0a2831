// What the vector output reads from the topological indexes: result names in the block's listing order, short
// captions (the flexibility index's "ø" is UTF-8 inside the program), matrix labels, label formats and the masks
// of the subgraph cells that cannot exist.

#include "descriptors/topological_indexes.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

Ptr<IMolecule> Indexes(const std::string& smiles) {
  Ptr<IMolecule> m = test::FromSmiles(smiles);
  TTopologicalIndexes block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  return m;
}

TEST(TopologicalLayout, BlockNameLevelAndValueNamesInListingOrder) {
  TTopologicalIndexes block;
  EXPECT_EQ(block.GetName(), "Topological indexes");
  EXPECT_EQ(block.GetUpdateLevel(), 2);
  EXPECT_EQ(block.Count(), 0); // no parameters
  EXPECT_EQ(block.GetPortCount(), 1);
  EXPECT_EQ(block.GetValueCount(ekAtoms), 0);
  EXPECT_EQ(block.GetValueCount(ekBonds), 0);
  ASSERT_EQ(block.GetValueCount(ekMolecule), 11);
  const char* names[] = {"Randic branching index", "Valence connectivity index", "Epsilon index", "kappa index",
                         "kappa(alpha) index", "Flexibility index", "Wiener index", "Zagreb M1 index",
                         "Zagreb M2 index", "Harary number", "Balaban index"};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(block.GetValueName(ekMolecule, i), names[i]);
  EXPECT_THROW(block.GetValueName(ekMolecule, 11), std::out_of_range);
  EXPECT_THROW(block.GetValueName(ekAtoms, 0), std::out_of_range);
}

TEST(TopologicalLayout, ResultsAreAddedInTheirTableOrderWithTheirCaptions) {
  Ptr<IMolecule> m = Indexes("CCO");
  auto list = std::dynamic_pointer_cast<IParamList>(m);
  std::vector<std::string> results;
  for (int i = 0; i < list->Count(); ++i)
    if (list->GetNameAt(i) != "Name" && list->GetNameAt(i).rfind("Tag", 0) != 0) results.push_back(list->GetNameAt(i));
  const std::vector<std::string> expected{"Wiener index",      "Zagreb M1 index",  "Zagreb M2 index",
                                          "Harary number",     "Balaban index",    "Randic branching index",
                                          "Valence connectivity index", "Epsilon index", "kappa index",
                                          "kappa(alpha) index", "Flexibility index"};
  EXPECT_EQ(results, expected);
  EXPECT_EQ(m->GetShortCaptionOf("Wiener index"), "W");
  EXPECT_EQ(m->GetShortCaptionOf("Zagreb M1 index"), "M1");
  EXPECT_EQ(m->GetShortCaptionOf("Zagreb M2 index"), "M2");
  EXPECT_EQ(m->GetShortCaptionOf("Harary number"), "H");
  EXPECT_EQ(m->GetShortCaptionOf("Balaban index"), "J");
  EXPECT_EQ(m->GetShortCaptionOf("Flexibility index"), "\xC3\xB8"); // U+00F8, written as 0xF8 in result files
  EXPECT_EQ(m->GetShortCaptionOf("Randic branching index"), "X");
  EXPECT_EQ(m->GetShortCaptionOf("Valence connectivity index"), "Xv");
  EXPECT_EQ(m->GetShortCaptionOf("Epsilon index"), "e");
  EXPECT_EQ(m->GetShortCaptionOf("kappa index"), "kappa");
  EXPECT_EQ(m->GetShortCaptionOf("kappa(alpha) index"), "kappa(alpha)");
  for (const auto& name : expected) {
    EXPECT_TRUE(m->GetParam(name)->GetReadOnly()) << name;
    EXPECT_EQ(m->GetParam(name)->GetEditor(), nullptr) << name;
  }
  EXPECT_EQ(m->GetParam("Flexibility index")->GetKind(), ParamKind::Number);
}

TEST(TopologicalLayout, ConnectivityMatricesHaveOrderRowsKindColumnsAndMasks) {
  Ptr<IMolecule> m = Indexes("CC(C)CC1CCC1");
  for (const char* name : {"Randic branching index", "Valence connectivity index", "Epsilon index"}) {
    auto p = m->QueryParam<IMatrixParameter>(name);
    ASSERT_TRUE(p) << name;
    EXPECT_EQ(p->GetMatrix()->GetRowCount(), 6);
    EXPECT_EQ(p->GetMatrix()->GetColumnCount(), 4);
    EXPECT_EQ(p->GetColumnLabel(0), "%s(P)");
    EXPECT_EQ(p->GetColumnLabel(1), "%s(C)");
    EXPECT_EQ(p->GetColumnLabel(2), "%s(PC)");
    EXPECT_EQ(p->GetColumnLabel(3), "%s(Ch)");
    for (int r = 0; r < 6; ++r) EXPECT_EQ(p->GetRowLabel(r, r + 1), std::to_string(r + 1));
    // Hidden: clusters and path-clusters of orders 1 and 2, chains of orders 1 and 2, path-clusters of order 3.
    const bool hidden[3][4] = {{false, true, true, true}, {false, true, true, true}, {false, false, true, false}};
    for (int r = 0; r < 6; ++r)
      for (int c = 0; c < 4; ++c) EXPECT_EQ(p->GetMask(r, c), r < 3 && hidden[r][c]) << name << " " << r << c;
  }
}

TEST(TopologicalLayout, KappaMatricesAreOneRowWithoutRowLabels) {
  Ptr<IMolecule> m = Indexes("CCCC");
  auto kappa = m->QueryParam<IMatrixParameter>("kappa index");
  auto alpha = m->QueryParam<IMatrixParameter>("kappa(alpha) index");
  ASSERT_TRUE(kappa && alpha);
  EXPECT_EQ(kappa->GetMatrix()->GetRowCount(), 1);
  EXPECT_EQ(kappa->GetMatrix()->GetColumnCount(), 3);
  EXPECT_EQ(kappa->GetColumnLabel(0), "1k");
  EXPECT_EQ(kappa->GetColumnLabel(2), "3k");
  EXPECT_EQ(alpha->GetColumnLabel(0), "1k(alpha)");
  EXPECT_EQ(alpha->GetColumnLabel(1), "2k(alpha)");
  EXPECT_EQ(alpha->GetColumnLabel(2), "3k(alpha)");
  EXPECT_EQ(kappa->GetRowLabel(0, 1), "1"); // no row labels: the row number
  EXPECT_FALSE(kappa->GetMask(0, 0));
}

TEST(TopologicalLayout, ASecondRunReplacesEveryResultInPlace) {
  Ptr<IMolecule> m = test::FromSmiles("CCCC");
  TTopologicalIndexes block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  auto list = std::dynamic_pointer_cast<IParamList>(m);
  const int count = list->Count();
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  EXPECT_EQ(list->Count(), count);
  EXPECT_DOUBLE_EQ(m->GetFloat("Wiener index"), 10.0);
}

} // namespace
} // namespace corvatin
