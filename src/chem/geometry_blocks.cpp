// Ring systems laid out the way chemists draw them: every ring a planar polygon inscribed in a circle with the
// bond lengths as its sides, the first ring the one fused to most others, each further ring fitted onto the
// atoms already placed (on the free side of a shared bond). Systems whose polygons do not close (bridged
// bicycles, cages, rings that come back onto themselves) are relaxed in 3D towards their bond lengths and
// angles instead.

#include "chem/geometry_internal.h"

#include <algorithm>
#include <numbers>
#include <unordered_map>

namespace corvatin::geometry_detail {

namespace {

constexpr double kPi = std::numbers::pi;

class BlockLayout {
public:
  BlockLayout(const Topology& topology, RingBlock& block)
      : t_(topology), b_(block), n_(block.atoms.size()), placed_(n_, 0) {
    b_.local.assign(n_, Vec3{});
    std::unordered_map<int, int> position;
    for (size_t k = 0; k < n_; ++k)
      position.emplace(b_.atoms[k], static_cast<int>(k));
    inner_.resize(n_);
    for (size_t k = 0; k < n_; ++k)
      for (int nb : t_.Neighbours(b_.atoms[k]))
        if (const auto it = position.find(nb); it != position.end()) inner_[k].push_back(it->second);
    for (size_t k = 0; k < n_; ++k)
      for (int j : inner_[k])
        meanBond_ += Bond(k, static_cast<size_t>(j));
    size_t bonds = 0;
    for (const auto& l : inner_)
      bonds += l.size();
    meanBond_ = bonds ? meanBond_ / static_cast<double>(bonds) : 1.5;
  }

  void Run() {
    bool relax = b_.rings.empty();
    if (!relax) relax = !PlaceRings();
    relax = PlaceLeftovers() || relax;
    relax = relax || Crowded(b_.local) || Stretched();
    if (relax) RelaxIn3D();
    b_.relaxed = relax;
  }

private:
  double Bond(size_t a, size_t b) const { return t_.BondLength(b_.atoms[a], b_.atoms[b]); }

  std::vector<Vec3> Polygon(const std::vector<int>& ring) const {
    std::vector<double> sides(ring.size());
    for (size_t k = 0; k < ring.size(); ++k)
      sides[k] = Bond(static_cast<size_t>(ring[k]), static_cast<size_t>(ring[(k + 1) % ring.size()]));
    return CyclicPolygon(sides);
  }

  /// How many other rings share at least a bond with ring r.
  int FusedNeighbours(size_t r) const {
    int count = 0;
    for (size_t s = 0; s < b_.rings.size(); ++s) {
      if (s == r) continue;
      int shared = 0;
      for (int a : b_.rings[r])
        shared += std::count(b_.rings[s].begin(), b_.rings[s].end(), a) ? 1 : 0;
      if (shared >= 2) ++count;
    }
    return count;
  }

  /// Places every ring; false when some ring had to be bent onto atoms that did not fit it.
  bool PlaceRings() {
    size_t first = 0;
    int bestFused = -1;
    for (size_t r = 0; r < b_.rings.size(); ++r) {
      const int fused = FusedNeighbours(r);
      if (fused > bestFused || (fused == bestFused && b_.rings[r].size() > b_.rings[first].size())) {
        bestFused = fused;
        first = r;
      }
    }
    const std::vector<Vec3> polygon = Polygon(b_.rings[first]);
    for (size_t k = 0; k < polygon.size(); ++k)
      Put(static_cast<size_t>(b_.rings[first][k]), polygon[k]);
    bool flat = true;
    for (;;) {
      // Next: a ring sharing exactly one bond with what is placed, else one sharing a longer run, else any.
      int best = -1, bestClass = 4;
      for (size_t r = 0; r < b_.rings.size(); ++r) {
        const std::vector<int>& ring = b_.rings[r];
        size_t count = 0;
        for (int a : ring)
          count += placed_[static_cast<size_t>(a)] ? 1 : 0;
        if (count == 0 || count == ring.size()) continue;
        const int runs = Runs(ring);
        const int cls = runs == 1 && count == 2 ? 0 : runs == 1 && count > 2 ? 1 : 2;
        if (cls < bestClass) {
          bestClass = cls;
          best = static_cast<int>(r);
        }
      }
      if (best < 0) break;
      flat = PlaceRing(b_.rings[static_cast<size_t>(best)]) && flat;
    }
    return flat;
  }

