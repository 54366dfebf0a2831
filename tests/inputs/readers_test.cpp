// What every structure reader shares: LF, CR LF and lone-CR line ends read alike; a file broken off inside its
// atoms leaves no half molecule; broken input gives a record error naming the file, the line, the reason and the
// record, and the next pass reads the structure after it (the cases are in tests/data/inputs/broken-input.txt),
// whether the reader reads the file or the records a run's reader cut out of it; a reader block reports progress
// to the end, fits structures with coordinates into the view and leaves every atom's hybridisation text current.

#include "input_test_util.h"

#include "core/parser.h"
#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"
#include "inputs/mopac_input.h"
#include "inputs/smiles_input.h"
#include "inputs/xyz_input.h"
#include "inputs/zmatrix_input.h"

#include <functional>
#include <regex>

using namespace corvatin;
using namespace corvatin::test;

namespace {

struct ReaderCase {
  const char* reader;
  const char* file; // under tests/data
  const char* atom; // the text of an atom line: the broken file ends after it with the line `junk`
  const char* junk;
  std::function<void(IParser&, IMolecule&)> read;
};

std::ostream& operator<<(std::ostream& out, const ReaderCase& c) { return out << c.reader; }

// The text with every LF, CR LF or lone CR replaced by `end`.
std::string WithLineEnds(const std::string& text, const std::string& end) {
  return std::regex_replace(text, std::regex("\r\n|\r|\n"), end);
}

// Name, atoms, charges, coordinates and bonds; or the message of the error raised.
std::string Read(const ReaderCase& c, const std::string& text) {
  Ptr<IMolecule> m = NewMolecule();
  try {
    c.read(*NewTextParser(text), *m);
  } catch (const std::exception& e) {
    return e.what();
  }
  std::ostringstream d;
  d << m->GetName() << '|' << Describe(*m);
  for (int i = 0; i < m->VertexCount(); ++i)
    d << '|' << m->GetAtom(i)->GetX3D() << ',' << m->GetAtom(i)->GetY3D() << ',' << m->GetAtom(i)->GetZ3D();
  return d.str();
}

class Readers : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(Readers, LfCrLfAndLoneCrLineEndsReadAlike) {
  const std::string text = DataText(GetParam().file);
  ASSERT_FALSE(text.empty()) << GetParam().file;
  const std::string lf = Read(GetParam(), WithLineEnds(text, "\n"));
  EXPECT_NE(lf.find("|"), std::string::npos);
  EXPECT_EQ(Read(GetParam(), WithLineEnds(text, "\r\n")), lf) << "CR LF";
  EXPECT_EQ(Read(GetParam(), WithLineEnds(text, "\r")), lf) << "lone CR";
}

TEST_P(Readers, AFileBrokenOffInsideItsAtomsFailsAndLeavesNoHalfMolecule) {
  const std::string text = WithLineEnds(DataText(GetParam().file), "\n");
  const size_t at = text.find(GetParam().atom);
  ASSERT_NE(at, std::string::npos) << GetParam().atom;
  Ptr<TParser> tokenizer = NewTextParser(text.substr(0, text.find('\n', at) + 1) + GetParam().junk + "\n");
  Ptr<IMolecule> molecule = NewMolecule();
  EXPECT_THROW(GetParam().read(*tokenizer, *molecule), EInputError);
  EXPECT_EQ(molecule->VertexCount(), 0);
}

const ReaderCase kReaders[] = {
    {"MOL", "inputs/BZR_Diazepam.mol", "   -0.9539    0.9991   -2.1963 C", "1 x",
     [](IParser& p, IMolecule& m) { ReadMolRecord(p, m, "BZR_Diazepam.mol"); }},
    {"MOL2", "formats/BZR_Diazepam.mol2", "      1 C", "1 x",
     [](IParser& p, IMolecule& m) { ReadMol2Molecule(p, m, "BZR_Diazepam.mol2"); }},
    {"XYZ", "formats/BZR_Diazepam.xyz", "C         -0.95390", "C 1.5 x",
     [](IParser& p, IMolecule& m) { ReadXYZMolecule(p, m, "BZR_Diazepam.xyz"); }},
    {"MOPAC", "mopac/acetone.out", "     1         C          1.0879", "1 x",
     [](IParser& p, IMolecule& m) { ReadMopacOutput(p, m, "acetone.out"); }},
    {"ZMatrix", "zmatrix/acetone.zmt", "  C     1.50531105", "C 1.5 x",
     [](IParser& p, IMolecule& m) { ReadZMatrix(p, m, "acetone.zmt"); }},
};

INSTANTIATE_TEST_SUITE_P(EveryReader, Readers, ::testing::ValuesIn(kReaders),
                         [](const ::testing::TestParamInfo<ReaderCase>& info) { return info.param.reader; });

template <class Reader> Names Through(const std::string& path) {
  ReaderHarness<Reader> h;
  h.Start(path);
  return h.ReadAll();
}

// Every pass as the workers of a run over several make them, when the reader's files can be cut: the file cut
// into records, each read on its own (and holding no further structure); nothing when they cannot.
template <class Reader> Names ThroughCut(const std::string& path) {
  ReaderHarness<Reader> h;
  h.Start(path);
  const TRecordLayout layout = h.reader->RecordLayout(path);
  if (layout == TRecordLayout::None) return {};
  TRecordCutter cutter(path, layout);
  Names names;
  TRecordText record;
  while (cutter.Next(record.text, record.firstLine)) {
    record.file = path;
    record.number = static_cast<int>(names.size()) + 1;
    h.reader->FeedRecord(&record);
    bool more = true;
    try {
      h.reader->Execute(more);
      names.push_back(h.molecule->GetName());
    } catch (const ERecordError& e) {
      names.push_back(std::string("!") + e.what());
    }
    EXPECT_FALSE(more) << "record " << record.number << " holds more";
  }
  if (names.empty()) names.push_back("~" + FormatFileMessage(kMsgNoStructure, path));
  return names;
}

Names ReadCut(const std::string& path) {
  const std::string ext = path.substr(path.rfind('.') + 1);
  if (ext == "sdf" || ext == "mol") return ThroughCut<TMOLInput>(path);
  if (ext == "mol2") return ThroughCut<TTriposMOLInput>(path);
  if (ext == "out") return ThroughCut<TMOPACInput>(path);
  if (ext == "zmt") return ThroughCut<TZMatrixInput>(path);
  if (ext == "xyz") return {};
  return ThroughCut<TSMILESInput>(path);
}

// Every pass of the reader of the file's extension: names, "!message" or "~warning".
Names ReadThrough(const std::string& path) {
  const std::string ext = path.substr(path.rfind('.') + 1);
  if (ext == "sdf" || ext == "mol") return Through<TMOLInput>(path);
  if (ext == "mol2") return Through<TTriposMOLInput>(path);
  if (ext == "xyz") return Through<TXYZSphereInput>(path);
  if (ext == "out") return Through<TMOPACInput>(path);
  if (ext == "zmt") return Through<TZMatrixInput>(path);
  return Through<TSMILESInput>(path);
}

// One pass over a file of one structure: a transient heading first, progress to the end, the view fit.
template <class Reader> void ExpectOnePass(const std::string& file, bool fitted) {
  ReaderHarness<Reader> h;
  h.Start(file);
  EXPECT_FALSE(h.Pass()) << file;
  ASSERT_FALSE(h.log->lines.empty()) << file;
  EXPECT_EQ(h.log->lines.front().kind, lkHeading) << file;
  EXPECT_TRUE(h.log->lines.front().transient) << file;
  EXPECT_EQ(h.progress->positions.back(), 100) << file;
  EXPECT_EQ(h.molecule->HasTransform(), fitted) << file;
  // A reader writes the hybridisation texts once, when the structure is built: none may be left behind.
  for (int i = 0; i < h.molecule->VertexCount(); ++i)
    EXPECT_EQ(h.molecule->GetAtom(i)->GetString("Hybridation"),
              HybridisationText(h.molecule->GetAtom(i)->GetHybridisation()))
        << file << " atom " << i;
}

struct Broken {
  std::string ext;
  std::string passes; // as in broken-input.txt
  std::string text;
};

// The expected passes for path, with the messages written out.
Names Expected(const std::string& passes, const std::string& path) {
  Names items;
  std::istringstream in(passes + "|"); // a last empty name stays
  for (std::string item; std::getline(in, item, '|');) {
    if (item == "~") item = "~File \"" + path + "\" holds no structure";
    if (item.starts_with("@")) {
      const std::size_t space = std::min(item.find(' '), item.size());
      item = "!Error in file \"" + path + "\" at line " + item.substr(1, space - 1) +
             (space < item.size() ? " (" + item.substr(space + 1) + ")" : "") + ", record " +
             std::to_string(items.size() + 1);
    }
    items.push_back(item);
  }
  return items;
}

std::vector<Broken> LoadBroken() {
  std::vector<Broken> cases;
  std::istringstream in(DataText("inputs/broken-input.txt"));
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("#:")) continue;
    if (!line.starts_with("== ")) {
      cases.back().text += line + "\n";
      continue;
    }
    const std::size_t space = line.find(' ', 3);
    cases.push_back({line.substr(3, space - 3), line.substr(space + 1), ""});
  }
  return cases;
}

} // namespace

