// Fuzzes the classification-file reader. The first byte chooses how the block is built (names given or not,
// atoms or bonds, number or string values); the rest is the file. A file either loads or raises EClassifyError;
// any other exception, a sanitizer finding or a hang is a fault. A file that loads classifies a few small
// molecules, and the matcher's shortcuts must assign exactly what the plain procedure (every fragment on every
// atom through the substructure finder) assigns; a difference aborts.

#include "chem/molecule.h"
#include "chem/smiles.h"
#include "classify/smiles_classification.h"
#include "core/errors.h"
#include "core/parser.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace corvatin;

namespace {

std::string Snapshot(const IMolecule& m) {
  std::string text;
  auto dump = [&](const IParamList& list) {
    for (int k = 0; k < list.Count(); ++k) text += list.GetNameAt(k) + "=" + list.GetParamAt(k)->GetText() + " ";
    text += "\n";
  };
  for (int i = 0; i < m.VertexCount(); ++i) dump(dynamic_cast<const IParamList&>(*m.GetAtom(i)));
  for (int i = 0; i < m.EdgeCount(); ++i) dump(dynamic_cast<const IParamList&>(*m.GetBond(i)));
  return text;
}

const char* const kMolecules[] = {"CC(=O)Nc1ccc(O)cc1", "C1CC1C#N", "[NH4+].[O-]C(=O)C=C", "FC(Cl)(Br)S(=O)(=O)N",
                                  "[H][H]"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  std::vector<std::string> names;
  if (mode & 1) names.push_back("W");
  if (mode & 2) names.push_back("V");
  const int kind = (mode & 4) ? 1 : 0;
  const std::uint8_t valueKind = (mode & 8) ? 3 : (mode & 16) ? 0 : 1;
  Ptr<TSMILESClassification> c;
  try {
    Ptr<TParser> parser = NewTextParser(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    c = std::make_shared<TSMILESClassification>(names, *parser, kind, valueKind);
  } catch (const EClassifyError&) {
    return 0;
  }

  // The plain procedure is slow and its finder refuses huge fragments: compare on small files only.
  if (c->FragmentCount() > 30) return 0;
  for (int i = 0; i < c->FragmentCount(); ++i)
    if (c->Record(i).atomCount > 40) return 0;
  for (const char* smiles : kMolecules) {
    Ptr<IMolecule> fast = NewMolecule();
    Ptr<IMolecule> plain = NewMolecule();
    ParseSMILES(smiles, *fast);
    ParseSMILES(smiles, *plain);
    c->SetReferenceMode(false);
    c->Classify(std::dynamic_pointer_cast<ISubGraph>(fast));
    c->SetReferenceMode(true);
    c->Classify(std::dynamic_pointer_cast<ISubGraph>(plain));
    if (Snapshot(*fast) != Snapshot(*plain)) {
      std::fprintf(stderr, "shortcut and plain matching differ on %s\n", smiles);
      std::abort();
    }
  }
  return 0;
}