  /// Number of maximal runs of placed atoms around the ring.
  int Runs(const std::vector<int>& ring) const {
    int runs = 0;
    for (size_t k = 0; k < ring.size(); ++k) {
      const bool here = placed_[static_cast<size_t>(ring[k])];
      const bool before = placed_[static_cast<size_t>(ring[(k + ring.size() - 1) % ring.size()])];
      if (here && !before) ++runs;
    }
    return runs;
  }

  bool PlaceRing(const std::vector<int>& ring) {
    const std::vector<Vec3> polygon = Polygon(ring);
    std::vector<Vec3> q, p;
    std::vector<size_t> open;
    for (size_t k = 0; k < ring.size(); ++k) {
      const auto a = static_cast<size_t>(ring[k]);
      if (placed_[a]) {
        q.push_back(polygon[k]);
        p.push_back(b_.local[a]);
      } else {
        open.push_back(k);
      }
    }
    if (q.size() == 1) {
      PlaceOnOneAtom(ring, polygon);
      return true;
    }
    // Both mirror images fit a shared bond exactly; the one that does not fall onto placed atoms wins.
    Fit2D best;
    double bestScore = 1e300;
    for (bool mirror : {false, true}) {
      const Fit2D f = FitPlanar(q, p, mirror);
      double overlap = 0.0;
      for (size_t k : open) {
        const Vec3 u = f.Apply(polygon[k]);
        for (size_t a = 0; a < n_; ++a)
          if (placed_[a]) overlap += std::pow(std::max(0.0, 1.2 * meanBond_ - Distance(u, b_.local[a])), 2);
      }
      const double score = f.rms * 100.0 + overlap;
      if (score < bestScore - 1e-9) {
        bestScore = score;
        best = f;
      }
    }
    for (size_t k : open)
      Put(static_cast<size_t>(ring[k]), best.Apply(polygon[k]));
    return best.rms < 0.1 * meanBond_;
  }

  /// A ring touching the placed atoms at a single atom points away from that atom's placed neighbours.
  void PlaceOnOneAtom(const std::vector<int>& ring, const std::vector<Vec3>& polygon) {
    size_t at = 0;
    for (size_t k = 0; k < ring.size(); ++k)
      if (placed_[static_cast<size_t>(ring[k])]) at = k;
    const auto atom = static_cast<size_t>(ring[at]);
    Vec3 away;
    for (int j : inner_[atom])
      if (placed_[static_cast<size_t>(j)]) away += b_.local[atom] - b_.local[static_cast<size_t>(j)];
    away = Length(away) > 1e-9 ? Normalized(away) : Vec3{1, 0, 0};
    const Vec3 toCentre = Normalized(-polygon[at]);
    const double angle = std::atan2(away.y, away.x) - std::atan2(toCentre.y, toCentre.x);
    const double c = std::cos(angle), s = std::sin(angle);
    for (size_t k = 0; k < ring.size(); ++k) {
      const auto a = static_cast<size_t>(ring[k]);
      if (placed_[a]) continue;
      const Vec3 d = polygon[k] - polygon[at];
      Put(a, b_.local[atom] + Vec3{c * d.x - s * d.y, s * d.x + c * d.y, 0.0});
    }
  }

  /// Atoms in no ring of the set (only when the ring set is incomplete) go next to a placed neighbour.
  bool PlaceLeftovers() {
    bool any = false;
    bool progress = true;
    while (progress) {
      progress = false;
      for (size_t a = 0; a < n_; ++a) {
        if (placed_[a]) continue;
        for (int j : inner_[a])
          if (placed_[static_cast<size_t>(j)]) {
            const double angle = 2.399963 * static_cast<double>(a);
            Put(a, b_.local[static_cast<size_t>(j)] +
                       Vec3{std::cos(angle), std::sin(angle), 0.3} * (Bond(a, static_cast<size_t>(j)) / 1.044));
            progress = any = true;
            break;
          }
      }
    }
    for (size_t a = 0; a < n_; ++a)
      if (!placed_[a]) {
        // Unreachable from the placed part (only without any ring): start on a spiral.
        const double angle = 2.399963 * static_cast<double>(a);
        const double r = meanBond_ * std::sqrt(static_cast<double>(a) + 1.0);
        Put(a, Vec3{r * std::cos(angle), r * std::sin(angle), 0.5 * std::sin(1.7 * static_cast<double>(a))});
        any = true;
      }
    return any;
  }

  /// Whether some bond closed by the polygons came out far from its length (rings placed entirely by others).
  bool Stretched() const {
    for (size_t a = 0; a < n_; ++a)
      for (int j : inner_[a])
        if (std::fabs(Distance(b_.local[a], b_.local[static_cast<size_t>(j)]) - Bond(a, static_cast<size_t>(j))) >
            0.05 * Bond(a, static_cast<size_t>(j)))
          return true;
    return false;
  }

