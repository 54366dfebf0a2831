#include "chem/atom_bond.h"

#include "chem/molecule_impl.h"

#include "chem/elements.h"

#include <algorithm>
#include <typeinfo>
#include <stdexcept>
#include <string>

namespace corvatin {

namespace {


// The interned names of the values every atom writes, which the hinted setters recognise by address.
const std::string& HybridationName() {
  static const std::string& name = InternParamName(kParamHybridation);
  return name;
}
const std::string& ChargeName() {
  static const std::string& name = InternParamName(kParamCharge);
  return name;
}
const std::string& WeightName() {
  static const std::string& name = InternParamName(kParamAtomicWeight);
  return name;
}
const std::string& SymbolName() {
  static const std::string& name = InternParamName(kParamSymbol);
  return name;
}

} // namespace

IAtom* AsAtom(IVertex* vertex) {
  if (TAtom* atom = ImplementationOf<TAtom>(vertex); atom || !vertex) return atom;
  return dynamic_cast<IAtom*>(vertex);
}

const IAtom* AsAtom(const IVertex* vertex) { return AsAtom(const_cast<IVertex*>(vertex)); }

IBond* AsBond(IEdge* edge) {
  if (TBond* bond = ImplementationOf<TBond>(edge); bond || !edge) return bond;
  return dynamic_cast<IBond*>(edge);
}

const IBond* AsBond(const IEdge* edge) { return AsBond(const_cast<IEdge*>(edge)); }

const char* HybridisationText(int code) {
  static const char* const kTexts[] = {"", "sp", "sp2", "sp3", "dsp3", "d2sp3"};
  return code >= 0 && code <= 5 ? kTexts[code] : "";
}

TAtom::TAtom(TGraph* graph) : TVertex(graph) {
  // A new atom already shows its charge, so that a charge of 0 can be read (and chosen as a weight) at once.
  SetFloatAt(hintCharge_, ChargeName(), 0.0);
}

void TAtom::Assign(const IParameters& source) {
  TVertex::Assign(source);
  if (const auto* atom = dynamic_cast<const IAtom*>(&source)) {
    SetSymbol(atom->GetSymbol());
    SetCharge(atom->GetCharge());
  }
}

void TAtom::Changed(int kind) {
  if (kind == gcTopology || kind == gcCleared) bondsValid_ = false;
  TVertex::Changed(kind);
  if (kind == gcTopology || kind == gcCleared) RefreshHybridisation();
}

const std::vector<TBond*>& TAtom::Bonds() const {
  const std::vector<IEdge*>& edges = Edges();
  if (bondsValid_ && bonds_.size() == edges.size()) return bonds_;
  // Bonds are appended far more often than removed: keep the part of the list that still matches and cast
  // only the rest. Entries are compared as the edge pointers they were made from, never dereferenced: a bond
  // that was deleted may be gone.
  size_t keep = 0;
  while (keep < bondEdges_.size() && keep < edges.size() && bondEdges_[keep] == edges[keep])
    ++keep;
  bonds_.resize(keep);
  bondEdges_.resize(keep);
  bonds_.reserve(edges.size());
  bondEdges_.reserve(edges.size());
  for (size_t i = keep; i < edges.size(); ++i) {
    auto* b = ImplementationOf<TBond>(edges[i]);
    if (!b) {
      // An edge that is not a bond (never made by a molecule) would break the parallel lists: keep none.
      bonds_.clear();
      bondEdges_.clear();
      bondsValid_ = false;
      return bonds_;
    }
    bonds_.push_back(b);
    bondEdges_.push_back(edges[i]);
  }
  bondsValid_ = true;
  return bonds_;
}

IBond* TAtom::GetBondTo(const IAtom* atom) const { return AsBond(GetEdgeTo(atom)); }

void TAtom::SetSymbol(const std::string& symbol) {
  if (symbol == symbol_) return;
  symbol_ = symbol;
  atomicNumber_ = AtomicNumberOf(symbol_);
  SetAtomicWeight(AtomicWeight(atomicNumber_));
  if (!has3D_) {
    // Viewers draw light atoms small: a straight line from 1/150 at hydrogen to 1/45 at calcium, flat beyond.
    if (atomicNumber_ < 1)
      displayRadius_ = 1.0 / 150.0;
    else
      displayRadius_ = std::min(1.0 / 45.0, 1.0 / 150.0 + (1.0 / 45.0 - 1.0 / 150.0) * (atomicNumber_ - 1) / 19.0);
  }
  SetStringAt(hintSymbol_, SymbolName(), symbol_);
  UpdateHybridisation();
  Changed(gcIdentity);
}

void TAtom::SetAtomicWeight(double value) {
  if (value == atomicWeight_ && (HasEntryAt(hintWeight_, WeightName()) || HasParam(WeightName()))) return;
  atomicWeight_ = value;
  SetFloatAt(hintWeight_, WeightName(), value);
  Changed(gcValue);
}

void TAtom::SetCharge(int value) {
  if (value == charge_ && (HasEntryAt(hintCharge_, ChargeName()) || HasParam(ChargeName()))) return;
  charge_ = value;
  SetFloatAt(hintCharge_, ChargeName(), static_cast<double>(value));
  Changed(gcValue);
}

int TAtom::BondOrderSum() const {
  int sum = 0;
  int aromatic = 0;
  for (const TBond* b : Bonds()) {
    switch (b->GetBondType()) {
    case bkDouble: sum += 2; break;
    case bkTriple: sum += 3; break;
    case bkAromatic:
      sum += 1;
      ++aromatic;
      break;
    default: sum += 1; break;
    }
  }
  // An aromatic carbon (or pyridine-type nitrogen) shares one more electron with its ring than its bonds show.
  if (aromatic > 1 && (atomicNumber_ == 6 || (atomicNumber_ == 7 && NeighbourCount() == 2))) sum += 1;
  return sum;
}

int TAtom::HydrogenCount() const {
  int count = 0;
  for (const TBond* b : Bonds())
    if (const TAtom* other = b->OtherAtom(this); other && other->Symbol().size() == 1 && other->Symbol()[0] == 'H')
      ++count;
  return count;
}

int TAtom::GetHybridisation() const {
  // An atom without bonds has no hybridisation to speak of (the lone-pair rule alone would call a bare carbon
  // "sp").
  if (NeighbourCount() == 0) return hyNone;
  const int lonePairs = std::max(ValenceElectrons(atomicNumber_) - BondOrderSum(), 0) / 2;
  const int h = NeighbourCount() + lonePairs - 1;
  return h >= 0 && h < 6 ? h : hyNone;
}

double TAtom::CovalentRadius() const { return corvatin::CovalentRadius(atomicNumber_); }

void TAtom::SetX3D(double value) {
  x3d_ = value;
  has3D_ = true;
}

void TAtom::GetInternalCoords(double& a, double& b, double& c) const {
  a = internal_[0];
  b = internal_[1];
  c = internal_[2];
}

void TAtom::SetInternalCoords(double a, double b, double c) {
  internal_[0] = a;
  internal_[1] = b;
  internal_[2] = c;
}

int TAtom::CountBondsOfType(int type) const {
  int count = 0;
  for (const TBond* b : Bonds())
    if (b->GetBondType() == type) ++count;
  return count;
}

void TAtom::RefreshHybridisation() {
  const auto* molecule = static_cast<const TMolecule*>(OwnerGraph());
  if (molecule && molecule->BuildingInBulk() && HasEntryAt(hintHybridation_, HybridationName())) {
    hybridisationStale_ = true;
    return;
  }
  UpdateHybridisation();
}

void TAtom::UpdateHybridisation() {
  hybridisationStale_ = false;
  SetStringAt(hintHybridation_, HybridationName(), HybridisationText(GetHybridisation()));
}

IAtom* TAtom::GetNeighbourAtom(int i) const { return AsAtom(GetNeighbour(i)); }

IBond* TAtom::GetBond(int i) const { return AsBond(GetEdge(i)); }

} // namespace corvatin
