// Not a test: the quality check of generated geometries over a SMILES list (scripts/validate_geometry.sh).
// For every molecule (parsed and completed as the SMILES entry box does): every atom must get coordinates; the
// bond lengths are compared with the sums of covalent radii (within 10 %); the closest pair of atoms that are
// not bonded must stay 0.8 angstrom or more apart; the atoms of every aromatic ring must lie within 0.1 angstrom
// of the ring's least-squares plane. Prints the figures and, with -v, the molecules that miss a criterion.
//
// Usage: geometry_check FILE.smi [COUNT [FIRST]] [-v]

#include "chem/geometry.h"
#include "chem/molecule.h"
#include "chem/smiles.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace corvatin;

namespace {

struct P {
  double x, y, z;
};

P At(const IAtom* a) { return {a->GetX3D(), a->GetY3D(), a->GetZ3D()}; }
double Dist(const P& a, const P& b) { return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z)); }

/// The arguments written one after another.
template <class... Args> std::string Text(const Args&... args) {
  std::ostringstream out;
  (out << ... << args);
  return out.str();
}

/// Smallest eigenvalue's eigenvector of a symmetric 3 x 3 matrix by Jacobi rotations.
P SmallestAxis(double m[3][3]) {
  double v[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int sweep = 0; sweep < 50; ++sweep)
    for (int p = 0; p < 3; ++p)
      for (int q = p + 1; q < 3; ++q) {
        if (std::fabs(m[p][q]) < 1e-15) continue;
        const double theta = (m[q][q] - m[p][p]) / (2 * m[p][q]);
        const double t = (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
        const double c = 1 / std::sqrt(t * t + 1), s = t * c;
        for (int k = 0; k < 3; ++k) {
          const double mkp = m[k][p], mkq = m[k][q];
          m[k][p] = c * mkp - s * mkq;
          m[k][q] = s * mkp + c * mkq;
        }
        for (int k = 0; k < 3; ++k) {
          const double mpk = m[p][k], mqk = m[q][k];
          m[p][k] = c * mpk - s * mqk;
          m[q][k] = s * mpk + c * mqk;
        }
        for (int k = 0; k < 3; ++k) {
          const double vkp = v[k][p], vkq = v[k][q];
          v[k][p] = c * vkp - s * vkq;
          v[k][q] = s * vkp + c * vkq;
        }
      }
  int best = 0;
  for (int k = 1; k < 3; ++k)
    if (m[k][k] < m[best][best]) best = k;
  return {v[0][best], v[1][best], v[2][best]};
}

/// Largest distance of the ring's atoms from their least-squares plane.
double PlaneDeviation(const ISubGraph& ring) {
  std::vector<P> pts;
  for (int i = 0; i < ring.VertexCount(); ++i)
    pts.push_back(At(AsAtom(ring.GetVertex(i))));
  P c{0, 0, 0};
  for (const P& p : pts) {
    c.x += p.x / static_cast<double>(pts.size());
    c.y += p.y / static_cast<double>(pts.size());
    c.z += p.z / static_cast<double>(pts.size());
  }
  double m[3][3] = {};
  for (const P& p : pts) {
    const double d[3] = {p.x - c.x, p.y - c.y, p.z - c.z};
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b)
        m[a][b] += d[a] * d[b];
  }
  const P n = SmallestAxis(m);
  double worst = 0;
  for (const P& p : pts)
    worst = std::max(worst, std::fabs((p.x - c.x) * n.x + (p.y - c.y) * n.y + (p.z - c.z) * n.z));
  return worst;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: geometry_check FILE.smi [COUNT [FIRST]] [-v]\n";
    return 2;
  }
  bool verbose = false;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-v") == 0)
      verbose = true;
    else
      args.emplace_back(argv[i]);
  }
  const long count = args.size() > 1 ? std::stol(args[1]) : 300;
  const long first = args.size() > 2 ? std::stol(args[2]) : 0;
  std::ifstream in(args[0]);
  std::string line;
  long index = -1, molecules = 0, parseErrors = 0, missing3D = 0, bonds = 0, goodBonds = 0, clashFree = 0;
  long rings = 0, flatRings = 0, under15 = 0, under18 = 0;
  double worstBond = 0, totalSeconds = 0, slowest = 0;
  while (molecules < count && std::getline(in, line)) {
    if (++index < first) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string smiles = line.substr(0, line.find_first_of(" \t"));
    const std::string name = line.find('\t') != std::string::npos ? line.substr(line.find('\t') + 1) : "";
    Ptr<IMolecule> m = NewMolecule();
    try {
      ParseSMILES(smiles, *m);
    } catch (const std::exception& e) {
      ++parseErrors;
      if (verbose) std::cout << "parse error " << index << " " << name << ": " << e.what() << "\n";
      continue;
    }
    ++molecules;
    const auto start = std::chrono::steady_clock::now();
    m->GenerateGeometry();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    totalSeconds += seconds;
    slowest = std::max(slowest, seconds);
    std::vector<std::string> faults;
    for (int i = 0; i < m->VertexCount(); ++i)
      if (!m->GetAtom(i)->Has3D()) {
        ++missing3D;
        faults.push_back("no 3D");
        break;
      }
    for (int b = 0; b < m->EdgeCount(); ++b) {
      const IBond* bond = m->GetBond(b);
      const double target = bond->GetAtom1()->CovalentRadius() + bond->GetAtom2()->CovalentRadius();
      const double d = Dist(At(bond->GetAtom1()), At(bond->GetAtom2()));
      const double err = std::fabs(d - target) / target;
      worstBond = std::max(worstBond, err);
      ++bonds;
      if (err <= 0.1)
        ++goodBonds;
      else
        faults.push_back(Text("bond ", bond->GetAtom1()->GetIndex(), "-", bond->GetAtom2()->GetIndex(), " ", d,
                              " vs ", target));
    }
    double closest = 1e9;
    int ca = -1, cb = -1;
    for (int i = 0; i < m->VertexCount(); ++i)
      for (int j = i + 1; j < m->VertexCount(); ++j) {
        if (m->GetAtom(i)->IsAdjacent(m->GetAtom(j))) continue;
        const double d = Dist(At(m->GetAtom(i)), At(m->GetAtom(j)));
        if (d < closest) {
          closest = d;
          ca = i;
          cb = j;
        }
      }
    // Beyond the criterion: how close atoms three or more bonds apart come (real molecules: H..H about 2 A).
    double closest14 = 1e9;
    for (int i = 0; i < m->VertexCount(); ++i)
      for (int j = i + 1; j < m->VertexCount(); ++j) {
        const IAtom* a = m->GetAtom(i);
        const IAtom* b = m->GetAtom(j);
        bool near = a->IsAdjacent(b);
        for (int k = 0; k < a->NeighbourCount() && !near; ++k)
          near = a->GetNeighbour(k)->IsAdjacent(b);
        if (!near) closest14 = std::min(closest14, Dist(At(a), At(b)));
      }
    under15 += closest14 < 1.5;
    if (verbose && closest14 < 1.5) faults.push_back(Text("atoms three or more bonds apart at ", closest14));
    under18 += closest14 < 1.8;
    if (closest >= 0.8)
      ++clashFree;
    else
    {
      auto describe = [&](int i) {
        const IAtom* a = m->GetAtom(i);
        std::ostringstream text;
        text << a->GetSymbol() << i << "(";
        for (int k = 0; k < a->NeighbourCount(); ++k)
          text << (k ? "," : "") << m->GetAtom(a->GetNeighbour(k)->GetIndex())->GetSymbol()
               << a->GetNeighbour(k)->GetIndex();
        text << ")";
        return text.str();
      };
      faults.push_back(Text("contact ", describe(ca), " .. ", describe(cb), " ", closest));
    }
    m->FindRings();
    for (int r = 0; r < m->RingCount(); ++r) {
      const ISubGraph* ring = m->GetRing(r);
      bool aromatic = ring->EdgeCount() > 0;
      for (int e = 0; e < ring->EdgeCount() && aromatic; ++e)
        aromatic = AsBond(ring->GetEdge(e))->GetBondType() == bkAromatic;
      if (!aromatic) continue;
      ++rings;
      const double dev = PlaneDeviation(*ring);
      if (dev <= 0.1)
        ++flatRings;
      else
        faults.push_back(Text("ring ", r, " off plane by ", dev));
    }
    if (const char* dump = std::getenv("GEOMETRY_DUMP"); dump && !faults.empty()) {
      std::ofstream out(Text(dump, "/", index, ".xyz"));
      out << m->VertexCount() << "\n" << name << "\n";
      for (int i = 0; i < m->VertexCount(); ++i) {
        const IAtom* a = m->GetAtom(i);
        out << a->GetSymbol() << " " << a->GetX3D() << " " << a->GetY3D() << " " << a->GetZ3D() << "\n";
      }
      for (int b = 0; b < m->EdgeCount(); ++b)
        out << "bond " << m->GetBond(b)->GetAtom1()->GetIndex() << " " << m->GetBond(b)->GetAtom2()->GetIndex()
            << " " << m->GetBond(b)->GetBondType() << "\n";
    }
    if (verbose && !faults.empty()) {
      std::cout << index << " " << name << " " << smiles << " (" << m->VertexCount() << " atoms)\n";
      for (size_t k = 0; k < std::min<size_t>(faults.size(), 6); ++k)
        std::cout << "    " << faults[k] << "\n";
    }
  }
  std::printf("molecules %ld (parse errors %ld)\n", molecules, parseErrors);
  std::printf("every atom with 3D coordinates: %ld of %ld molecules\n", molecules - missing3D, molecules);
  std::printf("bonds within 10%% of the covalent radii sum: %ld of %ld (%.2f%%), worst %.1f%%\n", goodBonds, bonds,
              bonds ? 100.0 * static_cast<double>(goodBonds) / static_cast<double>(bonds) : 0.0, 100 * worstBond);
  std::printf("molecules without non-bonded pair under 0.8 A: %ld of %ld (%.2f%%)\n", clashFree, molecules,
              molecules ? 100.0 * static_cast<double>(clashFree) / static_cast<double>(molecules) : 0.0);
  std::printf("molecules with atoms three or more bonds apart closer than 1.5 A: %ld, than 1.8 A: %ld\n", under15,
              under18);
  std::printf("aromatic rings within 0.1 A of their plane: %ld of %ld (%.2f%%)\n", flatRings, rings,
              rings ? 100.0 * static_cast<double>(flatRings) / static_cast<double>(rings) : 0.0);
  std::printf("generation time: mean %.2f ms, slowest %.2f ms\n", molecules ? 1000 * totalSeconds / static_cast<double>(molecules) : 0.0,
              1000 * slowest);
  return 0;
}