  /// Whether two atoms of the system that are not bonded fell (nearly) onto each other, as in helicenes.
  bool Crowded(const std::vector<Vec3>& p) const {
    constexpr size_t kMaxChecked = 400;
    if (n_ > kMaxChecked) return false;
    for (size_t a = 0; a < n_; ++a)
      for (size_t c = a + 1; c < n_; ++c)
        if (Distance(p[a], p[c]) < 0.6 * meanBond_ &&
            std::find(inner_[a].begin(), inner_[a].end(), static_cast<int>(c)) == inner_[a].end())
          return true;
    return false;
  }

  /// The angle at ring atom b between a and c: that of the regular polygon of the smallest ring through both
  /// bonds, for rings of three and four atoms and for flat atoms; 0 when no short ring runs through both. The
  /// smallest ring is searched in the graph itself, as a ring set may leave out a face of a cage.
  double RingAngle(size_t a, size_t b, size_t c) const {
    constexpr int kLongestPath = 8;
    std::vector<int> depth(n_, -1);
    std::vector<size_t> frontier{a};
    depth[a] = 0;
    depth[b] = 0; // the path may not pass through b
    int size = 0;
    for (int d = 0; d < kLongestPath && size == 0 && !frontier.empty(); ++d) {
      std::vector<size_t> next;
      for (size_t v : frontier)
        for (int w : inner_[v]) {
          const auto wi = static_cast<size_t>(w);
          if (wi == c) size = d + 3;
          // Rings through a metal bonded to a whole ring face (eta-5) say nothing about the ring's own angles.
          if (depth[wi] >= 0 || HighlyCoordinated(wi)) continue;
          depth[wi] = d + 1;
          next.push_back(wi);
        }
      frontier = std::move(next);
    }
    if (size == 0) return 0.0;
    const Shape shape = t_.shape[static_cast<size_t>(b_.atoms[b])];
    if (size > 4 && shape == Shape::Tetrahedral) return ShapeAngle(shape);
    return kPi * static_cast<double>(size - 2) / static_cast<double>(size);
  }

  bool HighlyCoordinated(size_t a) const {
    const Shape shape = t_.shape[static_cast<size_t>(b_.atoms[a])];
    return shape == Shape::Bipyramidal || shape == Shape::Octahedral || shape == Shape::Spread;
  }

  static double ShapeAngle(Shape shape) {
    switch (shape) {
    case Shape::Linear: return kPi;
    case Shape::Trigonal: return 2.0 * kPi / 3.0;
    default: return std::acos(-1.0 / 3.0);
    }
  }

  static double Side(double l1, double l2, double angle) {
    return std::sqrt(l1 * l1 + l2 * l2 - 2.0 * l1 * l2 * std::cos(angle));
  }

