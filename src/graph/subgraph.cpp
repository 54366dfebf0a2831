#include "graph/subgraph.h"

#include "graph/model.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace corvatin {

namespace {

[[noreturn]] void ThrowIndex(const char* what, int i) {
  throw std::out_of_range(std::string("sub-graph ") + what + " index " + std::to_string(i) + " out of range");
}

/// Lists shorter than this are searched directly.
constexpr size_t kScanLimit = 24;

/// The first position of item in list, through the lazily built map once the list is long.
template <class T>
int PositionOf(const std::vector<T*>& list, const T* item, std::unordered_map<const T*, int>& pos, bool& valid) {
  if (list.size() <= kScanLimit) {
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i] == item) return static_cast<int>(i);
    return -1;
  }
  if (!valid) {
    pos.clear();
    pos.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i)
      pos.emplace(list[i], static_cast<int>(i)); // first one wins
    valid = true;
  }
  auto it = pos.find(item);
  return it == pos.end() ? -1 : it->second;
}

} // namespace

void TSubGraph::PushVertex(IVertex* vertex) {
  vertices_.push_back(vertex);
  if (vertexPosValid_) vertexPos_.emplace(vertex, VertexCount() - 1);
}

void TSubGraph::PushEdge(IEdge* edge) {
  edges_.push_back(edge);
  if (edgePosValid_) edgePos_.emplace(edge, EdgeCount() - 1);
}

TSubGraph::TSubGraph(ISubGraph* owner) : owner_(owner) {
  if (auto* graph = dynamic_cast<TGraph*>(owner)) {
    root_ = graph;
  } else if (auto* parent = dynamic_cast<TSubGraph*>(owner)) {
    root_ = parent->root_;
    ownerHold_ = parent->SelfAs<ISubGraph>();
    // An owner not held through a shared reference (one on the stack) must tell us when it goes.
    if (!ownerHold_) parent->unheldChildren_ = true;
  }
  if (root_) {
    next_ = root_->subGraphs_;
    if (next_) next_->prev_ = this;
    root_->subGraphs_ = this;
  }
}

TSubGraph::~TSubGraph() {
  if (unheldChildren_ && root_)
    for (TSubGraph* s = root_->subGraphs_; s; s = s->next_)
      if (s->owner_ == this) s->owner_ = nullptr;
  ForgetAll(true);
}

void TSubGraph::ForgetAll(bool graphGone) {
  vertices_.clear();
  edges_.clear();
  VerticesChanged();
  EdgesChanged();
  if (!graphGone || !root_) return;
  if (prev_)
    prev_->next_ = next_;
  else
    root_->subGraphs_ = next_;
  if (next_) next_->prev_ = prev_;
  prev_ = next_ = nullptr;
  if (!ownerHold_) owner_ = nullptr; // the graph, or an owner we do not keep alive
  root_ = nullptr;
}

void TSubGraph::Forget(const IVertex* vertex) {
  if (std::erase(vertices_, vertex) > 0) VerticesChanged();
}

void TSubGraph::Forget(const IEdge* edge) {
  if (std::erase(edges_, edge) > 0) EdgesChanged();
}

void TSubGraph::Assign(const ISubGraph& source) {
  // No duplicate or owner checks, but only items of our own graph: the graph prunes those when it releases
  // them, while an item of another graph could be released behind our back.
  if (!root_) return;
  const IGraph* graph = root_;
  for (int i = 0; i < source.VertexCount(); ++i)
    if (IVertex* v = source.GetVertex(i); v && v->GetGraph() == graph) PushVertex(v);
  for (int i = 0; i < source.EdgeCount(); ++i)
    if (IEdge* e = source.GetEdge(i); e && e->GetGraph() == graph) PushEdge(e);
}

int TSubGraph::AddVertex(IVertex* vertex) {
  const int i = IndexOfVertex(vertex);
  if (i >= 0) return i;
  if (!vertex || !owner_ || !root_ || owner_->IndexOfVertex(vertex) < 0) return -1;
  PushVertex(vertex);
  return VertexCount() - 1;
}

int TSubGraph::AddEdge(IEdge* edge) {
  const int i = IndexOfEdge(edge);
  if (i >= 0) return i;
  if (!edge || !owner_ || !root_ || owner_->IndexOfEdge(edge) < 0) return -1;
  AddVertex(edge->GetVertex1());
  AddVertex(edge->GetVertex2());
  PushEdge(edge);
  return EdgeCount() - 1;
}

