#pragma once
// Molecules: graphs whose vertices are atoms and whose edges are bonds. Atoms and bonds mirror their chemical
// data into their own parameter lists under fixed names ("Symbol", "Atomic weight", "Charge", "Hybridation",
// "Bond Type", "Distance"), so that the inspector, the classifiers and the output blocks read them by name.
//
// Accessor convention (as for graphs): atoms and bonds are handed out as plain pointers that do not own; they
// stay valid while the molecule lists them. Hydrogens are explicit atoms: there is no implicit-hydrogen count.

#include "chem/transform.h"
#include "graph/graph.h"

#include <cstdint>
#include <string>

namespace corvatin {

class IAtom;
class IBond;
class IMolecule;
class TMolecule;

/// Bond kinds. Unspecified bonds occur only while a pattern is being read.
enum BondKind : int {
  bkSingle = 0,
  bkDouble = 1,
  bkTriple = 2,
  bkAromatic = 3,
  bkUnspecified = 4,
};

/// Hybridisation codes of GetHybridisation.
enum Hybridisation : int { hyNone = 0, hySp = 1, hySp2 = 2, hySp3 = 3, hyDsp3 = 4, hyD2sp3 = 5 };

/// Parameter names the molecule model writes.
inline constexpr const char* kParamSymbol = "Symbol";
inline constexpr const char* kParamAtomicWeight = "Atomic weight";
inline constexpr const char* kParamCharge = "Charge";
inline constexpr const char* kParamHybridation = "Hybridation";
inline constexpr const char* kParamBondType = "Bond Type";
inline constexpr const char* kParamDistance = "Distance";
inline constexpr const char* kParamName = "Name";
inline constexpr const char* kTagAromaticity = "TagAromaticy";
inline constexpr const char* kTagHydrogens = "TagHydrogens";

/// The text form of a bond kind: "-", "=", "#", ":"; "?" for any other value.
const char* BondTypeText(int type);

/// The choices offered when "Bond Type" is edited, in this order.
inline constexpr const char* kBondTypeChoices[] = {"-", "=", "#", ":"};

/// The text of a hybridisation code: "", "sp", "sp2", "sp3", "dsp3", "d2sp3"; "" outside 0..5.
const char* HybridisationText(int code);

/// An atom: a vertex with an element, a formal charge and model coordinates in angstrom.
class IAtom : public virtual IVertex {
public:
  /// The bond joining this atom to atom, or none.
  virtual IBond* GetBondTo(const IAtom* atom) const = 0;
  virtual std::string GetSymbol() const = 0;
  /// Sets the element by symbol (atomic number, weight, display radius follow); reports an identity change.
  virtual void SetSymbol(const std::string& symbol) = 0;
  /// AtomicNumberOf(symbol); 0 for an unknown symbol.
  virtual int GetAtomicNumber() const = 0;
  /// 0 (none) to 5 from the explicit neighbours and the lone pairs (Hybridisation codes).
  virtual int GetHybridisation() const = 0;
  /// Whether at least one of its bonds is aromatic.
  virtual bool IsAromatic() const = 0;
  virtual double GetAtomicWeight() const = 0;
  /// Stores the weight and writes "Atomic weight" (nothing when unchanged and already written).
  virtual void SetAtomicWeight(double value) = 0;
  virtual int GetCharge() const = 0;
  /// Stores the formal charge and writes "Charge" (nothing when unchanged and already written).
  virtual void SetCharge(int value) = 0;
  /// Sum of bond orders (aromatic counts 1), plus 1 for a carbon, or a nitrogen with two neighbours, that has
  /// more than one aromatic bond.
  virtual int BondOrderSum() const = 0;
  /// BondOrderSum less HydrogenCount.
  virtual int HeavyBondOrderSum() const = 0;
  /// Neighbours whose symbol is not exactly "H".
  virtual int HeavyNeighbourCount() const = 0;
  /// Neighbours whose symbol is exactly "H".
  virtual int HydrogenCount() const = 0;
  /// The radius the viewers draw the atom with, in view units.
  virtual double GetDisplayRadius() const = 0;
  virtual void SetDisplayRadius(double value) = 0;
  /// The element's covalent radius in angstrom (0 for an unknown element).
  virtual double CovalentRadius() const = 0;
  virtual double GetX3D() const = 0;
  /// Stores the model x coordinate and marks the atom as having 3D coordinates; no parameter, no notification.
  virtual void SetX3D(double value) = 0;
  virtual double GetY3D() const = 0;
  virtual void SetY3D(double value) = 0;
  virtual double GetZ3D() const = 0;
  virtual void SetZ3D(double value) = 0;
  virtual bool Has3D() const = 0;
  /// Internal coordinates: distance (angstrom), bond angle and torsion (degrees).
  virtual void GetInternalCoords(double& a, double& b, double& c) const = 0;
  virtual void SetInternalCoords(double a, double b, double c) = 0;
  /// How many of its bonds have the kind type.
  virtual int CountBondsOfType(int type) const = 0;
  /// Writes "Hybridation" from GetHybridisation.
  virtual void UpdateHybridisation() = 0;

