// Coordinates from topology. Each fragment grows from its largest ring system (or, without rings, from the
// centre of its longest chain) breadth first: every placed atom hands its unplaced neighbours the free bond
// directions of its own arrangement, the largest branch taking the position trans to the chain behind it (so
// chains come out as the extended zigzag), and ring systems arrive whole, as the templates of
// geometry_blocks.cpp, turned about their bond to the rest for the fewest close contacts. A clean-up then removes
// whatever contacts remain. Fragments are set side by side along x.

#include "chem/geometry.h"

#include "chem/geometry_internal.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <numbers>
#include <unordered_map>
#include <unordered_set>

namespace corvatin {

namespace geometry_detail {

namespace {

constexpr double kPi = std::numbers::pi;
/// Space between the boxes of separate fragments.
constexpr double kFragmentGap = 3.0;

/// One thing to hang on a placed atom: a neighbour (with its ring system, if any) or a spiro-fused ring system.
struct Item {
  int atom = -1;
  int block = -1;
  int size = 0;
  int Directions(const RingBlock* b, const Topology& t, int at) const {
    if (block < 0) return 1;
    int count = 0;
    for (int nb : t.Neighbours(at))
      count += b->IndexOf(nb) >= 0 ? 1 : 0;
    return std::max(count, 1);
  }
};

class Builder {
public:
  Builder(const Topology& t, RingSystems& systems, std::vector<Vec3>& positions)
      : t_(t), rs_(systems), pos_(positions), placed_(static_cast<size_t>(t.n), 0),
        parent_(static_cast<size_t>(t.n), -1), branch_(static_cast<size_t>(t.n), 1),
        walkParent_(static_cast<size_t>(t.n), -2), blockPlaced_(systems.blocks.size(), 0) {}

  void Build(const std::vector<int>& component) {
    // Each fragment is built on its own about the origin; the atoms of earlier fragments are not in its way.
    grid_ = PlacedGrid{};
    int rootBlock = -1;
    for (int atom : component)
      for (int b : rs_.blocksOfAtom[static_cast<size_t>(atom)])
        if (rootBlock < 0 || rs_.blocks[static_cast<size_t>(b)].atoms.size() >
                                 rs_.blocks[static_cast<size_t>(rootBlock)].atoms.size())
          rootBlock = b;
    std::vector<int> roots;
    if (rootBlock >= 0) {
      roots = rs_.blocks[static_cast<size_t>(rootBlock)].atoms;
    } else {
      roots = {ChainCentre(component)};
    }
    BranchSizes(roots);
    if (rootBlock >= 0) {
      const RingBlock& b = rs_.blocks[static_cast<size_t>(rootBlock)];
      blockPlaced_[static_cast<size_t>(rootBlock)] = 1;
      for (size_t k = 0; k < b.atoms.size(); ++k)
        Place(b.atoms[k], b.local[k]);
    } else {
      Place(roots.front(), Vec3{});
    }
    while (!queue_.empty()) {
      const int atom = queue_.front();
      queue_.pop_front();
      Grow(atom);
    }
    // Nothing should be left; should it be, it goes next to a placed neighbour rather than nowhere.
    for (bool progress = true; progress;) {
      progress = false;
      for (int atom : component) {
        if (placed_[static_cast<size_t>(atom)]) continue;
        for (int nb : t_.Neighbours(atom))
          if (placed_[static_cast<size_t>(nb)]) {
            Place(atom, pos_[static_cast<size_t>(nb)] + Vec3{0.3, 0.8, 0.5} * t_.BondLength(atom, nb));
            progress = true;
            break;
          }
      }
    }
    for (int atom : component)
      if (!placed_[static_cast<size_t>(atom)]) Place(atom, Vec3{});
  }

private:
  /// The middle atom of a longest path (two breadth-first sweeps); chains grow from it both ways.
  int ChainCentre(const std::vector<int>& component) {
    const std::vector<int> first = Walk({component.front()});
    Forget(first);
    const std::vector<int> order = Walk({first.back()});
    std::vector<int> path;
    for (int v = order.back(); v >= 0; v = walkParent_[static_cast<size_t>(v)])
      path.push_back(v);
    Forget(order);
    return path[path.size() / 2];
  }

  /// Breadth-first order from the roots over their fragment, leaving the tree in walkParent_ (reset by Forget,
  /// so that many small fragments cost no more than one large one).
  std::vector<int> Walk(const std::vector<int>& roots) {
    std::vector<int> order;
    for (int r : roots) {
      walkParent_[static_cast<size_t>(r)] = -1;
      order.push_back(r);
    }
    for (size_t i = 0; i < order.size(); ++i)
      for (int nb : t_.Neighbours(order[i]))
        if (walkParent_[static_cast<size_t>(nb)] == -2) {
          walkParent_[static_cast<size_t>(nb)] = order[i];
          order.push_back(nb);
        }
    return order;
  }