TEST(ReaderMessages, ABrokenStructureNamesFileLineReasonAndRecordAndTheNextOneIsReadAlsoFromRecordsCutOut) {
  std::vector<Broken> cases = LoadBroken();
  ASSERT_GE(cases.size(), 90u);
  std::string cycles; // an optimisation's progress lines before the results: the line count never gets lost
  for (int i = 0; i < 700; ++i) cycles += " CYCLE: " + std::to_string(i) + " TIME: 0.001 GRAD.: 1.0 HEAT: -57.8\n";
  cases.insert(cases.end(), {
      {"sdf", "~", "\r\n  \n"},
      {"mol2", "@2", "@<TRIPOS>MOLECULE\nname"},
      {"out", "@701", cycles + "   NO. OF FILLED LEVELS  -\n"},
      {"out", "@706",
       cycles + "   CARTESIAN COORDINATES\n 1 O 0 0 0\n 2 H 1 0 0\n 3 H 0 1 0\n"
                "   CARTESIAN COORDINATES\n 1 O 0.0 0.0\n"},
      // found by the fuzzer: a z of 6.7e23 overflowed the distance grid of the bond perception
      {"out", "@11 Coordinate out of range", DataText("mopac/fuzz/crash-huge-coordinate.out")},
      {"zmt", "~", ""},
      // after a broken record, a record whose name line is empty keeps it
      {"sdf", "@4 Atom count expected||C",
       "broken\n\n\nxx  0\nM  END\n$$$$\n\n\n\n  1  0  0  0  0  0  0  0  0  0999 V2000\n"
       "    0.0000    0.0000    0.0000 C   0  0\nM  END\n$$$$\nC\n\n\n  1  0  0  0  0  0  0  0  0  0999 V2000\n"
       "    0.0000    0.0000    0.0000 C   0  0\nM  END\n$$$$\n\n"},
  });
  TempFolder folder;
  int k = 0;
  for (const Broken& b : cases) {
    const std::string path = folder.Write(std::to_string(++k) + "." + b.ext, b.text);
    SCOPED_TRACE(path + "\n" + b.text.substr(0, 400));
    const Names expected = Expected(b.passes, path);
    EXPECT_EQ(ReadThrough(path), expected);
    // Cut into records by a run's reader, each read by a worker: the same structures and messages.
    if (const Names cut = ReadCut(path); !cut.empty()) {
      EXPECT_EQ(cut, expected) << "cut into records";
    }
  }
}

TEST(ReaderBlocks, EachLogsItsHeadingReportsProgressToTheEndFitsFilesWithCoordinatesAndLeavesHybridisationsCurrent) {
  TempFolder folder;
  ExpectOnePass<TMOLInput>(Data("formats/CS_ethanol.mol"), true);
  ExpectOnePass<TTriposMOLInput>(Data("formats/CS_ethanol.mol2"), true);
  ExpectOnePass<TXYZSphereInput>(Data("formats/CS_ethanol.xyz"), true);
  ExpectOnePass<TMOPACInput>(Data("mopac/water_allvec_opt.out"), true);
  ExpectOnePass<TZMatrixInput>(Data("zmatrix/acetone.zmt"), true);
  ExpectOnePass<TXYZSphereInput>(folder.Write("points.xyz", "2\n0 0 0\n3 4 0\n"), false); // no atoms
  ExpectOnePass<TSMILESInput>(folder.Write("a.sml", "CCO\n"), false); // no coordinates
}
