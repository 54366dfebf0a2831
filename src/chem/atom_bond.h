#pragma once
// Atom and bond implementations, made only by the molecule's factories.

#include "chem/molecule.h"
#include "graph/items.h"

#include <type_traits>
#include <typeinfo>
#include <vector>

namespace corvatin {

class TBond;

/// The item as the implementation class T (const T for a const item), none when it is not one. An item of
/// exactly that class is found from its virtual table alone; a cross-cast between interfaces searches the class
/// hierarchy, which cost a noticeable share of every run when asked for each atom and bond.
template <class T, class Item> T* ImplementationOf(Item* item) {
  if (!item) return nullptr;
  if (typeid(*item) == typeid(std::remove_const_t<T>))
    return static_cast<T*>(dynamic_cast<std::conditional_t<std::is_const_v<Item>, const void*, void*>>(item));
  return dynamic_cast<T*>(item);
}

/// An atom bound to the molecule that created it.
class TAtom : public TVertex, public virtual IAtom {
public:
  explicit TAtom(TGraph* graph);

  // IVertex
  void Assign(const IParameters& source) override;
  void Changed(int kind) override;

  // IAtom
  IBond* GetBondTo(const IAtom* atom) const override;
  std::string GetSymbol() const override { return symbol_; }
  void SetSymbol(const std::string& symbol) override;
  int GetAtomicNumber() const override { return atomicNumber_; }
  int GetHybridisation() const override;
  bool IsAromatic() const override { return CountBondsOfType(bkAromatic) > 0; }
  double GetAtomicWeight() const override { return atomicWeight_; }
  void SetAtomicWeight(double value) override;
  int GetCharge() const override { return charge_; }
  void SetCharge(int value) override;
  int BondOrderSum() const override;
  int HeavyBondOrderSum() const override { return BondOrderSum() - HydrogenCount(); }
  int HeavyNeighbourCount() const override { return NeighbourCount() - HydrogenCount(); }
  int HydrogenCount() const override;
  double GetDisplayRadius() const override { return displayRadius_; }
  void SetDisplayRadius(double value) override { displayRadius_ = value; }
  double CovalentRadius() const override;
  double GetX3D() const override { return x3d_; }
  void SetX3D(double value) override;
  double GetY3D() const override { return y3d_; }
  void SetY3D(double value) override { y3d_ = value; }
  double GetZ3D() const override { return z3d_; }
  void SetZ3D(double value) override { z3d_ = value; }
  bool Has3D() const override { return has3D_; }
  void GetInternalCoords(double& a, double& b, double& c) const override;
  void SetInternalCoords(double a, double b, double c) override;
  int CountBondsOfType(int type) const override;
  void UpdateHybridisation() override;
  /// UpdateHybridisation, or, while the molecule is built in bulk and the text already has its entry, a note
  /// to do it when the building ends (the entry keeps its place either way).
  void RefreshHybridisation();
  /// Runs a put-off UpdateHybridisation.
  void FlushHybridisation() {
    if (hybridisationStale_) UpdateHybridisation();
  }
  IAtom* GetNeighbourAtom(int i) const override;
  IBond* GetBond(int i) const override;

  /// The symbol without a copy, for loops over many atoms.
  const std::string& Symbol() const { return symbol_; }
  /// The bonds as the implementation class, parallel to the vertex's edge list.
  const std::vector<TBond*>& Bonds() const;

private:
  std::string symbol_;
  int atomicNumber_ = 0;
  double atomicWeight_ = 0.0;
  int charge_ = 0;
  double displayRadius_ = 1.0 / 150.0;
  double x3d_ = 0.0;
  double y3d_ = 0.0;
  double z3d_ = 0.0;
  bool has3D_ = false;
  double internal_[3] = {0.0, 0.0, 0.0};
  // The edge list cast once to bonds; rebuilt after every topology change of the atom (and whenever its length
  // no longer matches, which is how a detached atom finds out).
  mutable std::vector<TBond*> bonds_;
  mutable std::vector<IEdge*> bondEdges_; // the edge pointers bonds_ was made from
  mutable bool bondsValid_ = false;
  int hintHybridation_ = -1; // entry position of "Hybridation" (SetStringAt)
  int hintCharge_ = -1, hintWeight_ = -1, hintSymbol_ = -1; // of "Charge", "Atomic weight" and "Symbol"
  bool hybridisationStale_ = false; // "Hybridation" put off while the molecule is built in bulk
};

/// A bond bound to the molecule that created it.
class TBond : public TEdge, public virtual IBond {
public:
  TBond(TGraph* graph, IVertex* vertex1, IVertex* vertex2);

  // IEdge
  void Assign(const IParameters& source) override;

  // IBond
  IAtom* GetAtom1() const override;
  IAtom* GetAtom2() const override;
  int GetBondType() const override { return type_; }
  void SetBondType(int type) override;
  void UpdateDistance() override;
  IAtom* GetOtherAtom(const IAtom* atom) const override;

  /// The end atoms as the implementation class; none once the bond was deleted.
  TAtom* Atom1() const { return GetVertex1() ? atom1_ : nullptr; }
  TAtom* Atom2() const { return GetVertex2() ? atom2_ : nullptr; }
  /// The end that is not atom.
  TAtom* OtherAtom(const TAtom* atom) const { return atom == Atom1() ? Atom2() : Atom1(); }

protected:
  /// "Bond Type" written from outside (SetString, an editor): its first character selects the kind.
  void ParamValueSet(const std::string& name) override;

private:
  void WriteTypeText();

  int type_ = bkSingle;
  bool writingType_ = false; // WriteTypeText is writing "Bond Type"
  int hintType_ = -1, hintDistance_ = -1; // entry positions of "Bond Type" and "Distance" (SetFloatAt)
  TAtom* atom1_;
  TAtom* atom2_;
};

} // namespace corvatin