  // Conveniences over the vertex lists.
  /// Neighbour i as an atom (std::out_of_range outside 0..NeighbourCount()-1).
  virtual IAtom* GetNeighbourAtom(int i) const = 0;
  /// Bond i (joining this atom to GetNeighbourAtom(i)).
  virtual IBond* GetBond(int i) const = 0;
};

/// A bond: an edge with a kind.
class IBond : public virtual IEdge {
public:
  /// The end atoms; none once the bond was deleted from its molecule.
  virtual IAtom* GetAtom1() const = 0;
  virtual IAtom* GetAtom2() const = 0;
  virtual int GetBondType() const = 0;
  /// Stores the kind, updates both atoms' hybridisation, rewrites "Bond Type", reports an identity change.
  virtual void SetBondType(int type) = 0;
  /// Writes "Distance" (angstrom) when both atoms have 3D coordinates; otherwise nothing.
  virtual void UpdateDistance() = 0;

  /// The atom at the other end from atom (GetAtom1 unless atom is GetAtom1).
  virtual IAtom* GetOtherAtom(const IAtom* atom) const = 0;
};

/// A part of a molecule: a ring, a fragment, a search hit.
class IStructure : public virtual ISubGraph {
public:
  /// Over all pairs of its atoms, the number of molecule bonds of kind type joining them (listed here or not).
  virtual int CountBondsOfType(int type) const = 0;
};

/// A molecule: a graph of atoms and bonds with a name and a view transform.
class IMolecule : public virtual IGraph {
public:
  virtual std::string GetName() const = 0;
  /// Stores the name and writes "Name" (nothing when unchanged and already written).
  virtual void SetName(const std::string& name) = 0;
  virtual Matrix4f GetTransform() const = 0;
  /// Stores the transform, re-projects every atom (view coordinates, display radius) and updates every bond's
  /// "Distance".
  virtual void SetTransform(const Matrix4f& matrix) = 0;
  /// A new empty structure owned by the molecule.
  virtual Ptr<IStructure> CreateStructure() = 0;
  /// Model coordinates for every atom from the topology; EChemError when no geometry builder is installed.
  virtual void GenerateGeometry() = 0;
  /// Model coordinates from the atoms' internal coordinates, in atom order; EChemError when no builder is
  /// installed.
  virtual void BuildFromInternalCoords() = 0;

  // Conveniences.
  /// Whether SetTransform was called since creation or the last Clear.
  virtual bool HasTransform() const = 0;
  /// Atom i and bond i (std::out_of_range outside the lists).
  virtual IAtom* GetAtom(int i) const = 0;
  virtual IBond* GetBond(int i) const = 0;
  /// AddVertex as an atom.
  virtual IAtom* AddAtom() = 0;
  /// Connect as a bond (none when refused: same atom, already bonded, or not this molecule's).
  virtual IBond* ConnectAtoms(IAtom* a1, IAtom* a2) = 0;
};

/// A new empty molecule.
Ptr<IMolecule> NewMolecule();

/// The item as an atom or bond (none for an item of a plain graph).
IAtom* AsAtom(IVertex* vertex);
const IAtom* AsAtom(const IVertex* vertex);
IBond* AsBond(IEdge* edge);
const IBond* AsBond(const IEdge* edge);

/// A reader's scope for building a whole structure: while one is open on a molecule of this library, an atom
/// whose bonds change leaves its "Hybridation" text to be written once, when the last such scope closes (a
/// bond added or retyped would otherwise rewrite both atoms' texts every time). Everything else of the model
/// behaves as always; only the texts must not be read by name inside the scope.
class TBulkBuild {
public:
  explicit TBulkBuild(IMolecule& molecule);
  ~TBulkBuild();
  TBulkBuild(const TBulkBuild&) = delete;
  TBulkBuild& operator=(const TBulkBuild&) = delete;

private:
  TMolecule* molecule_;
};

/// The geometry builders, installed by the geometry module (a molecule operation each).
using MoleculeOperation = void (*)(IMolecule& molecule);
void SetGeometryBuilders(MoleculeOperation generateGeometry, MoleculeOperation buildFromInternalCoords);

} // namespace corvatin
