#pragma once
// The molecule implementation: a graph whose factories make atoms, bonds and structures, with a name, a view
// transform through which the atoms' model coordinates become view coordinates, and the completion tags that
// every change resets.

#include "chem/atom_bond.h"
#include "graph/model.h"
#include "graph/subgraph.h"

namespace corvatin {

/// A part of a molecule (rings, fragments).
class TStructure : public TSubGraph, public virtual IStructure {
public:
  explicit TStructure(ISubGraph* owner) : TSubGraph(owner) {}
  Ptr<ISubGraph> CreateSubGraph() override;
  int CountBondsOfType(int type) const override;
};

/// The molecule.
class TMolecule : public TGraph, public virtual IMolecule {
public:
  TMolecule() = default;

  // IGraph
  void Clear() override;
  Ptr<ISubGraph> CreateSubGraph() override;
  void EndUpdate() override;

  // IMolecule
  std::string GetName() const override { return name_; }
  void SetName(const std::string& name) override;
  Matrix4f GetTransform() const override { return transform_; }
  void SetTransform(const Matrix4f& matrix) override;
  Ptr<IStructure> CreateStructure() override;
  void GenerateGeometry() override;
  void BuildFromInternalCoords() override;
  bool HasTransform() const override { return hasTransform_; }
  IAtom* GetAtom(int i) const override;
  IBond* GetBond(int i) const override;
  IAtom* AddAtom() override;
  IBond* ConnectAtoms(IAtom* a1, IAtom* a2) override;

  /// Atom i as the implementation class (std::out_of_range outside the list).
  TAtom* AtomAt(int i) const;

  /// Whether a TBulkBuild scope is open: atoms then put off rewriting "Hybridation".
  bool BuildingInBulk() const { return bulkDepth_ > 0; }
  /// Opens and closes a TBulkBuild scope; the last close writes every put-off "Hybridation".
  void BeginBulkBuild() { ++bulkDepth_; }
  void EndBulkBuild();

protected:
  Ptr<TVertex> CreateVertex() override;
  Ptr<TEdge> CreateEdge(IVertex* v1, IVertex* v2) override;
  void Changed(int kind) override;
  void VertexChanged(IVertex* vertex, int kind) override;

private:
  void Reproject(TAtom& atom);
  void ReprojectAll();

  std::string name_;
  Matrix4f transform_ = IdentityMatrix();
  bool hasTransform_ = false;
  // A topology change inside an update bracket re-projects once, when the outermost bracket closes.
  bool reprojectPending_ = false;
  int hintAromaticity_ = -1, hintHydrogens_ = -1; // entry positions of the completion tags (SetFloatAt)
  TBond* lastBond_ = nullptr; // the bond CreateEdge made last, handed out by ConnectAtoms without a cast
  int bulkDepth_ = 0;         // open TBulkBuild scopes
};

} // namespace corvatin
