#include "graph/items.h"

#include "graph/model.h"

#include <any>
#include <stdexcept>
#include <string>

namespace corvatin {

namespace {

[[noreturn]] void ThrowIndex(const char* what, int i) {
  throw std::out_of_range(std::string(what) + " index " + std::to_string(i) + " out of range");
}

// The interned coordinate names: the hinted setter then recognises its entry by address.
const std::string& NameX() {
  static const std::string& name = InternParamName("X");
  return name;
}
const std::string& NameY() {
  static const std::string& name = InternParamName("Y");
  return name;
}
const std::string& NameZ() {
  static const std::string& name = InternParamName("Z");
  return name;
}

// Parameters are copied from any container that can be listed; others have nothing we could enumerate.
void CopyParams(TParameters& target, const IParameters& source) {
  if (const auto* list = dynamic_cast<const IParamList*>(&source)) target.AssignParams(*list);
}

} // namespace

// ------------------------------------------------------------------------------------------------- TVertex

TVertex::TVertex(TGraph* graph) : graph_(graph) {}

TVertex::~TVertex() = default;

void TVertex::Assign(const IParameters& source) { CopyParams(*this, source); }

void TVertex::AddNeighbour(IVertex* vertex, IEdge* edge) {
  // The lists are plain links: accept only a neighbour and edge of our own graph that really join the two,
  // so that a stray call can never leave a link to an item another graph may release.
  if (!vertex || !edge || vertex == this || !graph_ || vertex->GetGraph() != GetGraph()) return;
  if (edge->GetGraph() != GetGraph()) return;
  const bool joins = (edge->GetVertex1() == this && edge->GetVertex2() == vertex) ||
                     (edge->GetVertex2() == this && edge->GetVertex1() == vertex);
  if (!joins || IndexOfNeighbour(vertex) >= 0) return;
  // Room for the usual valences at once, rather than growing one neighbour at a time.
  if (edges_.empty()) {
    edges_.reserve(4);
    neighbours_.reserve(4);
  }
  edges_.push_back(edge);
  neighbours_.push_back(vertex);
  Changed(gcTopology);
}

IEdge* TVertex::RemoveNeighbour(IVertex* vertex) {
  const int i = IndexOfNeighbour(vertex);
  if (i < 0) return nullptr;
  IEdge* edge = edges_[static_cast<size_t>(i)];
  edges_.erase(edges_.begin() + i);
  neighbours_.erase(neighbours_.begin() + i);
  Changed(gcTopology);
  return edge;
}

void TVertex::ClearNeighbours() {
  edges_.clear();
  neighbours_.clear();
  Changed(gcTopology);
}

IEdge* TVertex::GetEdgeTo(const IVertex* vertex) const {
  const int i = IndexOfNeighbour(vertex);
  return i < 0 ? nullptr : edges_[static_cast<size_t>(i)];
}

IVertex* TVertex::GetNeighbour(int i) const {
  if (i < 0 || i >= NeighbourCount()) ThrowIndex("neighbour", i);
  return neighbours_[static_cast<size_t>(i)];
}

IEdge* TVertex::GetEdge(int i) const {
  if (i < 0 || i >= EdgeCount()) ThrowIndex("vertex edge", i);
  return edges_[static_cast<size_t>(i)];
}

int TVertex::IndexOfNeighbour(const IVertex* vertex) const {
  for (size_t i = 0; i < neighbours_.size(); ++i)
    if (neighbours_[i] == vertex) return static_cast<int>(i);
  return -1;
}

int TVertex::IndexOfEdge(const IEdge* edge) const {
  for (size_t i = 0; i < edges_.size(); ++i)
    if (edges_[i] == edge) return static_cast<int>(i);
  return -1;
}

void TVertex::SetX(double value) {
  x_ = value;
  SetFloatAt(hintX_, NameX(), value);
  positioned_ = true;
  Changed(gcCoordinates);
}

void TVertex::SetY(double value) {
  y_ = value;
  SetFloatAt(hintY_, NameY(), value);
  Changed(gcCoordinates);
}

void TVertex::SetZ(double value) {
  z_ = value;
  SetFloatAt(hintZ_, NameZ(), value);
  Changed(gcCoordinates);
}

void TVertex::SetViewPoint(double x, double y, double z) {
  x_ = x;
  y_ = y;
  z_ = z;
  SetFloatAt(hintX_, NameX(), x);
  SetFloatAt(hintY_, NameY(), y);
  SetFloatAt(hintZ_, NameZ(), z);
  positioned_ = true;
  Changed(gcCoordinates);
}

IGraph* TVertex::GetGraph() const { return graph_; }

void TVertex::Changed(int kind) {
  if (Notifier().HasListeners()) Notifier().Notify(geGraphChanged, std::any(kind));
  if (graph_) graph_->VertexChanged(this, kind);
}

// --------------------------------------------------------------------------------------------------- TEdge

TEdge::TEdge(TGraph* graph, IVertex* vertex1, IVertex* vertex2) : graph_(graph), vertex1_(vertex1), vertex2_(vertex2) {}

TEdge::~TEdge() = default;

void TEdge::Assign(const IParameters& source) { CopyParams(*this, source); }

bool TEdge::IsAdjacentTo(const IEdge* edge) const {
  if (!edge) return false;
  return (vertex1_ && vertex1_->IndexOfEdge(edge) >= 0) || (vertex2_ && vertex2_->IndexOfEdge(edge) >= 0);
}

IVertex* TEdge::GetOtherVertex(const IVertex* vertex) const { return vertex == vertex1_ ? vertex2_ : vertex1_; }

IGraph* TEdge::GetGraph() const { return graph_; }

void TEdge::Changed(int kind) {
  if (Notifier().HasListeners()) Notifier().Notify(geGraphChanged, std::any(kind));
  if (graph_) graph_->EdgeChanged(this, kind);
}

} // namespace corvatin
