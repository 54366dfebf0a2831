#pragma once
// Substructure search: the occurrences of a pattern graph in a target graph or sub-graph, that is every
// injective, adjacency-preserving mapping of the pattern's vertices and edges onto target items that the
// caller's tests accept, reported once per distinct set of target edges unless duplicates are allowed.

#include "graph/graph.h"
#include "graph/sorted_list.h"

#include <functional>
#include <string>
#include <vector>

namespace corvatin {

/// Largest pattern the finder takes (its search recurses along the pattern); a bigger one raises EChemError.
inline constexpr int kMaxPatternVertices = 2000;

/// Finds pattern occurrences in one target; owned by its creator, one search at a time.
class TGraphFinder {
public:
  /// Vertex test, after the degree pre-test (a target vertex of smaller degree is never offered).
  using CompareVerticesEvent = std::function<void(IVertex* patternVertex, IVertex* targetVertex, bool& accept)>;
  using CompareEdgesEvent = std::function<void(IEdge* patternEdge, IEdge* targetEdge, bool& accept)>;
  /// match: a new sub-graph of the target with the target vertices in pattern vertex order, then the target
  /// edges in pattern edge order. Clearing cont ends the search; clearing accept discards the occurrence.
  using MatchEvent = std::function<void(const Ptr<ISubGraph>& match, bool& cont, bool& accept)>;

  CompareVerticesEvent OnCompareVertices;
  CompareEdgesEvent OnCompareEdges;
  MatchEvent OnMatch;

  TGraphFinder();
  ~TGraphFinder();
  TGraphFinder(const TGraphFinder&) = delete;
  TGraphFinder& operator=(const TGraphFinder&) = delete;

  /// Builds the target's node table (the same object again: nothing; none: releases it). The table is a
  /// snapshot: after the target changed, set none and then the target again.
  void SetTarget(Ptr<ISubGraph> target);
  const Ptr<ISubGraph>& GetTarget() const { return target_; }
  /// Searches with pattern vertex 0 placed on every target vertex in index order; whether an occurrence was
  /// accepted. Accepted occurrences are appended to results when given.
  bool FindAll(const ISubGraph& pattern, std::vector<Ptr<ISubGraph>>* results = nullptr);
  /// The same search with pattern vertex patternIndex placed on target vertex targetIndex only.
  bool MatchAt(const ISubGraph& pattern, int patternIndex, int targetIndex);
  /// Whether occurrences with an already reported edge set are reported again.
  void SetAllowDuplicates(bool flag) { reported_.SetAllowDuplicates(flag); }
  bool GetAllowDuplicates() const { return reported_.GetAllowDuplicates(); }
  /// Whether the last search accepted an occurrence.
  bool GetFound() const { return found_; }

private:
  /// One vertex's neighbours within a (sub-)graph, with the joining edges, in the vertex's own edge order.
  struct Link {
    int node;
    int edge;
  };
  /// Vertices and edges of a (sub-)graph by position, with each vertex's degree and links over its edges.
  struct NodeTable {
    int vertexCount = 0;
    int edgeCount = 0;
    std::vector<IVertex*> vertices;
    std::vector<IEdge*> edges;
    std::vector<int> firstLink; ///< links of node i: [firstLink[i], firstLink[i + 1])
    std::vector<Link> links;
    int Degree(int node) const {
      return firstLink[static_cast<size_t>(node) + 1] - firstLink[static_cast<size_t>(node)];
    }
    void Build(const ISubGraph& sub);
    void Clear();
  };

  /// Partial mappings stored back to back in one buffer, so that copying a list is one block copy.
  class StateList {
  public:
    void Reset(size_t stride) {
      stride_ = stride;
      data_.clear();
    }
    size_t Count() const { return stride_ ? data_.size() / stride_ : 0; }
    int* At(size_t i) { return data_.data() + i * stride_; }
    void AddEmpty();
    void Append(const StateList& other) { data_.insert(data_.end(), other.data_.begin(), other.data_.end()); }
    void CopyFrom(const StateList& other) { data_.assign(other.data_.begin(), other.data_.end()); }
    void Swap(StateList& other) { data_.swap(other.data_); }
    /// Keeps, in order, the states for which keep (which may change them) returns true.
    template <class Keep> void Filter(Keep&& keep);

  private:
    size_t stride_ = 0;
    std::vector<int> data_;
  };

  /// Working storage of one level of the walk, kept between searches so that a search allocates nothing
  /// once the buffers have grown.
  struct Level {
    std::vector<Link> patternChildren;
    std::vector<Link> targetChildren;
    std::vector<int> arrangement;
    std::vector<char> used;
    StateList copy;
    StateList survivors;
  };

  bool Search(const ISubGraph& pattern, int patternStart, int targetStart, std::vector<Ptr<ISubGraph>>* results);
  bool Match(int p, int t, StateList& states, int parentP, int parentT, size_t depth);
  void Report(StateList& states);

  Ptr<ISubGraph> target_;
  NodeTable targetTable_;
  std::vector<Ptr<IObject>> keepAlive_; // the table's items outlive a change of the target graph
  NodeTable pattern_;
  bool continue_ = true;
  bool found_ = false;
  TSortedList<std::vector<int>> reported_; // keys of the occurrences reported in this search
  std::vector<int> key_;
  std::vector<Level> levels_;
  StateList startStates_;
  std::vector<Ptr<ISubGraph>>* results_ = nullptr;
};

} // namespace corvatin