void TSubGraph::AddAll(const std::vector<IVertex*>& vertices, const std::vector<IEdge*>& edges) {
  // Every ring of every structure is built this way; through AddVertex and AddEdge each item paid for several
  // virtual calls, position lookups (a table once past a few dozen items) and list growth. Here an item of the
  // graph is listed unless it already is, an edge after its ends, exactly as those calls would.
  if (!root_ || owner_ != static_cast<ISubGraph*>(root_)) {
    for (IVertex* v : vertices) AddVertex(v);
    for (IEdge* e : edges) AddEdge(e);
    return;
  }
  vertices_.reserve(vertices_.size() + vertices.size());
  edges_.reserve(edges_.size() + edges.size());
  auto addVertex = [this](IVertex* v) {
    if (v && std::find(vertices_.begin(), vertices_.end(), v) == vertices_.end() && root_->IndexOfVertex(v) >= 0)
      vertices_.push_back(v);
  };
  for (IVertex* v : vertices) addVertex(v);
  for (IEdge* e : edges) {
    if (!e || std::find(edges_.begin(), edges_.end(), e) != edges_.end() || root_->IndexOfEdge(e) < 0) continue;
    addVertex(e->GetVertex1());
    addVertex(e->GetVertex2());
    edges_.push_back(e);
  }
  VerticesChanged();
  EdgesChanged();
}

void TSubGraph::AddEdgeBetween(int i1, int i2) {
  IVertex* v1 = GetVertex(i1);
  IVertex* v2 = GetVertex(i2);
  if (IEdge* e = v1->GetEdgeTo(v2)) AddEdge(e);
}

void TSubGraph::AddInducedEdges() {
  const size_t n = vertices_.size();
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n; ++j)
      if (IEdge* e = vertices_[i]->GetEdgeTo(vertices_[j])) AddEdge(e);
}

void TSubGraph::RemoveVertex(IVertex* vertex) {
  if (IndexOfVertex(vertex) < 0) return;
  for (int k = vertex->EdgeCount() - 1; k >= 0; --k)
    RemoveEdge(vertex->GetEdge(k));
  vertices_.erase(vertices_.begin() + IndexOfVertex(vertex));
  VerticesChanged();
}

void TSubGraph::RemoveEdge(IEdge* edge) {
  const int i = IndexOfEdge(edge);
  if (i >= 0) {
    edges_.erase(edges_.begin() + i);
    EdgesChanged();
  }
}

Ptr<ISubGraph> TSubGraph::CreateSubGraph() { return std::make_shared<TSubGraph>(this); }

IVertex* TSubGraph::GetVertex(int i) const {
  if (i < 0 || i >= VertexCount()) ThrowIndex("vertex", i);
  return vertices_[static_cast<size_t>(i)];
}

int TSubGraph::IndexOfVertex(const IVertex* vertex) const {
  return PositionOf(vertices_, vertex, vertexPos_, vertexPosValid_);
}

IEdge* TSubGraph::GetEdge(int i) const {
  if (i < 0 || i >= EdgeCount()) ThrowIndex("edge", i);
  return edges_[static_cast<size_t>(i)];
}

int TSubGraph::IndexOfEdge(const IEdge* edge) const { return PositionOf(edges_, edge, edgePos_, edgePosValid_); }

int TSubGraph::InnerDegree(const IVertex* vertex) const {
  if (!vertex) return 0;
  int n = 0;
  for (int i = 0; i < vertex->NeighbourCount(); ++i)
    if (IndexOfVertex(vertex->GetNeighbour(i)) >= 0) ++n;
  return n;
}

IVertex* TSubGraph::FindVertexByValue(const std::string& name, double value) const {
  for (IVertex* v : vertices_) {
    Ptr<INumberParameter> p = v->GetNumberParam(name);
    if (p && p->GetValue() == value) return v;
  }
  return nullptr;
}

void TSubGraph::SortVertices() {
  std::stable_sort(vertices_.begin(), vertices_.end(),
                   [](const IVertex* a, const IVertex* b) { return a->GetIndex() > b->GetIndex(); });
  VerticesChanged();
}

bool TSubGraph::SameVertices(const ISubGraph& other) const {
  if (other.VertexCount() != VertexCount()) return false;
  for (int i = 0; i < VertexCount(); ++i)
    if (vertices_[static_cast<size_t>(i)]->GetIndex() != other.GetVertex(i)->GetIndex()) return false;
  return true;
}

} // namespace corvatin