  void Forget(const std::vector<int>& order) {
    for (int v : order)
      walkParent_[static_cast<size_t>(v)] = -2;
  }

  /// For every atom, the number of atoms behind it seen from the roots (itself included).
  void BranchSizes(const std::vector<int>& roots) {
    const std::vector<int> order = Walk(roots);
    for (size_t i = order.size(); i-- > 0;)
      if (const int p = walkParent_[static_cast<size_t>(order[i])]; p >= 0)
        branch_[static_cast<size_t>(p)] += branch_[static_cast<size_t>(order[i])];
    Forget(order);
  }

  void Place(int atom, const Vec3& p) {
    pos_[static_cast<size_t>(atom)] = p;
    placed_[static_cast<size_t>(atom)] = 1;
    grid_.Add(atom, p);
    queue_.push_back(atom);
  }

  /// Squared shortfall below the contact distance of atom placed at p, against every placed atom three or more
  /// bonds away.
  double Penalty(int atom, const Vec3& p) const {
    double sum = 0.0;
    const double r = t_.radius[static_cast<size_t>(atom)];
    grid_.ForNear(p, [&](int other) {
      const double d = Distance(p, pos_[static_cast<size_t>(other)]);
      const double c = ContactDistance(r, t_.radius[static_cast<size_t>(other)]);
      if (d < c && other != atom && !t_.Within2Bonds(atom, other)) sum += (c - d) * (c - d);
    });
    return sum;
  }

  /// The vector whose direction the largest new branch at atom should take (trans to the chain behind).
  Vec3 Reference(int atom, const std::vector<Vec3>& existing) const {
    const int p = parent_[static_cast<size_t>(atom)];
    if (p >= 0) {
      int g = parent_[static_cast<size_t>(p)];
      if (g < 0 || !placed_[static_cast<size_t>(g)]) {
        g = -1;
        for (int nb : t_.Neighbours(p))
          if (nb != atom && placed_[static_cast<size_t>(nb)] &&
              (g < 0 || branch_[static_cast<size_t>(nb)] > branch_[static_cast<size_t>(g)]))
            g = nb;
      }
      if (g >= 0) return pos_[static_cast<size_t>(p)] - pos_[static_cast<size_t>(g)];
      return Vec3{};
    }
    Vec3 away;
    for (const Vec3& e : existing)
      away += -e;
    return away;
  }

  void Grow(int atom) {
    const auto a = static_cast<size_t>(atom);
    std::vector<Vec3> existing;
    std::vector<int> open;
    for (int nb : t_.Neighbours(atom)) {
      if (placed_[static_cast<size_t>(nb)])
        existing.push_back(Normalized(pos_[static_cast<size_t>(nb)] - pos_[a]));
      else
        open.push_back(nb);
    }
    std::vector<Item> items;
    for (int b : rs_.blocksOfAtom[a])
      if (!blockPlaced_[static_cast<size_t>(b)]) {
        Item item;
        item.block = b;
        for (int nb : open)
          if (rs_.blocks[static_cast<size_t>(b)].IndexOf(nb) >= 0) item.size += branch_[static_cast<size_t>(nb)];
        items.push_back(item);
      }
    for (int nb : open) {
      bool inSpiro = false;
      for (const Item& item : items)
        inSpiro = inSpiro || (item.block >= 0 && rs_.blocks[static_cast<size_t>(item.block)].IndexOf(nb) >= 0);
      if (!inSpiro) items.push_back(Item{nb, -1, branch_[static_cast<size_t>(nb)]});
    }
    if (items.empty()) return;
    std::stable_sort(items.begin(), items.end(), [](const Item& x, const Item& y) { return x.size > y.size; });
    int count = 0;
    for (const Item& item : items)
      count += item.Directions(item.block >= 0 ? &rs_.blocks[static_cast<size_t>(item.block)] : nullptr, t_, atom);

    Vec3 reference = Reference(atom, existing);
    if (existing.size() >= 2 && parent_[a] < 0) {
      // A ring atom: above or below the ring is the choice, so the reference is the ring's normal.
      reference = Cross(existing[0], existing[1]);
    }
    // With one bond placed the rest may turn about it: the ideal (trans) turn first, then staggered alternatives.
    // With more placed the choice left is the mirror image through their plane (which side gets which branch).
    static const double kTurns[] = {0, 60, -60, 120, -120, 180, 30, -30, 90, -90, 150, -150};
    const size_t turns = existing.size() == 1 ? std::size(kTurns) : existing.size() >= 2 ? 2 : 1;
    std::vector<Vec3> best;
    double bestPenalty = 1e300;
    for (size_t k = 0; k < turns; ++k) {
      const bool mirror = existing.size() >= 2 && k == 1;
      std::vector<Vec3> dirs = FreeDirections(existing, t_.shape[a], count, mirror ? -reference : reference,
                                              existing.size() == 1 ? kTurns[k] * kPi / 180.0 : 0.0);
      double penalty = 0.0;
      size_t next = 0;
      for (const Item& item : items) {
        if (item.block < 0) {
          penalty += Penalty(item.atom, pos_[a] + dirs[next] * t_.BondLength(atom, item.atom));
          ++next;
        } else {
          next += static_cast<size_t>(item.Directions(&rs_.blocks[static_cast<size_t>(item.block)], t_, atom));
        }
      }
      if (penalty < bestPenalty - 1e-12) {
        bestPenalty = penalty;
        best = std::move(dirs);
      }
      if (bestPenalty == 0.0) break;
    }
    size_t next = 0;
    for (const Item& item : items) {
      if (item.block < 0) {
        PlaceNeighbour(atom, item.atom, best[next++]);
      } else {
        const RingBlock& b = rs_.blocks[static_cast<size_t>(item.block)];
        const auto used = static_cast<size_t>(item.Directions(&b, t_, atom));
        PlaceSpiro(item.block, atom, best[next], best[std::min(next + 1, best.size() - 1)]);
        next += used;
      }
    }
  }

