#pragma once
// Sub-graph implementation: plain lists of items of a graph. Every sub-graph is known to the graph at the root
// of its owner chain, which removes deleted items from it and empties it when the graph is cleared or destroyed;
// a sub-graph of a sub-graph keeps its owner alive. So a sub-graph never lists a released item. Creating or
// destroying a sub-graph updates the graph's list: like any change of the graph, keep it to one thread at a time.

#include "graph/graph.h"

#include <unordered_map>
#include <vector>

namespace corvatin {

class TGraph;

/// A part of a graph or of another sub-graph; derive from it (with the graph's CreateSubGraph) for structures.
class TSubGraph : public virtual IExtendedSubGraph {
public:
  explicit TSubGraph(ISubGraph* owner);
  ~TSubGraph() override;
  TSubGraph(const TSubGraph&) = delete; // the links into the root graph's list must never be copied
  TSubGraph& operator=(const TSubGraph&) = delete;

  void Assign(const ISubGraph& source) override;
  int AddVertex(IVertex* vertex) override;
  int AddEdge(IEdge* edge) override;
  void AddEdgeBetween(int i1, int i2) override;
  void AddInducedEdges() override;
  /// AddVertex for each of vertices, then AddEdge for each of edges, with the same outcome; for a new sub-graph
  /// of the graph itself (a ring), whose checks reduce to plain list scans.
  void AddAll(const std::vector<IVertex*>& vertices, const std::vector<IEdge*>& edges);
  void RemoveVertex(IVertex* vertex) override;
  void RemoveEdge(IEdge* edge) override;
  Ptr<ISubGraph> CreateSubGraph() override;
  int VertexCount() const override { return static_cast<int>(vertices_.size()); }
  IVertex* GetVertex(int i) const override;
  int IndexOfVertex(const IVertex* vertex) const override;
  int EdgeCount() const override { return static_cast<int>(edges_.size()); }
  IEdge* GetEdge(int i) const override;
  int IndexOfEdge(const IEdge* edge) const override;
  int InnerDegree(const IVertex* vertex) const override;
  ISubGraph* GetOwner() const override { return owner_; }
  IVertex* FindVertexByValue(const std::string& name, double value) const override;
  void SortVertices() override;
  bool SameVertices(const ISubGraph& other) const override;

  /// The graph at the root of the owner chain; none once that graph is gone.
  TGraph* RootGraph() const { return root_; }

private:
  friend class TGraph;

  /// Called by the root graph: drop an item being released, or everything.
  void Forget(const IVertex* vertex);
  void Forget(const IEdge* edge);
  void ForgetAll(bool graphGone);

  ISubGraph* owner_;
  Ptr<ISubGraph> ownerHold_; // keeps an owning sub-graph alive (never a graph: graphs own their rings)
  TGraph* root_ = nullptr;
  TSubGraph* prev_ = nullptr;
  TSubGraph* next_ = nullptr;
  bool unheldChildren_ = false; // some sub-graph names this one as owner without keeping it alive
  std::vector<IVertex*> vertices_;
  std::vector<IEdge*> edges_;
  // Position lookups scan short lists; past a few dozen items a lazily built map keeps adding n items O(n)
  // (a ring of a large macrocycle, the hydrogen-suppressed graph of a big structure).
  mutable std::unordered_map<const IVertex*, int> vertexPos_;
  mutable std::unordered_map<const IEdge*, int> edgePos_;
  mutable bool vertexPosValid_ = false;
  mutable bool edgePosValid_ = false;

  void VerticesChanged() { vertexPosValid_ = false; }
  void EdgesChanged() { edgePosValid_ = false; }
  void PushVertex(IVertex* vertex);
  void PushEdge(IEdge* edge);
};

} // namespace corvatin
