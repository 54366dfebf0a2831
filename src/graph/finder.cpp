// Substructure search. The pattern is walked depth first from its start vertex; at each pattern vertex every
// arrangement of distinct target neighbours is tried for the pattern's unvisited neighbours, in lexicographic
// order. A list of partial mappings ("states") travels down the walk and comes back as the union of the
// mappings that survived, so sibling sub-patterns combine with every way the earlier ones matched.
#include "graph/finder.h"

#include "core/errors.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace corvatin {

// ----------------------------------------------------------------------------------------------- tables

void TGraphFinder::NodeTable::Build(const ISubGraph& sub) {
  Clear();
  vertexCount = sub.VertexCount();
  edgeCount = sub.EdgeCount();
  vertices.resize(static_cast<size_t>(vertexCount));
  edges.resize(static_cast<size_t>(edgeCount));
  std::unordered_map<const IVertex*, int> nodeOf;
  std::unordered_map<const IEdge*, int> edgeOf;
  nodeOf.reserve(static_cast<size_t>(vertexCount));
  edgeOf.reserve(static_cast<size_t>(edgeCount));
  for (int i = 0; i < vertexCount; ++i) {
    vertices[static_cast<size_t>(i)] = sub.GetVertex(i);
    nodeOf.emplace(vertices[static_cast<size_t>(i)], i);
  }
  for (int i = 0; i < edgeCount; ++i) {
    edges[static_cast<size_t>(i)] = sub.GetEdge(i);
    edgeOf.emplace(edges[static_cast<size_t>(i)], i);
  }
  // Degrees count only the sub-graph's own edges, so a hydrogen-suppressed graph matches by heavy degree.
  firstLink.assign(static_cast<size_t>(vertexCount) + 1, 0);
  for (int i = 0; i < vertexCount; ++i) {
    const IVertex* v = vertices[static_cast<size_t>(i)];
    firstLink[static_cast<size_t>(i)] = static_cast<int>(links.size());
    for (int k = 0; k < v->EdgeCount(); ++k) {
      auto e = edgeOf.find(v->GetEdge(k));
      if (e == edgeOf.end()) continue;
      auto n = nodeOf.find(v->GetNeighbour(k));
      if (n == nodeOf.end()) continue;
      links.push_back(Link{n->second, e->second});
    }
  }
  firstLink[static_cast<size_t>(vertexCount)] = static_cast<int>(links.size());
}

void TGraphFinder::NodeTable::Clear() {
  vertexCount = edgeCount = 0;
  vertices.clear();
  edges.clear();
  firstLink.clear();
  links.clear();
}

// ----------------------------------------------------------------------------------------------- states

