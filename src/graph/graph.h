#pragma once
// The graph interfaces every structure is written against: undirected simple graphs whose vertices, edges and
// the graph itself carry parameters, and sub-graphs (rings, fragments, search hits) that list items of a graph.
//
// Accessor convention: items (vertices, edges, rings) are handed out as plain pointers that do not own. They
// stay valid while the graph lists them (rings: until the ring list is rebuilt or emptied); hold one past that
// with SelfAs<IVertex>() and friends. Objects created for the caller (sub-graphs, template graphs) come as Ptr.
// Indices are 0-based positions in insertion order; an index out of range throws std::out_of_range.

#include "core/object.h"
#include "core/parameters.h"

#include <functional>
#include <string>

namespace corvatin {

class IEdge;
class IGraph;
class ISubGraph;
class IVertex;

/// How much a change invalidates, higher meaning more; inside an update bracket only the largest is reported.
enum GraphChange : int {
  gcNone = 0,
  gcValue = 1,       ///< a parameter value (an atom's charge or weight)
  gcCoordinates = 2, ///< a vertex moved
  gcIdentity = 3,    ///< an item's identity (an atom's element, a bond's kind)
  gcTopology = 4,    ///< vertices or edges added or removed
  gcCleared = 5,     ///< the graph was cleared
};

/// Event code of change announcements on the notifier of a graph, a vertex or an edge (parameter containers
/// use 0 and 1). The data is the GraphChange kind as an int.
enum GraphEvent : int { geGraphChanged = 2 };

/// Traverse callbacks: entering (true) or leaving a vertex at a depth; an edge seen from a vertex, tree or back.
using VertexVisitor = std::function<void(IVertex* vertex, bool entering, int depth)>;
using EdgeVisitor = std::function<void(IEdge* edge, IVertex* from, IVertex* to, int depth, bool isBack)>;
/// FindVertex / FindEdge tests: clearing cont selects the item and ends the search.
using VertexTest = std::function<void(IVertex* vertex, bool& cont)>;
using EdgeTest = std::function<void(IEdge* edge, bool& cont)>;

/// A vertex: a parameter container with coordinates and a neighbour list parallel to its edge list.
class IVertex : public virtual IParameters {
public:
  /// Copies the parameters of source (values cloned); topology and coordinate fields are not copied.
  virtual void Assign(const IParameters& source) = 0;
  /// Position in the graph's vertex list; -1 once the vertex was deleted from its graph.
  virtual int GetIndex() const = 0;
  /// Graph use only: appends (vertex, edge) unless vertex is this one or already a neighbour.
  virtual void AddNeighbour(IVertex* vertex, IEdge* edge) = 0;
  /// Graph use only: removes vertex and returns the joining edge (none when not adjacent).
  virtual IEdge* RemoveNeighbour(IVertex* vertex) = 0;
  virtual void ClearNeighbours() = 0;
  virtual bool IsAdjacent(const IVertex* vertex) const = 0;
  /// The edge joining this vertex to vertex, or none.
  virtual IEdge* GetEdgeTo(const IVertex* vertex) const = 0;
  virtual int NeighbourCount() const = 0;
  virtual IVertex* GetNeighbour(int i) const = 0;
  virtual int EdgeCount() const = 0;
  /// Edge i joins this vertex to GetNeighbour(i).
  virtual IEdge* GetEdge(int i) const = 0;
  virtual int IndexOfNeighbour(const IVertex* vertex) const = 0;
  virtual int IndexOfEdge(const IEdge* edge) const = 0;
  virtual double GetX() const = 0;
  /// Stores X, writes the "X" parameter, sets Positioned and reports gcCoordinates.
  virtual void SetX(double value) = 0;
  virtual double GetY() const = 0;
  virtual void SetY(double value) = 0;
  virtual double GetZ() const = 0;
  virtual void SetZ(double value) = 0;
  virtual bool GetPositioned() const = 0;
  virtual void ResetPositioned() = 0;
  /// The graph that created the vertex; none once deleted from it.
  virtual IGraph* GetGraph() const = 0;
};

/// An edge between two vertices of one graph.
class IEdge : public virtual IParameters {
public:
  virtual void Assign(const IParameters& source) = 0;
  /// The end vertices; none once the edge was deleted from its graph.
  virtual IVertex* GetVertex1() const = 0;
  virtual IVertex* GetVertex2() const = 0;
  /// Whether edge shares an end with this one (an edge is adjacent to itself).
  virtual bool IsAdjacentTo(const IEdge* edge) const = 0;
  /// Vertex1 unless vertex is Vertex1, then Vertex2.
  virtual IVertex* GetOtherVertex(const IVertex* vertex) const = 0;
  virtual int GetIndex() const = 0;
  virtual IGraph* GetGraph() const = 0;
};

/// A part of a graph (or of another sub-graph): plain lists of its owner's vertices and edges.
class ISubGraph : public virtual IObject {
public:
  /// Appends every vertex, then every edge of source, without duplicate checks.
  virtual void Assign(const ISubGraph& source) = 0;
  /// The vertex's index here: existing, -1 when the owner lacks it, else where it was appended.
  virtual int AddVertex(IVertex* vertex) = 0;
  /// Adds the edge (and its two ends) when the owner has it; returns its index here or -1.
  virtual int AddEdge(IEdge* edge) = 0;
  /// Adds the graph edge joining the vertices at sub-graph indices i1 and i2, if any.
  virtual void AddEdgeBetween(int i1, int i2) = 0;
  /// Adds every graph edge between two of the vertices (pairs i < j in order): the induced sub-graph.
  virtual void AddInducedEdges() = 0;
  /// Removes the vertex and the listed edges joining it to its neighbours.
  virtual void RemoveVertex(IVertex* vertex) = 0;
  virtual void RemoveEdge(IEdge* edge) = 0;
  /// A new empty sub-graph owned by this one.
  virtual Ptr<ISubGraph> CreateSubGraph() = 0;
  virtual int VertexCount() const = 0;
  virtual IVertex* GetVertex(int i) const = 0;
  virtual int IndexOfVertex(const IVertex* vertex) const = 0;
  virtual int EdgeCount() const = 0;
  virtual IEdge* GetEdge(int i) const = 0;
  virtual int IndexOfEdge(const IEdge* edge) const = 0;
  /// How many neighbours of vertex are listed here.
  virtual int InnerDegree(const IVertex* vertex) const = 0;
  /// The graph or sub-graph this is part of; none for a graph.
  virtual ISubGraph* GetOwner() const = 0;
  /// The first vertex whose number parameter name exists and equals value (a graph counts missing as 0).
  virtual IVertex* FindVertexByValue(const std::string& name, double value) const = 0;
};

/// The sub-graph interface of TSubGraph, with ordering and comparison of the vertex lists.
class IExtendedSubGraph : public virtual ISubGraph {
public:
  /// Sorts the vertices by decreasing graph index.
  virtual void SortVertices() = 0;
  /// Same vertex count and, position by position, vertices with equal graph indices.
  virtual bool SameVertices(const ISubGraph& other) const = 0;

protected:
  // Declared so that no implicit move assignment through the virtual base is generated (g++ warns on it).
  IExtendedSubGraph() = default;
  IExtendedSubGraph(const IExtendedSubGraph&) = default;
  IExtendedSubGraph& operator=(const IExtendedSubGraph&) = default;
};

/// An undirected simple graph (no loops, no multiple edges) owning its vertices and edges.
class IGraph : public virtual IParameters {
public:
  /// Appends a copy of source (items assigned in order); record, when given, receives the new items.
  virtual void AddGraph(const IGraph& source, ISubGraph* record) = 0;
  virtual IVertex* AddVertex() = 0;
  virtual void AddVertices(int count) = 0;
  /// The new edge, or none when v1 = v2, they are already adjacent or either is not this graph's.
  virtual IEdge* Connect(IVertex* v1, IVertex* v2) = 0;
  virtual IEdge* ConnectIndices(int i1, int i2) = 0;
  virtual void DeleteVertex(IVertex* vertex) = 0;
  virtual void DeleteVertexAt(int index) = 0;
  /// Whether the edge was this graph's and is now deleted.
  virtual bool DeleteEdge(IEdge* edge) = 0;
  /// Deletes the edge between vertices i1 and i2; whether there was one.
  virtual bool Disconnect(int i1, int i2) = 0;
  /// Deletes every item, reports gcCleared, then clears the graph's own parameters.
  void Clear() override = 0;
  virtual Ptr<ISubGraph> CreateSubGraph() = 0;
  /// Depth-first walk of the component of vertex 0 (callbacks optional; they must not change the topology).
  virtual void Traverse(const VertexVisitor& onVertex, const EdgeVisitor& onEdge) = 0;
  /// Rebuilds the ring list.
  virtual void FindRings() = 0;
  virtual int VertexCount() const = 0;
  virtual IVertex* GetVertex(int i) const = 0;
  virtual int IndexOfVertex(const IVertex* vertex) const = 0;
  virtual int EdgeCount() const = 0;
  virtual IEdge* GetEdge(int i) const = 0;
  virtual IEdge* GetEdgeBetween(int i1, int i2) const = 0;
  virtual int IndexOfEdge(const IEdge* edge) const = 0;
  virtual int RingCount() const = 0;
  virtual ISubGraph* GetRing(int i) const = 0;
  virtual IVertex* FindVertexByValue(const std::string& name, double value) const = 0;
  /// Gives every vertex a new number parameter name holding value.
  virtual void SetVertexValues(const std::string& name, double value) = 0;
  virtual void RemoveVertexParam(const std::string& name) = 0;
  virtual void RemoveEdgeParam(const std::string& name) = 0;
  virtual bool AnyVertexHasParam(const std::string& name) const = 0;
  virtual bool AnyEdgeHasParam(const std::string& name) const = 0;
  /// The first vertex (index order) for which test clears cont; none when it never does.
  virtual IVertex* FindVertex(const VertexTest& test) const = 0;
  virtual IEdge* FindEdge(const EdgeTest& test) const = 0;
  /// Update bracket: changes inside are reported once, as the largest kind, when the outermost bracket closes.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
};

/// A graph's sub-graph face (every graph of this library is its own sub-graph); std::bad_cast otherwise.
inline ISubGraph& AsSubGraph(IGraph& graph) { return dynamic_cast<ISubGraph&>(graph); }
inline const ISubGraph& AsSubGraph(const IGraph& graph) { return dynamic_cast<const ISubGraph&>(graph); }

} // namespace corvatin