  /// Bond lengths, angles (as 1-3 distances) and, for rings of flat atoms, the cis 1-4 distances that keep them
  /// flat.
  std::vector<Restraint> IdealRestraints() const {
    std::vector<Restraint> restraints;
    for (size_t a = 0; a < n_; ++a)
      for (int j : inner_[a])
        if (static_cast<size_t>(j) > a)
          restraints.push_back({static_cast<int>(a), j, Bond(a, static_cast<size_t>(j)), 1.0});
    for (size_t b = 0; b < n_; ++b) {
      const std::vector<int>& nb = inner_[b];
      if (nb.size() > 4) continue;
      const Shape shape = t_.shape[static_cast<size_t>(b_.atoms[b])];
      std::vector<double> angles;
      std::vector<std::pair<int, int>> pairs;
      for (size_t i = 0; i < nb.size(); ++i)
        for (size_t k = i + 1; k < nb.size(); ++k) {
          pairs.emplace_back(nb[i], nb[k]);
          angles.push_back(RingAngle(static_cast<size_t>(nb[i]), b, static_cast<size_t>(nb[k])));
        }
      // A flat atom shared by three rings: the angle between the rings closes the full turn.
      if (shape == Shape::Trigonal && nb.size() == 3) {
        const int missing = static_cast<int>(std::count(angles.begin(), angles.end(), 0.0));
        if (missing == 1) {
          double sum = 0.0;
          for (double a : angles)
            sum += a;
          for (double& a : angles)
            if (a == 0.0) a = 2.0 * kPi - sum;
        }
      }
      for (size_t k = 0; k < pairs.size(); ++k) {
        const auto a = static_cast<size_t>(pairs[k].first), c = static_cast<size_t>(pairs[k].second);
        const double angle = angles[k] > 0.0 ? angles[k] : ShapeAngle(shape);
        restraints.push_back({pairs[k].first, pairs[k].second, Side(Bond(a, b), Bond(b, c), angle), 0.5});
      }
    }
    for (const std::vector<int>& ring : b_.rings) {
      const size_t m = ring.size();
      if (m > 8) continue;
      bool flat = true;
      for (int a : ring)
        flat = flat && t_.shape[static_cast<size_t>(b_.atoms[static_cast<size_t>(a)])] != Shape::Tetrahedral;
      if (!flat) continue;
      const double phi = kPi * static_cast<double>(m - 2) / static_cast<double>(m);
      for (size_t k = 0; k < m; ++k) {
        const auto a = static_cast<size_t>(ring[k]), b = static_cast<size_t>(ring[(k + 1) % m]);
        const auto c = static_cast<size_t>(ring[(k + 2) % m]), d = static_cast<size_t>(ring[(k + 3) % m]);
        if (a == d) continue;
        const double l1 = Bond(a, b), l2 = Bond(b, c), l3 = Bond(c, d);
        const Vec3 pa{l1 * std::cos(phi), l1 * std::sin(phi), 0.0};
        const Vec3 pd{l2 - l3 * std::cos(phi), l3 * std::sin(phi), 0.0};
        restraints.push_back({static_cast<int>(a), static_cast<int>(d), Distance(pa, pd), 0.5});
      }
    }
    return restraints;
  }

  /// Whether every restraint holds closely (bonds within 5 %, the rest within 12 %) and no atoms overlap.
  bool Acceptable(const std::vector<Restraint>& restraints, const std::vector<Vec3>& p) const {
    for (const Restraint& r : restraints) {
      const double d = Distance(p[static_cast<size_t>(r.a)], p[static_cast<size_t>(r.b)]);
      if (std::fabs(d - r.distance) > (r.weight >= 1.0 ? 0.05 : 0.12) * r.distance) return false;
    }
    return !Crowded(p);
  }

  /// Rings of flat atoms (aromatic, conjugated) move as rigid bodies: each cluster of such rings fused through
  /// shared bonds keeps the flat layout of its polygons, or, where those do not close, each ring its own polygon.
  std::vector<RigidGroup> FlatRings() const {
    std::vector<size_t> flatRings;
    for (size_t r = 0; r < b_.rings.size(); ++r) {
      bool flat = b_.rings[r].size() <= 8;
      for (int a : b_.rings[r])
        flat = flat && t_.shape[static_cast<size_t>(b_.atoms[static_cast<size_t>(a)])] != Shape::Tetrahedral;
      if (flat) flatRings.push_back(r);
    }
    // Clusters of flat rings sharing a bond (two atoms), by repeated merging.
    std::vector<size_t> cluster(flatRings.size());
    for (size_t i = 0; i < cluster.size(); ++i)
      cluster[i] = i;
    auto root = [&](size_t i) {
      while (cluster[i] != i)
        i = cluster[i];
      return i;
    };
    for (size_t i = 0; i < flatRings.size(); ++i)
      for (size_t k = i + 1; k < flatRings.size(); ++k) {
        int shared = 0;
        for (int a : b_.rings[flatRings[i]])
          shared += std::count(b_.rings[flatRings[k]].begin(), b_.rings[flatRings[k]].end(), a) ? 1 : 0;
        if (shared >= 2) cluster[root(k)] = root(i);
      }
    std::vector<RigidGroup> groups;
    for (size_t c = 0; c < flatRings.size(); ++c) {
      if (root(c) != c) continue;
      RingBlock sub;
      std::vector<int> members; // block positions of the sub-system's atoms
      std::unordered_map<int, int> index;
      for (size_t i = 0; i < flatRings.size(); ++i) {
        if (root(i) != c) continue;
        std::vector<int> ring;
        for (int a : b_.rings[flatRings[i]]) {
          const auto [it, added] = index.emplace(a, static_cast<int>(members.size()));
          if (added) {
            members.push_back(a);
            sub.atoms.push_back(b_.atoms[static_cast<size_t>(a)]);
          }
          ring.push_back(it->second);
        }
        sub.rings.push_back(std::move(ring));
      }
      BlockLayout layout(t_, sub);
      // Rings that close onto themselves (helicenes) cannot be one flat body.
      if (sub.rings.size() > 1 && layout.PlaceRings() && !layout.Stretched() && !layout.Crowded(sub.local)) {
        groups.push_back(RigidGroup{members, sub.local});
        continue;
      }
      for (const std::vector<int>& ring : sub.rings) {
        RigidGroup g;
        for (int a : ring)
          g.members.push_back(members[static_cast<size_t>(a)]);
        g.shape = Polygon(g.members);
        groups.push_back(std::move(g));
      }
    }
    return groups;
  }