  void PlaceNeighbour(int atom, int neighbour, const Vec3& dir) {
    parent_[static_cast<size_t>(neighbour)] = atom;
    int block = -1;
    for (int b : rs_.blocksOfAtom[static_cast<size_t>(neighbour)])
      if (!blockPlaced_[static_cast<size_t>(b)] &&
          (block < 0 || rs_.blocks[static_cast<size_t>(b)].atoms.size() >
                            rs_.blocks[static_cast<size_t>(block)].atoms.size()))
        block = b;
    const Vec3 at = pos_[static_cast<size_t>(atom)] + dir * t_.BondLength(atom, neighbour);
    if (block < 0) {
      Place(neighbour, at);
      return;
    }
    PlaceBlockVia(block, neighbour, atom, dir, at);
  }

  /// Places ring system b so that its atom entry sits at `at`, its free bond pointing back to `from`, turned about
  /// that bond for the fewest contacts (flat conjugated links first in the plane of the atom behind).
  void PlaceBlockVia(int block, int entry, int from, const Vec3& dir, const Vec3& at) {
    RingBlock& b = rs_.blocks[static_cast<size_t>(block)];
    blockPlaced_[static_cast<size_t>(block)] = 1;
    const int ke = b.IndexOf(entry);
    const Vec3 origin = b.local[static_cast<size_t>(ke)];
    std::vector<Vec3> inner;
    for (int nb : t_.Neighbours(entry))
      if (const int j = b.IndexOf(nb); j >= 0) inner.push_back(Normalized(b.local[static_cast<size_t>(j)] - origin));
    Vec3 centre;
    for (const Vec3& p : b.local)
      centre += p * (1.0 / static_cast<double>(b.local.size()));
    const int exo = std::max(1, static_cast<int>(t_.Neighbours(entry).size() - inner.size()));
    const Vec3 out = FreeDirections(inner, t_.shape[static_cast<size_t>(entry)], exo, origin - centre).front();
    Vec3 normal = inner.size() >= 2 ? Cross(inner[0], inner[1]) : Vec3{};
    if (Length(normal) < 1e-6) normal = AnyPerpendicular(out);

    const Vec3 back = -dir;
    Vec3 behind;
    const int p = parent_[static_cast<size_t>(from)];
    if (p >= 0 && placed_[static_cast<size_t>(p)]) {
      behind = pos_[static_cast<size_t>(p)] - pos_[static_cast<size_t>(from)];
    } else {
      for (int nb : t_.Neighbours(from))
        if (nb != entry && placed_[static_cast<size_t>(nb)]) {
          behind = pos_[static_cast<size_t>(nb)] - pos_[static_cast<size_t>(from)];
          break;
        }
    }
    Vec3 targetNormal = Cross(dir, behind);
    if (Length(targetNormal) < 1e-6) targetNormal = AnyPerpendicular(dir);
    const Rotation base = FrameRotation(out, normal, back, targetNormal);

    static const double kFlatFirst[] = {0, 180, 30, -30, 150, -150, 60, -60, 120, -120, 90, -90};
    static const double kCrossFirst[] = {90, -90, 60, -60, 120, -120, 0, 180, 30, -30, 150, -150};
    const bool flat = t_.shape[static_cast<size_t>(from)] == Shape::Trigonal;
    const double* turns = flat ? kFlatFirst : kCrossFirst;
    Rotation best = base;
    double bestPenalty = 1e300;
    for (size_t k = 0; k < std::size(kFlatFirst); ++k) {
      const Rotation r = Compose(base, AxisRotation(back, turns[k] * kPi / 180.0));
      double penalty = 0.0;
      for (size_t i = 0; i < b.atoms.size(); ++i)
        if (static_cast<int>(i) != ke) penalty += Penalty(b.atoms[i], at + r.Apply(b.local[i] - origin));
      if (penalty < bestPenalty - 1e-12) {
        bestPenalty = penalty;
        best = r;
      }
      if (bestPenalty == 0.0) break;
    }
    Place(entry, at);
    for (size_t i = 0; i < b.atoms.size(); ++i)
      if (static_cast<int>(i) != ke && !placed_[static_cast<size_t>(b.atoms[i])])
        Place(b.atoms[i], at + best.Apply(b.local[i] - origin));
  }

