// What every reader of structure files shares: LF, CR LF and lone-CR line ends read alike, and a file that breaks
// off in its middle fails with an input error and leaves no half molecule behind. The samples are the fixture
// files of the readers' own tests (tests/data).

#include "core/errors.h"
#include "core/parser.h"
#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"
#include "inputs/mopac_input.h"
#include "inputs/zmatrix_input.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace corvatin {
namespace {

struct ReaderCase {
  const char* reader;
  const char* file;  // under tests/data
  const char* atom;  // the text of an atom line: the broken file ends after it with the line `junk`
  const char* junk;
  std::function<void(IParser&, IMolecule&)> read;
};

std::ostream& operator<<(std::ostream& out, const ReaderCase& c) { return out << c.reader; }

std::string Text(const char* file) {
  std::ifstream in(std::string(CORVATIN_TEST_DATA_DIR) + "/" + file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The text with every LF, CR LF or lone CR replaced by `end`.
std::string WithLineEnds(const std::string& text, const std::string& end) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i] == '\n' || text[i] == '\r' ? end : std::string(1, text[i]);
  }
  return out;
}

// Name, atoms with element and coordinates, bonds with their kinds.
std::string Describe(const IMolecule& m) {
  std::ostringstream d;
  d << m.GetName() << '|' << m.VertexCount() << '|' << m.EdgeCount();
  for (int i = 0; i < m.VertexCount(); ++i) {
    const IAtom* a = m.GetAtom(i);
    d << '|' << a->GetSymbol() << a->GetCharge() << '@' << a->GetX3D() << ',' << a->GetY3D() << ',' << a->GetZ3D();
  }
  for (int i = 0; i < m.EdgeCount(); ++i) d << '|' << m.GetBond(i)->GetBondType();
  return d.str();
}

// The description, or the message of the error reading raised.
std::string Read(const ReaderCase& c, const std::string& text) {
  Ptr<TParser> tokenizer = NewTextParser(text);
  Ptr<IMolecule> molecule = NewMolecule();
  try {
    c.read(*tokenizer, *molecule);
  } catch (const std::exception& e) {
    return e.what();
  }
  return Describe(*molecule);
}

class Readers : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(Readers, LfCrLfAndLoneCrLineEndsReadAlike) {
  const std::string text = Text(GetParam().file);
  ASSERT_FALSE(text.empty()) << GetParam().file;
  const std::string lf = Read(GetParam(), WithLineEnds(text, "\n"));
  EXPECT_NE(lf.find("|"), std::string::npos);
  EXPECT_EQ(Read(GetParam(), WithLineEnds(text, "\r\n")), lf) << "CR LF";
  EXPECT_EQ(Read(GetParam(), WithLineEnds(text, "\r")), lf) << "lone CR";
}

TEST_P(Readers, AFileBrokenOffInsideItsAtomsFailsAndLeavesNoHalfMolecule) {
  const std::string text = WithLineEnds(Text(GetParam().file), "\n");
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
    {"MOPAC", "mopac/acetone.out", "     1         C          1.0879", "1 x",
     [](IParser& p, IMolecule& m) { ReadMopacOutput(p, m, "acetone.out"); }},
    {"ZMatrix", "zmatrix/acetone.zmt", "  C     1.50531105", "C 1.5 x",
     [](IParser& p, IMolecule& m) { ReadZMatrix(p, m, "acetone.zmt"); }},
};

INSTANTIATE_TEST_SUITE_P(EveryReader, Readers, ::testing::ValuesIn(kReaders),
                         [](const ::testing::TestParamInfo<ReaderCase>& info) { return info.param.reader; });

} // namespace
} // namespace corvatin
