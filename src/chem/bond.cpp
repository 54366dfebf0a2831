#include "chem/atom_bond.h"

#include <cmath>

namespace corvatin {

namespace {

// Interned names, which the hinted setters recognise by address.
const std::string& BondTypeName() {
  static const std::string& name = InternParamName(kParamBondType);
  return name;
}
const std::string& DistanceName() {
  static const std::string& name = InternParamName(kParamDistance);
  return name;
}

} // namespace

const char* BondTypeText(int type) {
  switch (type) {
  case bkSingle: return "-";
  case bkDouble: return "=";
  case bkTriple: return "#";
  case bkAromatic: return ":";
  default: return "?";
  }
}

TBond::TBond(TGraph* graph, IVertex* vertex1, IVertex* vertex2)
    : TEdge(graph, vertex1, vertex2), atom1_(ImplementationOf<TAtom>(vertex1)),
      atom2_(ImplementationOf<TAtom>(vertex2)) {
  WriteTypeText();
}

void TBond::Assign(const IParameters& source) {
  TEdge::Assign(source);
  if (const auto* bond = dynamic_cast<const IBond*>(&source)) SetBondType(bond->GetBondType());
}

IAtom* TBond::GetAtom1() const { return Atom1(); }

IAtom* TBond::GetAtom2() const { return Atom2(); }

IAtom* TBond::GetOtherAtom(const IAtom* atom) const { return atom == GetAtom1() ? GetAtom2() : GetAtom1(); }

void TBond::WriteTypeText() {
  // The text must not be fed back into the kind (ParamValueSet), which the flag prevents; written as a value, so
  // that a bond holds no parameter object for it until someone asks.
  writingType_ = true;
  SetStringAt(hintType_, BondTypeName(), BondTypeText(type_));
  writingType_ = false;
}

void TBond::SetBondType(int type) {
  type_ = type;
  if (TAtom* a = Atom1()) a->RefreshHybridisation();
  if (TAtom* a = Atom2()) a->RefreshHybridisation();
  WriteTypeText();
  Changed(gcIdentity);
}

void TBond::UpdateDistance() {
  const TAtom* a = Atom1();
  const TAtom* b = Atom2();
  if (!a || !b || !a->Has3D() || !b->Has3D()) return;
  const double dx = a->GetX3D() - b->GetX3D();
  const double dy = a->GetY3D() - b->GetY3D();
  const double dz = a->GetZ3D() - b->GetZ3D();
  SetFloatAt(hintDistance_, DistanceName(), std::sqrt(dx * dx + dy * dy + dz * dz));
}

void TBond::ParamValueSet(const std::string& name) {
  if (writingType_ || name != kParamBondType) return;
  const std::string text = GetString(kParamBondType);
  const char first = text.empty() ? '\0' : text[0];
  int type = type_;
  switch (first) {
  case '#': type = bkTriple; break;
  case '-': type = bkSingle; break;
  case ':': type = bkAromatic; break;
  case '=': type = bkDouble; break;
  default: break;
  }
  // The text is rewritten from the kind either way, so "Bond Type" never shows a text the bond does not have
  // ("=x" reads "=", an unknown text goes back to the current kind).
  SetBondType(type);
}

} // namespace corvatin