  void RelaxIn3D() {
    const std::vector<Restraint> restraints = IdealRestraints();
    const std::vector<RigidGroup> groups = FlatRings();
    b_.flatGroups = groups;
    constexpr int kSweeps = 1500;
    // Systems of flat atoms whose polygons only just fail to close (rings of five among sixes) stay flat when
    // they can; bridgeheads (a tetrahedral atom in three rings of the system) never can.
    bool bridged = false;
    for (size_t a = 0; a < n_; ++a)
      bridged = bridged || (inner_[a].size() >= 3 && t_.shape[static_cast<size_t>(b_.atoms[a])] == Shape::Tetrahedral);
    if (!bridged) {
      std::vector<Vec3> flat = b_.local;
      for (Vec3& p : flat)
        p.z = 0.0;
      Relax(t_, b_.atoms, restraints, flat, kSweeps, groups);
      if (Acceptable(restraints, flat)) {
        b_.local = flat;
        return;
      }
    }
    // Folded in 3D from two starts, keeping the better: the flat layout lightly puckered (it has no out-of-plane
    // forces otherwise), and the atoms spread over a sphere in breadth-first order (cages whose flat drawing
    // overlaps itself fold from there without getting caught inside out).
    std::vector<Vec3> puckered = b_.local;
    for (size_t a = 0; a < n_; ++a)
      puckered[a].z += 0.3 * std::sin(2.3 * static_cast<double>(a) + 0.7);
    Relax(t_, b_.atoms, restraints, puckered, kSweeps, groups);
    std::vector<Vec3> sphere = SphereStart();
    Relax(t_, b_.atoms, restraints, sphere, kSweeps, groups);
    b_.local = Violation(restraints, sphere) < Violation(restraints, puckered) ? sphere : puckered;
  }

  /// The atoms on a sphere (the golden-angle spiral), in breadth-first order so that neighbours start close.
  std::vector<Vec3> SphereStart() const {
    std::vector<int> order{0};
    std::vector<char> seen(n_, 0);
    seen[0] = 1;
    for (size_t i = 0; i < order.size(); ++i)
      for (int j : inner_[static_cast<size_t>(order[i])])
        if (!seen[static_cast<size_t>(j)]) {
          seen[static_cast<size_t>(j)] = 1;
          order.push_back(j);
        }
    for (size_t a = 0; a < n_; ++a)
      if (!seen[a]) order.push_back(static_cast<int>(a));
    const double radius = 0.5 * meanBond_ * std::sqrt(static_cast<double>(n_));
    std::vector<Vec3> p(n_);
    const double golden = kPi * (3.0 - std::sqrt(5.0));
    for (size_t i = 0; i < n_; ++i) {
      const double z = 1.0 - (2.0 * static_cast<double>(i) + 1.0) / static_cast<double>(n_);
      const double r = std::sqrt(std::max(0.0, 1.0 - z * z));
      p[static_cast<size_t>(order[i])] =
          Vec3{r * std::cos(golden * static_cast<double>(i)), r * std::sin(golden * static_cast<double>(i)), z} *
          radius;
    }
    return p;
  }

  /// Sum of the squared relative violations of the restraints, and of overlaps.
  double Violation(const std::vector<Restraint>& restraints, const std::vector<Vec3>& p) const {
    double sum = 0.0;
    for (const Restraint& r : restraints) {
      const double e = (Distance(p[static_cast<size_t>(r.a)], p[static_cast<size_t>(r.b)]) - r.distance) / r.distance;
      sum += e * e;
    }
    return Crowded(p) ? sum + 1.0 : sum;
  }

  void Put(size_t a, const Vec3& p) {
    b_.local[a] = p;
    placed_[a] = 1;
  }

  const Topology& t_;
  RingBlock& b_;
  size_t n_;
  std::vector<char> placed_;
  std::vector<std::vector<int>> inner_; // neighbours within the block, as block positions
  double meanBond_ = 0.0;
};

} // namespace

void LayOutBlock(const Topology& topology, RingBlock& block) { BlockLayout(topology, block).Run(); }

} // namespace corvatin::geometry_detail
