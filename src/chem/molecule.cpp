#include "chem/molecule_impl.h"

#include "chem/geometry.h"

#include "core/errors.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace corvatin {

namespace {

// The geometry module's builders unless a caller installs others.
MoleculeOperation g_generateGeometry = &corvatin::GenerateGeometry;
MoleculeOperation g_buildFromInternalCoords = &corvatin::BuildFromInternalCoords;

// The completion tags' interned names, which the hinted setter recognises by address.
const std::string& TagAromaticityName() {
  static const std::string& name = InternParamName(kTagAromaticity);
  return name;
}
const std::string& TagHydrogensName() {
  static const std::string& name = InternParamName(kTagHydrogens);
  return name;
}

} // namespace

void SetGeometryBuilders(MoleculeOperation generateGeometry, MoleculeOperation buildFromInternalCoords) {
  g_generateGeometry = generateGeometry;
  g_buildFromInternalCoords = buildFromInternalCoords;
}

Ptr<IMolecule> NewMolecule() { return std::make_shared<TMolecule>(); }

// ---------------------------------------------------------------------------------------------- TStructure

Ptr<ISubGraph> TStructure::CreateSubGraph() { return std::make_shared<TStructure>(this); }

int TStructure::CountBondsOfType(int type) const {
  // Every bond joining two listed atoms counts once, seen from its end with the lower position here.
  int count = 0;
  for (int i = 0; i < VertexCount(); ++i) {
    const IVertex* v = GetVertex(i);
    for (int k = 0; k < v->EdgeCount(); ++k) {
      const IBond* b = AsBond(v->GetEdge(k));
      if (!b || b->GetBondType() != type) continue;
      if (IndexOfVertex(v->GetNeighbour(k)) > i) ++count;
    }
  }
  return count;
}

// ----------------------------------------------------------------------------------------------- TMolecule

Ptr<TVertex> TMolecule::CreateVertex() { return std::make_shared<TAtom>(this); }

Ptr<TEdge> TMolecule::CreateEdge(IVertex* v1, IVertex* v2) {
  auto bond = std::make_shared<TBond>(this, v1, v2);
  lastBond_ = bond.get();
  return bond;
}

Ptr<ISubGraph> TMolecule::CreateSubGraph() {
  return std::make_shared<TStructure>(static_cast<ISubGraph*>(static_cast<TGraph*>(this)));
}

Ptr<IStructure> TMolecule::CreateStructure() { return std::dynamic_pointer_cast<IStructure>(CreateSubGraph()); }

void TMolecule::Clear() {
  TGraph::Clear();
  SetName(std::string());
  transform_ = IdentityMatrix();
  hasTransform_ = false;
  reprojectPending_ = false;
}

void TMolecule::Changed(int kind) {
  TGraph::Changed(kind);
  // Completion steps mark the molecule as done; any change means they must run again.
  SetFloatAt(hintAromaticity_, TagAromaticityName(), 0.0);
  SetFloatAt(hintHydrogens_, TagHydrogensName(), 0.0);
  if (hasTransform_ && kind == gcTopology) {
    if (UpdateCount() > 0)
      reprojectPending_ = true;
    else
      ReprojectAll();
  }
}

void TMolecule::VertexChanged(IVertex* vertex, int kind) {
  TGraph::VertexChanged(vertex, kind);
  // A new element changes the covalent radius the display radius is derived from.
  if (hasTransform_ && kind == gcIdentity)
    if (auto* atom = ImplementationOf<TAtom>(vertex); atom && atom->GetGraph() == this) Reproject(*atom);
}

void TMolecule::EndUpdate() {
  if (UpdateCount() == 1 && reprojectPending_) {
    reprojectPending_ = false;
    ReprojectAll(); // still inside the bracket, so its coordinate changes join the one announcement
  }
  TGraph::EndUpdate();
}

void TMolecule::SetName(const std::string& name) {
  if (name == name_ && HasParam(kParamName)) return;
  name_ = name;
  SetString(kParamName, name_);
}

void TMolecule::SetTransform(const Matrix4f& matrix) {
  transform_ = matrix;
  hasTransform_ = true;
  ReprojectAll();
}

void TMolecule::Reproject(TAtom& atom) {
  if (atom.Has3D()) {
    const Point3d p = TransformPoint3d(Point3d{atom.GetX3D(), atom.GetY3D(), atom.GetZ3D()}, transform_);
    atom.SetViewPoint(p.x, p.y, p.z);
  }
  const Point3d r = TransformDirection3d(Point3d{atom.CovalentRadius(), 0.0, 0.0}, transform_);
  atom.SetDisplayRadius(std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z) / 4.0);
}

void TMolecule::ReprojectAll() {
  reprojectPending_ = false;
  for (int i = 0; i < VertexCount(); ++i)
    Reproject(*AtomAt(i));
  for (int i = 0; i < EdgeCount(); ++i)
    if (IBond* b = GetBond(i)) b->UpdateDistance();
}

void TMolecule::GenerateGeometry() {
  if (!g_generateGeometry) throw EChemError("Geometry generation is not available");
  g_generateGeometry(*this);
}

void TMolecule::BuildFromInternalCoords() {
  if (!g_buildFromInternalCoords) throw EChemError("Building from internal coordinates is not available");
  g_buildFromInternalCoords(*this);
}

void TMolecule::EndBulkBuild() {
  if (bulkDepth_ > 0 && --bulkDepth_ == 0)
    for (int i = 0; i < VertexCount(); ++i)
      AtomAt(i)->FlushHybridisation();
}

TBulkBuild::TBulkBuild(IMolecule& molecule) : molecule_(dynamic_cast<TMolecule*>(&molecule)) {
  if (molecule_) molecule_->BeginBulkBuild();
}

TBulkBuild::~TBulkBuild() {
  if (molecule_) molecule_->EndBulkBuild();
}

TAtom* TMolecule::AtomAt(int i) const {
  // Every vertex of a molecule is made by CreateVertex, so the cast cannot fail.
  return static_cast<TAtom*>(VertexAt(i));
}

IAtom* TMolecule::GetAtom(int i) const { return AtomAt(i); }

IBond* TMolecule::GetBond(int i) const { return AsBond(GetEdge(i)); }

IAtom* TMolecule::AddAtom() {
  AddVertex();
  return AtomAt(VertexCount() - 1);
}

IBond* TMolecule::ConnectAtoms(IAtom* a1, IAtom* a2) { return Connect(a1, a2) ? lastBond_ : nullptr; }

} // namespace corvatin
