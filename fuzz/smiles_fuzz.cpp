// Fuzzes the SMILES parser. The first byte picks the parser's set-up (organic mode, completion, a hook that
// extends the grammar as pattern files do); the rest is the line. Every parse must either succeed and leave a
// consistent molecule, or fail with ESMILESError (a known message naming a position inside the text) or
// EChemError (a ring system too large), leaving the molecule empty. Anything else aborts.

#include "chem/smiles.h"
#include "core/errors.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace corvatin;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "SMILES parser promise broken: %s %s\n", what, detail.c_str());
  std::abort();
}

/// A hook in the manner of the pattern files: "~" bonds of unspecified kind, "R" as a symbol, "{...}" branches,
/// "&text" after bracket symbols, and a "|" that ends the line.
class PatternHook : public TSMILESHook {
public:
  void CheckElement(const std::string& symbol, bool& accept) override {
    if (symbol == "R") accept = true;
  }
  void CheckBondChar(char ch, bool& accept) override {
    if (ch == '~') accept = true;
  }
  void BondCreated(IMolecule&, IBond* bond, int depth, char ch) override {
    if (depth < 0) Fail("negative depth");
    if (ch == '~') bond->SetBondType(bkUnspecified);
  }
  void AtomCreated(IMolecule&, IAtom* atom, int written) override {
    if (written != 0 && written != 1) Fail("written flag");
    if (!atom->HasParam("HasBonds") || !atom->HasParam("HasHydrogens")) Fail("marks missing in AtomCreated");
  }
  void ReadAtomExtra(IParser& tokenizer, std::string& extra) override {
    if (tokenizer.CheckString("&")) tokenizer.ReadLetters(extra);
  }
  void OpenBranch(IParser& tokenizer, bool& accept) override { accept = tokenizer.CheckString("{"); }
  void CloseBranch(IParser& tokenizer, bool& accept) override { accept = tokenizer.CheckString("}"); }
  void AtEnd(IParser& tokenizer, bool& accept) override {
    if (!accept) accept = tokenizer.CheckString("|");
  }
};

const char* const kMessageStarts[] = {
    "Unexpected error at position ", "Main chain can't begin with a bond", "Ring closure expected",
    "Symbol expected at position ", "Invalid charge sign at position ", "\"]\" expected at position ",
    "Branch closure expected at position ", "Digit expected after \"%\" at position ",
    "Two digits expected after \"%\" at position ", "Unknown symbol at position ",
    "Quirality class expected at position ", "Invalid ring closure at position ",
    "Bond kinds differs for the ring closure at position ", "Digit can't be reused for the same atom at position ",
    "Number too large at position "};

void CheckMessage(const std::string& message, std::size_t textSize) {
  for (const char* start : kMessageStarts) {
    const std::size_t n = std::strlen(start);
    if (message.compare(0, n, start) != 0) continue;
    if (start[n - 1] != ' ') return; // no position in this message
    const long long position = std::atoll(message.c_str() + n);
    if (position < 0 || static_cast<std::size_t>(position) > textSize) Fail("position outside the text", message);
    return;
  }
  Fail("unknown message", message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t setup = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  PatternHook hook;
  const bool organic = (setup & 1) != 0;
  const bool complete = (setup & 2) != 0;
  TSMILESParser parser(organic, (setup & 4) ? &hook : nullptr, complete);
  auto molecule = NewMolecule();
  auto tokenizer = NewTextParser(text);
  try {
    parser.Parse(*tokenizer, *molecule);
  } catch (const ESMILESError& e) {
    if (molecule->VertexCount() != 0 || molecule->EdgeCount() != 0) Fail("molecule not cleared after an error");
    CheckMessage(e.what(), text.size());
    return 0;
  } catch (const EChemError& e) {
    if (molecule->VertexCount() != 0) Fail("molecule not cleared after a chemistry error");
    return 0;
  }
  if (molecule->AnyVertexHasParam("HasBonds") || molecule->AnyVertexHasParam("HasHydrogens"))
    Fail("parse marks left on atoms");
  for (int i = 0; i < molecule->EdgeCount(); ++i) {
    const int type = molecule->GetBond(i)->GetBondType();
    if (type < bkSingle || type > bkUnspecified || (complete && type == bkUnspecified))
      Fail("bond kind", std::to_string(type));
  }
  for (int i = 0; i < molecule->VertexCount(); ++i) {
    const IAtom* a = molecule->GetAtom(i);
    if (a->GetIndex() != i) Fail("atom index");
    if (a->GetHybridisation() < 0 || a->GetHybridisation() > 5) Fail("hybridisation");
    if (a->GetString("Symbol") != a->GetSymbol()) Fail("symbol parameter");
  }
  return 0;
}