namespace {

// Layout of one partial mapping in a state list: flags, mapped vertex and edge counts, then the vertex map
// (pattern vertex -> target node, -1 unset) and the edge map (pattern edge -> target edge, -1 unset).
constexpr int kFlags = 0;
constexpr int kVertexCount = 1;
constexpr int kEdgeCount = 2;
constexpr int kMaps = 3;
constexpr int kReported = 1; // flag: this very mapping was already offered for reporting

/// The first k-arrangement of n positions: (0, 1, ..., k - 1).
void FirstArrangement(size_t k, size_t n, std::vector<int>& a, std::vector<char>& used) {
  a.resize(k);
  used.assign(n, 0);
  for (size_t i = 0; i < k; ++i) {
    a[i] = static_cast<int>(i);
    used[i] = 1;
  }
}

/// The next k-arrangement in lexicographic order: (0,1), (0,2), (1,0), (1,2), (2,0), (2,1) for 2 of 3;
/// false after the last.
bool NextArrangement(std::vector<int>& a, std::vector<char>& used) {
  const int n = static_cast<int>(used.size());
  for (size_t i = a.size(); i-- > 0;) {
    used[static_cast<size_t>(a[i])] = 0;
    for (int v = a[i] + 1; v < n; ++v) {
      if (used[static_cast<size_t>(v)]) continue;
      a[i] = v;
      used[static_cast<size_t>(v)] = 1;
      int next = 0;
      for (size_t j = i + 1; j < a.size(); ++j) {
        while (used[static_cast<size_t>(next)])
          ++next;
        a[j] = next;
        used[static_cast<size_t>(next)] = 1;
      }
      return true;
    }
  }
  return false;
}

/// Lexicographic order of occurrence keys.
int CompareKeys(const std::vector<int>& a, const std::vector<int>& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

void TGraphFinder::StateList::AddEmpty() {
  data_.resize(data_.size() + stride_, -1);
  int* s = At(Count() - 1);
  s[kFlags] = s[kVertexCount] = s[kEdgeCount] = 0;
}

template <class Keep> void TGraphFinder::StateList::Filter(Keep&& keep) {
  size_t w = 0;
  const size_t n = Count();
  for (size_t r = 0; r < n; ++r) {
    int* s = At(r);
    if (!keep(s)) continue;
    if (w != r) std::memcpy(At(w), s, stride_ * sizeof(int));
    ++w;
  }
  data_.resize(w * stride_);
}

// ----------------------------------------------------------------------------------------------- finder

TGraphFinder::TGraphFinder() : reported_(CompareKeys, false) {}

TGraphFinder::~TGraphFinder() = default;

void TGraphFinder::SetTarget(Ptr<ISubGraph> target) {
  if (target == target_) return;
  targetTable_.Clear();
  keepAlive_.clear();
  target_ = std::move(target);
  if (!target_) return;
  targetTable_.Build(*target_);
  // The table holds plain links; keeping the items alive means a vertex deleted from the target graph before
  // the table is rebuilt can still be looked at, never freed memory.
  keepAlive_.reserve(targetTable_.vertices.size() + targetTable_.edges.size());
  for (IVertex* v : targetTable_.vertices)
    if (Ptr<IObject> p = v->weak_from_this().lock()) keepAlive_.push_back(std::move(p));
  for (IEdge* e : targetTable_.edges)
    if (Ptr<IObject> p = e->weak_from_this().lock()) keepAlive_.push_back(std::move(p));
}

bool TGraphFinder::FindAll(const ISubGraph& pattern, std::vector<Ptr<ISubGraph>>* results) {
  return Search(pattern, 0, -1, results);
}

bool TGraphFinder::MatchAt(const ISubGraph& pattern, int patternIndex, int targetIndex) {
  if (patternIndex < 0 || patternIndex >= pattern.VertexCount())
    throw std::out_of_range("pattern vertex index " + std::to_string(patternIndex) + " out of range");
  if (targetIndex < 0 || targetIndex >= targetTable_.vertexCount)
    throw std::out_of_range("target vertex index " + std::to_string(targetIndex) + " out of range");
  return Search(pattern, patternIndex, targetIndex, nullptr);
}

bool TGraphFinder::Search(const ISubGraph& pattern, int patternStart, int targetStart,
                          std::vector<Ptr<ISubGraph>>* results) {
  continue_ = true;
  found_ = false;
  if (pattern.VertexCount() > kMaxPatternVertices)
    throw EChemError("The pattern is too big for the substructure search (" + std::to_string(pattern.VertexCount()) +
                     " atoms, at most " + std::to_string(kMaxPatternVertices) + ")");
  if (patternStart >= pattern.VertexCount()) return false;
  pattern_.Build(pattern);
  results_ = results;
  struct Cleanup { // the pattern's table and the reported keys belong to this search only
    TGraphFinder& f;
    ~Cleanup() {
      f.pattern_.Clear();
      f.reported_.Clear();
      f.results_ = nullptr;
    }
  } cleanup{*this};
  // The walk goes one level deeper per pattern vertex visited for the first time, so this many levels suffice
  // and the level storage never moves while the walk holds references into it.
  const size_t stride = static_cast<size_t>(kMaps + pattern_.vertexCount + pattern_.edgeCount);
  if (levels_.size() < static_cast<size_t>(pattern_.vertexCount) + 1)
    levels_.resize(static_cast<size_t>(pattern_.vertexCount) + 1);
  for (Level& level : levels_) {
    level.copy.Reset(stride);
    level.survivors.Reset(stride);
  }
  const int first = targetStart < 0 ? 0 : targetStart;
  const int last = targetStart < 0 ? targetTable_.vertexCount - 1 : targetStart;
  for (int t = first; t <= last && continue_; ++t) {
    startStates_.Reset(stride);
    Match(patternStart, t, startStates_, -1, -1, 0);
  }
  return found_;
}

bool TGraphFinder::Match(int p, int t, StateList& states, int parentP, int parentT, size_t depth) {
  const bool top = depth == 0;
  // The degree comparison is cheap and rejects most candidates before the caller's test runs.
  if (targetTable_.Degree(t) < pattern_.Degree(p)) return false;
  if (OnCompareVertices) {
    bool accept = true;
    OnCompareVertices(pattern_.vertices[static_cast<size_t>(p)], targetTable_.vertices[static_cast<size_t>(t)], accept);
    if (!accept) return false;
  }
  if (states.Count() == 0) states.AddEmpty();
  const int patternVertices = pattern_.vertexCount;
  bool reachedAgain = false;
  states.Filter([&](int* s) {
    int* vmap = s + kMaps;
    if (vmap[p] == t) { // a ring of the pattern closed on the same target vertex
      reachedAgain = true;
      return true;
    }
    if (vmap[p] >= 0) return false; // reached again, but on another target vertex: not a mapping
    for (int i = 0; i < patternVertices; ++i)
      if (vmap[i] == t) return false; // target vertex already taken
    vmap[p] = t;
    ++s[kVertexCount];
    return true;
  });
  if (states.Count() == 0) return false;
  if (reachedAgain) {
    if (top) Report(states);
    return true;
  }

  Level& level = levels_[depth];
  std::vector<Link>& patternChildren = level.patternChildren;
  patternChildren.clear();
  for (int i = pattern_.firstLink[static_cast<size_t>(p)]; i < pattern_.firstLink[static_cast<size_t>(p) + 1]; ++i)
    if (pattern_.links[static_cast<size_t>(i)].node != parentP)
      patternChildren.push_back(pattern_.links[static_cast<size_t>(i)]);
  if (patternChildren.empty()) {
    if (top) Report(states);
    return true;
  }
  std::vector<Link>& targetChildren = level.targetChildren;
  targetChildren.clear();
  for (int i = targetTable_.firstLink[static_cast<size_t>(t)]; i < targetTable_.firstLink[static_cast<size_t>(t) + 1];
       ++i)
    if (targetTable_.links[static_cast<size_t>(i)].node != parentT)
      targetChildren.push_back(targetTable_.links[static_cast<size_t>(i)]);
  const size_t k = patternChildren.size();
  if (k > targetChildren.size()) return false;

  StateList& copy = level.copy;
  StateList& survivors = level.survivors;
  survivors.Reset(static_cast<size_t>(kMaps + patternVertices + pattern_.edgeCount));
  bool anySucceeded = false;
  std::vector<int>& arrangement = level.arrangement;
  FirstArrangement(k, targetChildren.size(), arrangement, level.used);
  do {
    if (!continue_) break;
    copy.CopyFrom(states);
    bool ok = true;
    for (size_t i = 0; i < k && ok; ++i) {
      const int pe = patternChildren[i].edge;
      const int te = targetChildren[static_cast<size_t>(arrangement[i])].edge;
      if (OnCompareEdges) {
        bool accept = true;
        OnCompareEdges(pattern_.edges[static_cast<size_t>(pe)], targetTable_.edges[static_cast<size_t>(te)], accept);
        if (!accept) {
          ok = false;
          break;
        }
      }
      copy.Filter([&](int* s) {
        int* emap = s + kMaps + patternVertices;
        if (emap[pe] == te) return true;
        if (emap[pe] >= 0) return false;
        emap[pe] = te;
        ++s[kEdgeCount];
        return true;
      });
      ok = copy.Count() > 0;
    }
    for (size_t i = 0; i < k && ok && continue_; ++i)
      ok = Match(patternChildren[i].node, targetChildren[static_cast<size_t>(arrangement[i])].node, copy, p, t,
                 depth + 1);
    if (!ok) continue;
    if (continue_) Report(copy);
    survivors.Append(copy);
    anySucceeded = true;
  } while (NextArrangement(arrangement, level.used));
  if (!anySucceeded) return false;
  states.Swap(survivors);
  return true;
}

void TGraphFinder::Report(StateList& states) {
  const int patternVertices = pattern_.vertexCount;
  const int patternEdges = pattern_.edgeCount;
  for (size_t r = 0; r < states.Count() && continue_; ++r) {
    int* s = states.At(r);
    if (s[kVertexCount] != patternVertices || s[kEdgeCount] != patternEdges) continue;
    // A complete mapping travels up through every level of the walk; it is one occurrence, offered once.
    if (s[kFlags] & kReported) continue;
    s[kFlags] |= kReported;
    const int* vmap = s + kMaps;
    const int* emap = vmap + patternVertices;
    // Occurrence key: the set of target edges used. Kept as the sorted edge positions, which are equal exactly
    // when the occurrences cover the same target edges, and cost a few integers instead of one byte per edge
    // of the target.
    key_.assign(emap, emap + patternEdges);
    std::sort(key_.begin(), key_.end());
    if (reported_.Add(key_) < 0) continue;
    if (!OnMatch && !results_) continue;
    Ptr<ISubGraph> match = target_->CreateSubGraph();
    for (int i = 0; i < patternVertices; ++i)
      match->AddVertex(targetTable_.vertices[static_cast<size_t>(vmap[i])]);
    for (int e = 0; e < patternEdges; ++e)
      match->AddEdge(targetTable_.edges[static_cast<size_t>(emap[e])]);
    bool accept = true;
    if (OnMatch) OnMatch(match, continue_, accept);
    if (accept) {
      if (results_) results_->push_back(match);
      found_ = true;
    }
  }
}

} // namespace corvatin
