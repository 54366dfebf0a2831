#pragma once
// Working records shared by the translation units of geometry generation; not part of the public interface.
// Everything here works on plain indices (atom i of the molecule), so that the building and the clean-up loops
// run without virtual calls.

#include "chem/molecule.h"

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace corvatin::geometry_detail {

/// A point or direction in double precision (model coordinates, angstrom).
struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(const Vec3& a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(const Vec3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(double s, const Vec3& a) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3& operator+=(Vec3& a, const Vec3& b) {
  a.x += b.x;
  a.y += b.y;
  a.z += b.z;
  return a;
}
inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
inline double Distance(const Vec3& a, const Vec3& b) { return Length(a - b); }
/// a scaled to length 1; the zero vector stays zero.
inline Vec3 Normalized(const Vec3& a) {
  const double l = Length(a);
  return l > 0.0 ? a * (1.0 / l) : a;
}
/// Some unit vector perpendicular to a (a must not be zero).
Vec3 AnyPerpendicular(const Vec3& a);

/// A rotation (3 x 3, row by row) applied as R p.
struct Rotation {
  double m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  Vec3 Apply(const Vec3& p) const {
    return {m[0] * p.x + m[1] * p.y + m[2] * p.z, m[3] * p.x + m[4] * p.y + m[5] * p.z,
            m[6] * p.x + m[7] * p.y + m[8] * p.z};
  }
};
/// The rotation by angle (radians) about the unit axis.
Rotation AxisRotation(const Vec3& axis, double angle);
/// The rotation taking the orthonormal frame (u1, u2, u1 x u2) onto (v1, v2, v1 x v2).
Rotation FrameRotation(const Vec3& u1, const Vec3& u2, const Vec3& v1, const Vec3& v2);
/// R2 R1.
Rotation Compose(const Rotation& r1, const Rotation& r2);

/// How an atom's bonds are arranged around it.
enum class Shape { Linear, Trigonal, Tetrahedral, Bipyramidal, Octahedral, Spread };

/// The molecule reduced to what the geometry needs.
struct Topology {
  int n = 0;
  std::vector<std::vector<int>> neighbours; ///< neighbour indices, in the atom's own order
  std::vector<std::vector<int>> bondTypes;  ///< parallel to neighbours
  std::vector<double> radius;               ///< covalent radius (a carbon's where the element has none)
  std::vector<Shape> shape;

  double BondLength(int a, int b) const { return radius[static_cast<size_t>(a)] + radius[static_cast<size_t>(b)]; }
  const std::vector<int>& Neighbours(int a) const { return neighbours[static_cast<size_t>(a)]; }
  bool Bonded(int a, int b) const;
  /// Whether a and b are bonded or share a neighbour.
  bool Within2Bonds(int a, int b) const;
};

/// The molecule's atoms, bonds, radii and bond arrangements.
Topology ReadTopology(const IMolecule& molecule);

/// The connected fragments, each as its atoms in breadth-first order from its lowest index.
std::vector<std::vector<int>> Components(const Topology& topology);

/// The closest two atoms that are three or more bonds apart should come: 0.8 of the sum of van der Waals-like
/// radii taken as covalent radius + 0.8 angstrom (H 1.12, C 1.57: H..H 1.79, C..H 2.15, C..C 2.51, below the
/// 2.5 A of gauche butane's end carbons only by the rounding of the radii).
inline double ContactDistance(double r1, double r2) { return 0.8 * (r1 + r2 + 1.6); }

/// Atoms that move only as one rigid body (a ring system keeping its template shape).
struct RigidGroup {
  std::vector<int> members; ///< positions in the atom list being relaxed
  std::vector<Vec3> shape;  ///< the template coordinates, parallel to members
};

/// A ring system: a biconnected component of the molecule with at least one ring.
struct RingBlock {
  std::vector<int> atoms;              ///< molecule indices
  std::vector<std::vector<int>> rings; ///< the smallest set of smallest rings, as block positions in ring order
  std::vector<Vec3> local;             ///< the block's own coordinates, parallel to atoms
  bool relaxed = false;                ///< laid out by relaxation in 3D (bridged or crowded), not as polygons
  std::vector<RigidGroup> flatGroups;  ///< when relaxed: its flat rings' rigid bodies (members: block positions)
  int IndexOf(int atom) const;
};

/// Every ring system of the molecule and, per atom, the systems it belongs to (two or more for spiro atoms).
struct RingSystems {
  std::vector<RingBlock> blocks;
  std::vector<std::vector<int>> blocksOfAtom;
};

/// Ring systems above this many bonds are laid out by relaxation alone, without a ring set.
inline constexpr int kMaxRingSetBonds = 3000;

/// The biconnected ring systems of the molecule with their smallest rings.
RingSystems FindRingSystems(const Topology& topology);

/// Vertices of a polygon with the given sides inscribed in one circle, in the XY plane, centred at the origin
/// (a regular polygon of the mean side when the sides are too unequal for the centre to lie inside).
std::vector<Vec3> CyclicPolygon(const std::vector<double>& sides);

/// A rigid motion in the XY plane, mirrored first when mirror; rms is the fit's root mean square deviation.
struct Fit2D {
  double cos = 1.0, sin = 0.0, tx = 0.0, ty = 0.0;
  bool mirror = false;
  double rms = 0.0;
  Vec3 Apply(const Vec3& q) const;
};

/// The best rigid motion in the plane (with a mirror image when mirror) of points q onto targets p.
Fit2D FitPlanar(const std::vector<Vec3>& q, const std::vector<Vec3>& p, bool mirror);

/// Local coordinates for a ring system: fused polygons in the plane, relaxed in 3D where they do not close.
void LayOutBlock(const Topology& topology, RingBlock& block);

/// The ideal bond directions of a shape, at least count of them (a sphere spread beyond its capacity).
std::vector<Vec3> IdealDirections(Shape shape, int count);

/// count new unit directions for an atom whose placed bonds point along existing (unit vectors), following its
/// shape. With one placed bond the first direction returned is the one anti to reference (the trans position
/// of a chain); azimuth turns the whole set about the placed bond.
std::vector<Vec3> FreeDirections(const std::vector<Vec3>& existing, Shape shape, int count, const Vec3& reference,
                                 double azimuth = 0.0);

/// A distance restraint of the clean-up, between positions a and b of the atom list being relaxed.
struct Restraint {
  int a = 0;
  int b = 0;
  double distance = 0.0;
  double weight = 1.0; ///< the share of the violation removed per sweep (1: all of it)
};

/// Moves positions (parallel to atoms, molecule indices) towards the restraints while pushing apart atoms three
/// or more bonds apart that come closer than their contact distance; after every sweep each rigid group is put
/// back into its shape where it fits best. At most sweeps passes; without pushApart the contacts are ignored.
void Relax(const Topology& topology, const std::vector<int>& atoms, const std::vector<Restraint>& restraints,
           std::vector<Vec3>& positions, int sweeps, const std::vector<RigidGroup>& groups = {},
           bool pushApart = true);

/// Replaces points by shape superimposed onto them with the least squares (J. Opt. Soc. Am. A 4
/// (1987) 629, the unit quaternion of the largest eigenvalue).
void SuperimposeShape(const std::vector<Vec3>& shape, std::vector<Vec3>& points);

/// Placed atoms by grid cell, for the close-contact score of candidate placements.
class PlacedGrid {
public:
  static constexpr double kCell = 3.0;

  void Add(int atom, const Vec3& p) { cells_[Key(Cell(p.x), Cell(p.y), Cell(p.z))].push_back(atom); }

  template <class F> void ForNear(const Vec3& p, F visit) const {
    const std::int64_t cx = Cell(p.x), cy = Cell(p.y), cz = Cell(p.z);
    for (std::int64_t dx = -1; dx <= 1; ++dx)
      for (std::int64_t dy = -1; dy <= 1; ++dy)
        for (std::int64_t dz = -1; dz <= 1; ++dz)
          if (const auto it = cells_.find(Key(cx + dx, cy + dy, cz + dz)); it != cells_.end())
            for (int atom : it->second)
              visit(atom);
  }

private:
  static std::int64_t Cell(double v) { return static_cast<std::int64_t>(std::floor(v / kCell)); }
  static std::int64_t Key(std::int64_t x, std::int64_t y, std::int64_t z) {
    return (x * 73856093) ^ (y * 19349663) ^ (z * 83492791);
  }
  std::unordered_map<std::int64_t, std::vector<int>> cells_;
};

/// Removes close contacts from a fragment (atoms) while keeping its bond lengths, angles, ring systems (rigid,
/// or flexible but for their flat rings when relaxed) and double bonds as built.
void CleanUp(const Topology& topology, const RingSystems& systems, const std::vector<int>& atoms,
             std::vector<Vec3>& positions);

/// Keeps the molecule's view coordinates and bond distances in step with new model coordinates.
void ModelCoordinatesChanged(IMolecule& molecule);

} // namespace corvatin::geometry_detail
