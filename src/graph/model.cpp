#include "graph/model.h"

#include "graph/subgraph.h"

#include <algorithm>
#include <any>
#include <stdexcept>
#include <string>

namespace corvatin {

namespace {

[[noreturn]] void ThrowIndex(const char* what, int i) {
  throw std::out_of_range(std::string(what) + " index " + std::to_string(i) + " out of range");
}

} // namespace

TGraph::TGraph() = default;

TGraph::~TGraph() {
  // Sub-graphs and items may be held by others beyond the graph's life: leave them empty and unbound
  // rather than pointing into a graph that is gone.
  rings_.clear();
  while (subGraphs_)
    subGraphs_->ForgetAll(true);
  for (auto& e : edges_)
    DetachEdge(*e);
  for (auto& v : vertices_)
    DetachVertex(*v);
}

// ------------------------------------------------------------------------------------------------ factories

Ptr<TVertex> TGraph::CreateVertex() { return std::make_shared<TVertex>(this); }

Ptr<TEdge> TGraph::CreateEdge(IVertex* v1, IVertex* v2) { return std::make_shared<TEdge>(this, v1, v2); }

Ptr<ISubGraph> TGraph::CreateSubGraph() { return std::make_shared<TSubGraph>(static_cast<ISubGraph*>(this)); }

// ------------------------------------------------------------------------------------------- notification

void TGraph::Changed(int kind) {
  if (updateCount_ == 0) {
    if (Notifier().HasListeners()) Notifier().Notify(geGraphChanged, std::any(kind));
  } else {
    pendingChanges_ = std::max(pendingChanges_, kind);
  }
}

void TGraph::VertexChanged(IVertex*, int kind) { Changed(kind); }

void TGraph::EdgeChanged(IEdge*, int kind) { Changed(kind); }

void TGraph::BeginUpdate() {
  if (updateCount_ == 0) pendingChanges_ = 0;
  ++updateCount_;
}

void TGraph::EndUpdate() {
  if (updateCount_ == 0) return; // an unmatched EndUpdate must not unbalance later brackets
  if (--updateCount_ == 0 && pendingChanges_ > 0) {
    // Announced directly, not through Changed: a derived graph's reaction to each change already ran when
    // the change happened; only the announcement was held back.
    if (Notifier().HasListeners()) Notifier().Notify(geGraphChanged, std::any(pendingChanges_));
  }
}

// -------------------------------------------------------------------------------------------- building

void TGraph::AddGraph(const IGraph& source, ISubGraph* record) {
  // Counts are taken first so that adding a graph to itself copies it once.
  const int base = VertexCount();
  const int nv = source.VertexCount();
  const int ne = source.EdgeCount();
  for (int i = 0; i < nv; ++i) {
    IVertex* v = AddVertex();
    v->Assign(*source.GetVertex(i));
    if (record) record->AddVertex(v);
  }
  for (int j = 0; j < ne; ++j) {
    IEdge* e = source.GetEdge(j);
    const int i1 = source.IndexOfVertex(e->GetVertex1());
    const int i2 = source.IndexOfVertex(e->GetVertex2());
    if (i1 < 0 || i2 < 0) continue;
    if (IEdge* copy = ConnectIndices(base + i1, base + i2)) {
      copy->Assign(*e);
      if (record) record->AddEdge(copy);
    }
  }
}

IVertex* TGraph::AddVertex() {
  Ptr<TVertex> v = CreateVertex();
  if (!v || v->graph_ != this) throw std::logic_error("CreateVertex must return a vertex bound to this graph");
  v->index_ = VertexCount();
  vertices_.push_back(v);
  Changed(gcTopology);
  return v.get();
}

void TGraph::AddVertices(int count) {
  for (int i = 0; i < count; ++i)
    AddVertex();
}

IEdge* TGraph::Connect(IVertex* v1, IVertex* v2) {
  if (!v1 || !v2 || v1 == v2 || IndexOfVertex(v1) < 0 || IndexOfVertex(v2) < 0 || v1->IsAdjacent(v2)) return nullptr;
  Ptr<TEdge> e = CreateEdge(v1, v2);
  if (!e || e->graph_ != this || e->vertex1_ != v1 || e->vertex2_ != v2)
    throw std::logic_error("CreateEdge must return an edge bound to this graph and the two vertices");
  v1->AddNeighbour(v2, e.get());
  v2->AddNeighbour(v1, e.get());
  e->index_ = EdgeCount();
  edges_.push_back(e);
  Changed(gcTopology);
  return e.get();
}

IEdge* TGraph::ConnectIndices(int i1, int i2) { return Connect(GetVertex(i1), GetVertex(i2)); }

// -------------------------------------------------------------------------------------------- deleting

void TGraph::Renumber(size_t fromVertex, size_t fromEdge) {
  for (size_t i = fromVertex; i < vertices_.size(); ++i)
    vertices_[i]->index_ = static_cast<int>(i);
  for (size_t i = fromEdge; i < edges_.size(); ++i)
    edges_[i]->index_ = static_cast<int>(i);
}

void TGraph::DetachVertex(TVertex& vertex) {
  vertex.graph_ = nullptr;
  vertex.index_ = -1;
  vertex.neighbours_.clear();
  vertex.edges_.clear();
}

void TGraph::DetachEdge(TEdge& edge) {
  edge.graph_ = nullptr;
  edge.index_ = -1;
  edge.vertex1_ = nullptr;
  edge.vertex2_ = nullptr;
}

void TGraph::ForgetVertex(IVertex* vertex) {
  // The ring list describes the old topology; emptying it is the only state that cannot mislead.
  rings_.clear();
  for (TSubGraph* s = subGraphs_; s; s = s->next_)
    s->Forget(vertex);
}

void TGraph::ForgetEdge(IEdge* edge) {
  rings_.clear();
  for (TSubGraph* s = subGraphs_; s; s = s->next_)
    s->Forget(edge);
}

void TGraph::ForgetAll() {
  rings_.clear();
  for (TSubGraph* s = subGraphs_; s; s = s->next_)
    s->ForgetAll(false);
}

void TGraph::DeleteVertex(IVertex* vertex) {
  const int index = IndexOfVertex(vertex);
  if (index < 0) return;
  BeginUpdate();
  Ptr<TVertex> hold = vertices_[static_cast<size_t>(index)];
  for (size_t i = hold->edges_.size(); i-- > 0;)
    DeleteEdge(hold->edges_[i]);
  ForgetVertex(hold.get());
  vertices_.erase(vertices_.begin() + index);
  Renumber(static_cast<size_t>(index), edges_.size());
  DetachVertex(*hold);
  Changed(gcTopology);
  EndUpdate();
}

void TGraph::DeleteVertexAt(int index) { DeleteVertex(GetVertex(index)); }

bool TGraph::DeleteEdge(IEdge* edge) {
  const int index = IndexOfEdge(edge);
  if (index < 0) return false;
  Ptr<TEdge> hold = edges_[static_cast<size_t>(index)];
  hold->vertex1_->RemoveNeighbour(hold->vertex2_);
  hold->vertex2_->RemoveNeighbour(hold->vertex1_);
  ForgetEdge(hold.get());
  edges_.erase(edges_.begin() + index);
  Renumber(vertices_.size(), static_cast<size_t>(index));
  DetachEdge(*hold);
  Changed(gcTopology);
  return true;
}

bool TGraph::Disconnect(int i1, int i2) {
  IEdge* e = GetEdgeBetween(i1, i2);
  return e && DeleteEdge(e);
}

void TGraph::Clear() {
  ForgetAll();
  for (auto& e : edges_)
    DetachEdge(*e);
  for (auto& v : vertices_)
    DetachVertex(*v);
  edges_.clear();
  vertices_.clear();
  Changed(gcCleared);
  TParameters::Clear();
}

// ---------------------------------------------------------------------------------------------- access

IVertex* TGraph::GetVertex(int i) const {
  if (i < 0 || i >= VertexCount()) ThrowIndex("vertex", i);
  return vertices_[static_cast<size_t>(i)].get();
}

int TGraph::IndexOfVertex(const IVertex* vertex) const {
  // Each vertex knows its position; checking the slot keeps foreign vertices out in constant time.
  if (!vertex) return -1;
  const int i = vertex->GetIndex();
  if (i < 0 || i >= VertexCount()) return -1;
  const IVertex* at = vertices_[static_cast<size_t>(i)].get();
  return at == vertex ? i : -1;
}

IEdge* TGraph::GetEdge(int i) const {
  if (i < 0 || i >= EdgeCount()) ThrowIndex("edge", i);
  return edges_[static_cast<size_t>(i)].get();
}

IEdge* TGraph::GetEdgeBetween(int i1, int i2) const { return GetVertex(i1)->GetEdgeTo(GetVertex(i2)); }

int TGraph::IndexOfEdge(const IEdge* edge) const {
  if (!edge) return -1;
  const int i = edge->GetIndex();
  if (i < 0 || i >= EdgeCount()) return -1;
  const IEdge* at = edges_[static_cast<size_t>(i)].get();
  return at == edge ? i : -1;
}

ISubGraph* TGraph::GetRing(int i) const {
  if (i < 0 || i >= RingCount()) ThrowIndex("ring", i);
  return rings_[static_cast<size_t>(i)].get();
}

IVertex* TGraph::FindVertexByValue(const std::string& name, double value) const {
  for (const auto& v : vertices_)
    if (v->GetFloat(name) == value) return v.get();
  return nullptr;
}

void TGraph::SetVertexValues(const std::string& name, double value) {
  for (const auto& v : vertices_)
    v->AddParam(name, std::make_shared<TNumberParameter>(name, value), nullptr, true);
}

void TGraph::RemoveVertexParam(const std::string& name) {
  for (const auto& v : vertices_)
    v->DeleteParam(name);
}

void TGraph::RemoveEdgeParam(const std::string& name) {
  for (const auto& e : edges_)
    e->DeleteParam(name);
}

bool TGraph::AnyVertexHasParam(const std::string& name) const {
  return std::any_of(vertices_.begin(), vertices_.end(), [&](const Ptr<TVertex>& v) { return v->HasParam(name); });
}

bool TGraph::AnyEdgeHasParam(const std::string& name) const {
  return std::any_of(edges_.begin(), edges_.end(), [&](const Ptr<TEdge>& e) { return e->HasParam(name); });
}

IVertex* TGraph::FindVertex(const VertexTest& test) const {
  if (!test) return nullptr;
  for (size_t i = 0; i < vertices_.size(); ++i) {
    bool cont = true;
    IVertex* v = vertices_[i].get();
    test(v, cont);
    if (!cont) return v;
  }
  return nullptr;
}

IEdge* TGraph::FindEdge(const EdgeTest& test) const {
  if (!test) return nullptr;
  for (size_t i = 0; i < edges_.size(); ++i) {
    bool cont = true;
    IEdge* e = edges_[i].get();
    test(e, cont);
    if (!cont) return e;
  }
  return nullptr;
}

// ------------------------------------------------------------------------------ the graph as a sub-graph

void TGraph::Assign(const ISubGraph&) {}

int TGraph::AddVertex(IVertex* vertex) { return IndexOfVertex(vertex); }

int TGraph::AddEdge(IEdge* edge) { return IndexOfEdge(edge); }

void TGraph::AddEdgeBetween(int, int) {}

void TGraph::RemoveVertex(IVertex*) {}

void TGraph::RemoveEdge(IEdge*) {}

int TGraph::InnerDegree(const IVertex* vertex) const {
  return IndexOfVertex(vertex) >= 0 ? vertex->NeighbourCount() : 0;
}

} // namespace corvatin
