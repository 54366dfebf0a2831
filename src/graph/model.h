#pragma once
// The graph implementation. Its vertex and edge lists are the only owners of the items; every back link
// (vertex to graph, edge to ends, neighbour lists, sub-graph lists) is plain and is cleared or pruned by the
// graph before the item it points to goes away, so nothing is ever left pointing at a released item.

#include "graph/items.h"

#include <mutex>
#include <vector>

namespace corvatin {

class TSubGraph;

/// A graph; also its own sub-graph. Derive from it (overriding the three factories) for molecules.
class TGraph : public TParameters, public virtual IGraph, public virtual ISubGraph {
public:
  TGraph();
  ~TGraph() override;

  // IGraph
  void AddGraph(const IGraph& source, ISubGraph* record) override;
  IVertex* AddVertex() override;
  void AddVertices(int count) override;
  IEdge* Connect(IVertex* v1, IVertex* v2) override;
  IEdge* ConnectIndices(int i1, int i2) override;
  void DeleteVertex(IVertex* vertex) override;
  void DeleteVertexAt(int index) override;
  bool DeleteEdge(IEdge* edge) override;
  bool Disconnect(int i1, int i2) override;
  void Clear() override;
  Ptr<ISubGraph> CreateSubGraph() override;
  void Traverse(const VertexVisitor& onVertex, const EdgeVisitor& onEdge) override;
  void FindRings() override;
  int VertexCount() const override { return static_cast<int>(vertices_.size()); }
  IVertex* GetVertex(int i) const override;
  int IndexOfVertex(const IVertex* vertex) const override;
  int EdgeCount() const override { return static_cast<int>(edges_.size()); }
  IEdge* GetEdge(int i) const override;
  IEdge* GetEdgeBetween(int i1, int i2) const override;
  int IndexOfEdge(const IEdge* edge) const override;
  int RingCount() const override { return static_cast<int>(rings_.size()); }
  ISubGraph* GetRing(int i) const override;
  IVertex* FindVertexByValue(const std::string& name, double value) const override;
  void SetVertexValues(const std::string& name, double value) override;
  void RemoveVertexParam(const std::string& name) override;
  void RemoveEdgeParam(const std::string& name) override;
  bool AnyVertexHasParam(const std::string& name) const override;
  bool AnyEdgeHasParam(const std::string& name) const override;
  IVertex* FindVertex(const VertexTest& test) const override;
  IEdge* FindEdge(const EdgeTest& test) const override;
  void BeginUpdate() override;
  void EndUpdate() override;

  // ISubGraph: the graph as its own sub-graph; the modifying operations change nothing.
  void Assign(const ISubGraph& source) override;
  int AddVertex(IVertex* vertex) override;
  int AddEdge(IEdge* edge) override;
  void AddEdgeBetween(int i1, int i2) override;
  void AddInducedEdges() override {}
  void RemoveVertex(IVertex* vertex) override;
  void RemoveEdge(IEdge* edge) override;
  int InnerDegree(const IVertex* vertex) const override;
  ISubGraph* GetOwner() const override { return nullptr; }

  /// Nesting depth of BeginUpdate, and the largest change kind held back meanwhile (0 = none).
  int UpdateCount() const { return updateCount_; }
  int PendingChanges() const { return pendingChanges_; }
  /// Created and freed with the graph; callers that share a graph between threads agree on its use.
  std::recursive_mutex& CriticalSection() { return criticalSection_; }

  /// The vertex at i as the implementation class, for loops that cannot afford virtual calls per step.
  TVertex* VertexAt(int i) const { return vertices_.at(static_cast<size_t>(i)).get(); }

protected:
  /// Factories: a new item bound to this graph (the molecule makes atoms, bonds and structures).
  virtual Ptr<TVertex> CreateVertex();
  virtual Ptr<TEdge> CreateEdge(IVertex* v1, IVertex* v2);
  /// Announces kind at once (data: the kind), or holds the largest kind back while an update bracket is open.
  virtual void Changed(int kind);
  /// The item-level handlers through which changes of a vertex or an edge reach Changed.
  virtual void VertexChanged(IVertex* vertex, int kind);
  virtual void EdgeChanged(IEdge* edge, int kind);

private:
  friend class TVertex;
  friend class TEdge;
  friend class TSubGraph;

  void Renumber(size_t fromVertex, size_t fromEdge);
  void DetachVertex(TVertex& vertex);
  void DetachEdge(TEdge& edge);
  /// Rings and every sub-graph drop what is about to be released.
  void ForgetVertex(IVertex* vertex);
  void ForgetEdge(IEdge* edge);
  void ForgetAll();

  std::vector<Ptr<TVertex>> vertices_;
  std::vector<Ptr<TEdge>> edges_;
  std::vector<Ptr<ISubGraph>> rings_;
  int updateCount_ = 0;
  int pendingChanges_ = 0;
  TSubGraph* subGraphs_ = nullptr; // every live sub-graph of this graph, linked through the sub-graphs
  std::recursive_mutex criticalSection_;
};

} // namespace corvatin
