#include "classify/std_classification.h"

#include "chem/elements.h"
#include "chem/molecule.h"
#include "core/errors.h"

#include <array>
#include <set>
#include <span>
#include <stdexcept>
#include <vector>

namespace corvatin {

namespace {

constexpr std::array<const char*, 5> kAtomNames = {"Symbol", "Atomic number", "Hybridation", "Charge",
                                                   "Atomic weight"};
constexpr std::array<const char*, 2> kBondNames = {"Bond Type", "Distance"};
constexpr std::array<const char*, 1> kMoleculeNames = {"Name"};
constexpr const char* kAtomicNumber = "Atomic number";
constexpr const char* kAtomicWeight = "Atomic weight";

std::span<const char* const> StdNames(int kind) {
  switch (kind) {
  case ekAtoms:
    return kAtomNames;
  case ekBonds:
    return kBondNames;
  case ekMolecule:
    return kMoleculeNames;
  default:
    return {};
  }
}

[[noreturn]] void BadName(const char* block, int kind, int index) {
  throw std::out_of_range(std::string(block) + " value name " + std::to_string(kind) + "/" + std::to_string(index) +
                          " out of range");
}

/// Neighbours whose symbol is not "H" (the molecule model's count; for a plain vertex, its "Symbol" parameters).
int HeavyNeighbours(const IVertex& v) {
  if (const IAtom* atom = AsAtom(&v)) return atom->HeavyNeighbourCount();
  int count = 0;
  for (int i = 0; i < v.NeighbourCount(); ++i)
    if (v.GetNeighbour(i)->GetString(kParamSymbol) != "H") ++count;
  return count;
}

} // namespace

void TStdClassification::Execute(bool& /*more*/) {
  if (Ptr<ISubGraph> structure = GetInputAs<ISubGraph>()) Classify(structure);
}

void TStdClassification::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  for (int i = 0; i < structure->VertexCount(); ++i) {
    IVertex* v = structure->GetVertex(i);
    v->SetFloat(kAtomicNumber, AtomicNumberOf(v->GetString(kParamSymbol)));
  }
}

int TStdClassification::GetValueCount(int kind) const { return static_cast<int>(StdNames(kind).size()); }

std::string TStdClassification::GetValueName(int kind, int index) const {
  const auto names = StdNames(kind);
  if (index < 0 || static_cast<size_t>(index) >= names.size()) BadName("Atoms", kind, index);
  return names[static_cast<size_t>(index)];
}

TBondPropClassification::TBondPropClassification(const std::vector<Ptr<IClassification>>& sources) : TBlock(1) {
  for (const Ptr<IClassification>& source : sources) {
    if (!source) continue;
    for (int i = 0; i < source->GetValueCount(ekAtoms); ++i) {
      names_.push_back(source->GetValueName(ekAtoms, i));
      sourceBlocks_.push_back(source->GetName());
    }
  }
}

void TBondPropClassification::CheckChain(const std::vector<Ptr<IBlock>>& before) const {
  // The sources are not run here: a source left out of the chain would leave its values 0 on every bond.
  std::set<std::string> offered;
  for (const auto& block : before)
    if (const auto source = std::dynamic_pointer_cast<IClassification>(block))
      for (int i = 0; i < source->GetValueCount(ekAtoms); ++i) offered.insert(source->GetValueName(ekAtoms, i));
  for (size_t k = 0; k < names_.size(); ++k)
    if (!offered.count(names_[k]))
      throw EFatalError("Block \"" + GetName() + "\" reads the atom value \"" + names_[k] + "\" of block \"" +
                        sourceBlocks_[k] + "\", which is not before it in the procedure");
}

void TBondPropClassification::Execute(bool& /*more*/) {
  if (Ptr<ISubGraph> structure = GetInputAs<ISubGraph>()) Classify(structure);
}

void TBondPropClassification::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  // Each atom's values and heavy degree are read once for all its bonds, by its position in its graph; only
  // bonds are written here, so they cannot change meanwhile.
  const size_t count = names_.size() + 1;
  std::vector<double> values;
  std::vector<int> heavy;
  auto of = [&](const IVertex* atom) -> const double* {
    const IGraph* graph = atom->GetGraph();
    const int at = atom->GetIndex();
    if (!graph || at < 0 || at >= graph->VertexCount()) return nullptr;
    const size_t x = static_cast<size_t>(at);
    if (heavy.empty()) {
      heavy.assign(static_cast<size_t>(graph->VertexCount()), -1);
      values.resize(heavy.size() * count);
    }
    if (x >= heavy.size()) return nullptr;
    double* row = &values[x * count];
    if (heavy[x] < 0) {
      heavy[x] = HeavyNeighbours(*atom);
      for (size_t k = 0; k < names_.size(); ++k) row[k] = atom->GetFloat(names_[k]);
      row[names_.size()] = atom->GetFloat(kAtomicWeight);
    }
    return row;
  };
  for (int b = 0; b < structure->EdgeCount(); ++b) {
    IEdge* bond = structure->GetEdge(b);
    const IVertex* a1 = bond->GetVertex1();
    const IVertex* a2 = bond->GetVertex2();
    const double* r1 = of(a1);
    const double* r2 = of(a2);
    const int d1 = r1 ? heavy[static_cast<size_t>(a1->GetIndex())] : HeavyNeighbours(*a1);
    const int d2 = r2 ? heavy[static_cast<size_t>(a2->GetIndex())] : HeavyNeighbours(*a2);
    // An end atom without heavy neighbours (a methane carbon, either hydrogen of H2) has nothing to share its
    // value with: the bond gets 0 rather than a division by zero.
    const bool share = d1 > 0 && d2 > 0;
    auto value = [&](size_t k, const std::string& name) {
      if (!share) return 0.0;
      const double v1 = r1 ? r1[k] : a1->GetFloat(name);
      const double v2 = r2 ? r2[k] : a2->GetFloat(name);
      return v1 / d1 + v2 / d2;
    };
    for (size_t k = 0; k < names_.size(); ++k) bond->SetFloat(names_[k], value(k, names_[k]));
    bond->SetFloat(kAtomicWeight, value(names_.size(), kAtomicWeight));
  }
}

int TBondPropClassification::GetValueCount(int kind) const {
  return kind == ekBonds ? static_cast<int>(names_.size()) + 1 : 0;
}

std::string TBondPropClassification::GetValueName(int kind, int index) const {
  if (kind != ekBonds || index < 0) BadName("Bond", kind, index);
  return static_cast<size_t>(index) < names_.size() ? names_[static_cast<size_t>(index)] : kAtomicWeight;
}

} // namespace corvatin
