// The "TopolInd.txt" layout as the statistics software receives it: the output block built from the topological
// block's result names writes one header cell per existing subgraph cell (the masked ones are left out), the
// connectivity cells labelled caption(kind)(order), the kappa cells by their own labels, the flexibility index
// under its caption "ø" as the single byte 0xF8 of Windows-1252, and one value per header cell.

#include "chem/smiles.h"
#include "descriptors/topological_indexes.h"
#include "outputs/vector_output.h"
#include "../outputs/output_test_util.h"

#include <gtest/gtest.h>

#include <sstream>

namespace corvatin {
namespace {

class TopolIndFile : public test::ResultFolderTest {};

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream in(line);
  std::string cell;
  while (std::getline(in, cell, '\t')) cells.push_back(cell);
  return cells;
}

std::string ConnectivityHeader(const std::string& caption) {
  std::string text;
  const char* kinds[] = {"P", "C", "PC", "Ch"};
  const bool hidden[3][4] = {{false, true, true, true}, {false, true, true, true}, {false, false, true, false}};
  for (int m = 1; m <= 6; ++m)
    for (int k = 0; k < 4; ++k)
      if (m > 3 || !hidden[m - 1][k]) text += caption + "(" + kinds[k] + ")(" + std::to_string(m) + ")\t";
  return text;
}

TEST_F(TopolIndFile, TopolIndHeaderLeavesMaskedCellsOutAndWritesTheFlexibilityCaptionAsF8) {
  TTopologicalIndexes indexes;
  TVectorOutput out(indexes, "TopolInd.txt", "Results.txt");
  out.SetFloat("Precision", 3);
  Ptr<IMolecule> butane = NewMolecule();
  ParseSMILES("CCCC", *butane);
  butane->SetName("butane");
  indexes.Classify(std::dynamic_pointer_cast<ISubGraph>(butane));
  out.Write(butane);

  const std::string data = Read("TopolInd.txt");
  const size_t end = data.find("\r\n");
  ASSERT_NE(end, std::string::npos);
  const std::string header = data.substr(0, end + 2);
  EXPECT_EQ(header, "Name\t" + ConnectivityHeader("X") + ConnectivityHeader("Xv") + ConnectivityHeader("e") +
                        "1k\t2k\t3k\t1k(alpha)\t2k(alpha)\t3k(alpha)\t\xF8\tW\tM1\tM2\tH\tJ\t\r\n");
  const std::string line = data.substr(end + 2);
  ASSERT_GE(line.size(), 2u);
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
  const std::vector<std::string> values = Cells(line.substr(0, line.size() - 2));
  ASSERT_EQ(values.size(), Cells(header.substr(0, header.size() - 2)).size());
  EXPECT_EQ(values[0], "butane");
  EXPECT_EQ(values[1], "1.914");  // X(P)(1)
  EXPECT_EQ(values[values.size() - 5], "10.000"); // W
  EXPECT_EQ(values[values.size() - 6], "3.000");  // flexibility 4 * 3 / 4

  const std::string results = Read("Results.txt");
  EXPECT_NE(results.find("\tFlexibility index:\r\n\t\xF8=3\r\n"), std::string::npos) << results;
  EXPECT_NE(results.find("\tWiener index:\r\n\tW=10\r\n"), std::string::npos) << results;
  EXPECT_EQ(results.find("\xC3\xB8"), std::string::npos); // no UTF-8 left in the file
}

TEST_F(TopolIndFile, MethaneWritesOnlyTheFiveDistanceIndexes) {
  TTopologicalIndexes indexes;
  TVectorOutput out(indexes, "TopolInd.txt", "Results.txt");
  Ptr<IMolecule> methane = NewMolecule();
  ParseSMILES("C", *methane);
  methane->SetName("methane");
  indexes.Classify(std::dynamic_pointer_cast<ISubGraph>(methane));
  out.Write(methane);
  // The header of a fresh file lists only what this molecule has.
  EXPECT_EQ(Read("TopolInd.txt").substr(0, 22), "Name\tW\tM1\tM2\tH\tJ\t\r\nmet");
}

} // namespace
} // namespace corvatin