  /// Places ring system b around its atom `at` (already placed), its two bonds there along d1 and d2.
  void PlaceSpiro(int block, int atom, const Vec3& d1, const Vec3& d2) {
    RingBlock& b = rs_.blocks[static_cast<size_t>(block)];
    blockPlaced_[static_cast<size_t>(block)] = 1;
    const int ka = b.IndexOf(atom);
    const Vec3 origin = b.local[static_cast<size_t>(ka)];
    std::vector<Vec3> inner;
    for (int nb : t_.Neighbours(atom))
      if (const int j = b.IndexOf(nb); j >= 0) inner.push_back(Normalized(b.local[static_cast<size_t>(j)] - origin));
    if (inner.size() < 2) inner.push_back(AnyPerpendicular(inner.empty() ? Vec3{1, 0, 0} : inner[0]));
    const Vec3 here = pos_[static_cast<size_t>(atom)];
    Rotation best;
    double bestPenalty = 1e300;
    for (bool swap : {false, true}) {
      const Vec3 t1 = swap ? d2 : d1, t2 = swap ? d1 : d2;
      const Rotation r = FrameRotation(inner[0] + inner[1], inner[0] - inner[1], t1 + t2, t1 - t2);
      double penalty = 0.0;
      for (size_t i = 0; i < b.atoms.size(); ++i)
        if (static_cast<int>(i) != ka) penalty += Penalty(b.atoms[i], here + r.Apply(b.local[i] - origin));
      if (penalty < bestPenalty - 1e-12) {
        bestPenalty = penalty;
        best = r;
      }
    }
    for (size_t i = 0; i < b.atoms.size(); ++i)
      if (!placed_[static_cast<size_t>(b.atoms[i])]) Place(b.atoms[i], here + best.Apply(b.local[i] - origin));
  }

  const Topology& t_;
  RingSystems& rs_;
  std::vector<Vec3>& pos_;
  std::vector<char> placed_;
  std::vector<int> parent_;
  std::vector<int> branch_;
  std::vector<int> walkParent_; // -2 outside a walk
  std::vector<char> blockPlaced_;
  std::deque<int> queue_;
  PlacedGrid grid_;
};

} // namespace

} // namespace geometry_detail

void GenerateGeometry(IMolecule& molecule) {
  using namespace geometry_detail;
  const Topology t = ReadTopology(molecule);
  RingSystems systems = FindRingSystems(t);
  for (RingBlock& b : systems.blocks)
    LayOutBlock(t, b);
  std::vector<Vec3> pos(static_cast<size_t>(t.n));
  Builder builder(t, systems, pos);
  double right = 0.0;
  bool first = true;
  for (const std::vector<int>& component : Components(t)) {
    builder.Build(component);
    CleanUp(t, systems, component, pos);
    // Side by side along x, each fragment centred on the x axis.
    Vec3 low = pos[static_cast<size_t>(component.front())], high = low;
    for (int atom : component) {
      const Vec3& p = pos[static_cast<size_t>(atom)];
      low = Vec3{std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
      high = Vec3{std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const Vec3 shift{first ? 0.0 : right + kFragmentGap - low.x, -(low.y + high.y) / 2, -(low.z + high.z) / 2};
    for (int atom : component)
      pos[static_cast<size_t>(atom)] += shift;
    right = high.x + shift.x;
    first = false;
  }
  molecule.BeginUpdate();
  try {
    for (int i = 0; i < t.n; ++i) {
      IAtom* atom = molecule.GetAtom(i);
      const Vec3& p = pos[static_cast<size_t>(i)];
      atom->SetX3D(p.x);
      atom->SetY3D(p.y);
      atom->SetZ3D(p.z);
    }
    ModelCoordinatesChanged(molecule);
  } catch (...) {
    molecule.EndUpdate();
    throw;
  }
  molecule.EndUpdate();
}

} // namespace corvatin
