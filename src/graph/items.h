#pragma once
// Vertex and edge implementations. Both are made only by a graph's factories and report their changes straight
// to that graph through a plain back link, which the graph clears when it lets go of them.

#include "graph/graph.h"

#include <vector>

namespace corvatin {

class TGraph;

/// A vertex bound to the graph that created it; derive from it (with the graph's CreateVertex) for atoms.
class TVertex : public TParameters, public virtual IVertex {
public:
  explicit TVertex(TGraph* graph);
  ~TVertex() override;

  void Assign(const IParameters& source) override;
  int GetIndex() const final { return index_; }
  void AddNeighbour(IVertex* vertex, IEdge* edge) override;
  IEdge* RemoveNeighbour(IVertex* vertex) override;
  void ClearNeighbours() override;
  bool IsAdjacent(const IVertex* vertex) const override { return IndexOfNeighbour(vertex) >= 0; }
  IEdge* GetEdgeTo(const IVertex* vertex) const override;
  int NeighbourCount() const override { return static_cast<int>(neighbours_.size()); }
  IVertex* GetNeighbour(int i) const override;
  int EdgeCount() const override { return static_cast<int>(edges_.size()); }
  IEdge* GetEdge(int i) const override;
  int IndexOfNeighbour(const IVertex* vertex) const override;
  int IndexOfEdge(const IEdge* edge) const override;
  double GetX() const override { return x_; }
  void SetX(double value) override;
  double GetY() const override { return y_; }
  void SetY(double value) override;
  double GetZ() const override { return z_; }
  void SetZ(double value) override;
  bool GetPositioned() const override { return positioned_; }
  void ResetPositioned() override { positioned_ = false; }
  IGraph* GetGraph() const override;

  /// Reports a change of this vertex: to its own listeners, then to its graph.
  virtual void Changed(int kind);

  /// SetX, SetY and SetZ in one step, with one report of the coordinate change (a molecule re-projects every
  /// atom whenever its view transform is set).
  void SetViewPoint(double x, double y, double z);

  /// The neighbour and edge lists, parallel, for loops that cannot afford a virtual call per step.
  const std::vector<IVertex*>& Neighbours() const { return neighbours_; }
  const std::vector<IEdge*>& Edges() const { return edges_; }
  TGraph* OwnerGraph() const { return graph_; }

private:
  friend class TGraph;

  TGraph* graph_;
  int index_ = -1;
  std::vector<IVertex*> neighbours_;
  std::vector<IEdge*> edges_;
  double x_ = 0.0;
  double y_ = 0.0;
  double z_ = 0.0;
  int hintX_ = -1, hintY_ = -1, hintZ_ = -1; // entry positions of "X", "Y" and "Z" (SetFloatAt)
  bool positioned_ = false;
};

/// An edge bound to the graph that created it; derive from it (with the graph's CreateEdge) for bonds.
class TEdge : public TParameters, public virtual IEdge {
public:
  TEdge(TGraph* graph, IVertex* vertex1, IVertex* vertex2);
  ~TEdge() override;

  void Assign(const IParameters& source) override;
  IVertex* GetVertex1() const override { return vertex1_; }
  IVertex* GetVertex2() const override { return vertex2_; }
  bool IsAdjacentTo(const IEdge* edge) const override;
  IVertex* GetOtherVertex(const IVertex* vertex) const override;
  int GetIndex() const final { return index_; }
  IGraph* GetGraph() const override;

  /// Reports a change of this edge: to its own listeners, then to its graph.
  virtual void Changed(int kind);

  TGraph* OwnerGraph() const { return graph_; }

private:
  friend class TGraph;

  TGraph* graph_;
  int index_ = -1;
  IVertex* vertex1_;
  IVertex* vertex2_;
};

} // namespace corvatin
