#include "classify/std_classification.h"

#include "chem/elements.h"
#include "chem/molecule.h"

#include <array>
#include <span>
#include <stdexcept>

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
    for (int i = 0; i < source->GetValueCount(ekAtoms); ++i) names_.push_back(source->GetValueName(ekAtoms, i));
  }
}

void TBondPropClassification::Execute(bool& /*more*/) {
  if (Ptr<ISubGraph> structure = GetInputAs<ISubGraph>()) Classify(structure);
}

void TBondPropClassification::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  for (int b = 0; b < structure->EdgeCount(); ++b) {
    IEdge* bond = structure->GetEdge(b);
    const IVertex* a1 = bond->GetVertex1();
    const IVertex* a2 = bond->GetVertex2();
    const int d1 = HeavyNeighbours(*a1);
    const int d2 = HeavyNeighbours(*a2);
    // An end atom without heavy neighbours (a methane carbon, either hydrogen of H2) has nothing to share its
    // value with: the bond gets 0 rather than a division by zero.
    const bool share = d1 > 0 && d2 > 0;
    auto value = [&](const std::string& name) {
      return share ? a1->GetFloat(name) / d1 + a2->GetFloat(name) / d2 : 0.0;
    };
    for (const std::string& name : names_) bond->SetFloat(name, value(name));
    bond->SetFloat(kAtomicWeight, value(kAtomicWeight));
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
