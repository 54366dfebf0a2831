// The molecule reduced to what geometry generation needs: neighbour lists, bond kinds, covalent radii and the
// arrangement of each atom's bonds.

#include "chem/geometry_internal.h"

namespace corvatin::geometry_detail {

namespace {

/// Carbon's covalent radius, for elements that have none (unknown symbols).
constexpr double kFallbackRadius = 0.77;

bool IsConjugating(const Topology& t, int atom) {
  for (size_t k = 0; k < t.Neighbours(atom).size(); ++k)
    if (t.bondTypes[static_cast<size_t>(atom)][k] != bkSingle) return true;
  return false;
}

/// The arrangement of an atom's bonds from its bonds alone (explicit hydrogens may be missing, so the counted
/// hybridisation of the molecule model would mislead): a triple bond or two double bonds make it linear, a
/// double or aromatic bond trigonal, and so does a three-bonded nitrogen next to one (amides, anilines); the
/// rest by the number of bonds.
Shape ShapeOf(const Topology& t, int atom, int element) {
  const auto a = static_cast<size_t>(atom);
  const int degree = static_cast<int>(t.neighbours[a].size());
  int doubles = 0, triples = 0, aromatic = 0;
  for (int type : t.bondTypes[a]) {
    doubles += type == bkDouble;
    triples += type == bkTriple;
    aromatic += type == bkAromatic;
  }
  if (degree <= 2 && (triples > 0 || doubles >= 2)) return Shape::Linear;
  if (degree <= 3 && (doubles > 0 || aromatic > 0)) return Shape::Trigonal;
  if (element == 7 && degree <= 3 && degree >= 2)
    for (int nb : t.neighbours[a])
      if (IsConjugating(t, nb)) return Shape::Trigonal;
  if (degree <= 4) return Shape::Tetrahedral;
  if (degree == 5) return Shape::Bipyramidal;
  if (degree == 6) return Shape::Octahedral;
  return Shape::Spread;
}

} // namespace

Topology ReadTopology(const IMolecule& molecule) {
  Topology t;
  t.n = molecule.VertexCount();
  const auto n = static_cast<size_t>(t.n);
  t.neighbours.resize(n);
  t.bondTypes.resize(n);
  t.radius.resize(n);
  t.shape.resize(n);
  std::vector<int> elements(n);
  for (size_t i = 0; i < n; ++i) {
    const IAtom* atom = molecule.GetAtom(static_cast<int>(i));
    for (int k = 0; k < atom->NeighbourCount(); ++k) {
      t.neighbours[i].push_back(atom->GetNeighbour(k)->GetIndex());
      const IBond* bond = AsBond(atom->GetEdge(k));
      t.bondTypes[i].push_back(bond ? bond->GetBondType() : bkSingle);
    }
    const double r = atom->CovalentRadius();
    t.radius[i] = r > 0.0 ? r : kFallbackRadius;
    elements[i] = atom->GetAtomicNumber();
  }
  for (size_t i = 0; i < n; ++i)
    t.shape[i] = ShapeOf(t, static_cast<int>(i), elements[i]);
  return t;
}

/// The connected fragments, each as its atoms in breadth-first order from its lowest index.
std::vector<std::vector<int>> Components(const Topology& t) {
  std::vector<std::vector<int>> components;
  std::vector<char> seen(static_cast<size_t>(t.n), 0);
  for (int s = 0; s < t.n; ++s) {
    if (seen[static_cast<size_t>(s)]) continue;
    std::vector<int> list{s};
    seen[static_cast<size_t>(s)] = 1;
    for (size_t i = 0; i < list.size(); ++i)
      for (int nb : t.Neighbours(list[i]))
        if (!seen[static_cast<size_t>(nb)]) {
          seen[static_cast<size_t>(nb)] = 1;
          list.push_back(nb);
        }
    components.push_back(std::move(list));
  }
  return components;
}

} // namespace corvatin::geometry_detail
