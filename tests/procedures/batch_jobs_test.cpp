// Several workers over one input: the result files and the log are byte for byte those of one worker, with
// broken records and failing structures in the middle; and the shard a process takes.

#include "batch_fixture.h"

#include "procedures/batch_jobs.h"

#include <fstream>

namespace corvatin::testing {
namespace {

namespace fs = std::filesystem;

class BatchJobs : public BatchRun {
protected:
  /// The bundled SMILES sample with records that do not parse or fail a step slipped in, an SD file, files without
  /// a structure in the middle and at the end, SMILES lines with a comment and a broken one, an SD file with CR LF
  /// line ends and a MOL2 file; for the sphere matrices (whose point sets are read by every worker), point sets of
  /// different sizes (whose data files cannot take each other's values).
  std::vector<std::string> Inputs(const std::string& procedure) {
    if (procedure == "Sphere TEST") {
      std::vector<std::string> sets;
      for (const char* name : {"NCI_3", "five", "BZR_Diazepam", "CS_ethanol", "CHEMBL2321810_1520011"})
        sets.push_back(fs::path(CORVATIN_TEST_DATA_DIR) / "formats" / (std::string(name) + ".xyz"));
      return sets;
    }
    std::ifstream in(fs::path(CORVATIN_DATA_DIR) / "samples" / "drugs.sml2", std::ios::binary);
    std::string text, name, smiles;
    for (int record = 0; std::getline(in, name) && std::getline(in, smiles); ++record) {
      if (record == 3) text += "unclosed ring\nC1CC(\n";
      if (record == 10) text += "two bad\nC(C)(C)(C)(C)(C)C\nno atoms\n[\n";
      text += name + "\n" + smiles + "\n";
    }
    const fs::path data = CORVATIN_TEST_DATA_DIR;
    return {Write("mixed.sml2", text),
            data / "inputs" / "drugs-excerpt.sdf",
            Write("blank.smi", " \n\n"),
            Write("lines.smi", "# from the sample\nCCO ethanol\nC1CC( broken\n\nc1ccccc1O phenol\n"),
            data / "inputs" / "data-items-crlf.sdf",
            data / "formats" / "five.mol2",
            Write("blank.sml", "\n")};
  }

  /// Runs procedure with jobs workers into results folder folder; the log goes to log.
  int RunWith(int jobs, const std::string& procedure, const std::string& folder, std::string& log) {
    // The workers share the first catalogue's classifications, as the batch tool's do.
    TCatalogue first({nullptr, {}, nullptr, nullptr});
    const auto make = [&] {
      TCatalogue catalogue({nullptr, {}, nullptr, nullptr, &first});
      Ptr<TPackage> package = ChooseProcedure(catalogue, procedure);
      if (procedure.rfind("TOPS-MODE", 0) == 0) SelectWeights(*package, "all");
      return package;
    };
    TBatchOptions options;
    options.files = Inputs(procedure);
    options.resultsDir = (dir_ / folder).string();
    options.jobs = jobs;
    std::ostringstream out;
    const Ptr<TPackage> package = ChooseProcedure(first, procedure);
    if (procedure.rfind("TOPS-MODE", 0) == 0) SelectWeights(*package, "all");
    const int status = jobs == 1 ? RunProcedure(*package, options, out, false)
                                 : RunProcedureJobs(*package, make, options, out, false);
    log = out.str();
    return status;
  }

  /// Every file of a results folder, by name.
  std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir_ / folder)) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
  }
};

TEST_F(BatchJobs, FourWorkersWriteTheSameFilesAndLogAsOne) {
  for (const char* procedure : {"TOPS-MODE", "TOPS-MODE Local Contributions", "Physicochemical descriptors",
                                "Topological Indices", "Sphere TEST"}) {
    SCOPED_TRACE(procedure);
    const std::string one = std::string(procedure) + " 1", four = std::string(procedure) + " 4";
    std::string logOne, logFour;
    const int status = RunWith(1, procedure, one, logOne);
    EXPECT_EQ(RunWith(4, procedure, four, logFour), status);
    // The folders differ in name only: the log names them where it names a file.
    for (size_t at; (at = logFour.find(four)) != std::string::npos;) logFour.replace(at, four.size(), one);
    EXPECT_EQ(logFour, logOne);
    // Skipped structures, or for the point sets a data file that drops what its header lacks.
    EXPECT_NE(logOne.find(status == beSkipped ? "Error: " : "Warning: "), std::string::npos);
    const auto filesOne = Files(one);
    EXPECT_GE(filesOne.size(), 2u);
    EXPECT_TRUE(Files(four) == filesOne);
    if (std::string(procedure) != "Sphere TEST") {
      EXPECT_EQ(status, beSkipped);
      // The broken SMILES is named by its own file and line whichever worker parsed it.
      EXPECT_NE(logFour.find("lines.smi\" at line 3"), std::string::npos);
      EXPECT_NE(logFour.find("Warning: File \"" + (dir_ / "blank.sml").string() + "\" holds no structure"),
                std::string::npos);
    }
  }
}

TEST_F(BatchJobs, AShardArgumentOutsideOneToNIsAUsageError) {
  EXPECT_EQ(ParseShard("2/3"), std::make_pair(1, 3));
  for (const char* bad : {"0/3", "4/3", "3", "/3", "1/", "a/b", "-1/3", "1/0"}) EXPECT_THROW(ParseShard(bad), EUsageError) << bad;
}

} // namespace
} // namespace corvatin::testing
