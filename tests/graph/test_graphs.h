#pragma once
// Small graph builders for the graph tests: edge lists, chains and heavy-atom skeletons written as SMILES; a
// recorder of change announcements.

#include "graph/model.h"

#include <any>
#include <cctype>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace corvatin::test {

using EdgePairs = std::vector<std::pair<int, int>>;

/// A plain graph with n vertices and the edges in the order given.
inline std::shared_ptr<TGraph> FromEdges(int n, const EdgePairs& edges) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(n);
  for (const auto& [a, b] : edges)
    g->ConnectIndices(a, b);
  return g;
}

/// A chain of n vertices, edges (i - 1, i).
inline std::shared_ptr<TGraph> Chain(int n) {
  auto g = std::make_shared<TGraph>();
  g->BeginUpdate();
  g->AddVertices(n);
  for (int i = 1; i < n; ++i)
    g->ConnectIndices(i - 1, i);
  g->EndUpdate();
  return g;
}

/// The heavy-atom skeleton of a SMILES string: one vertex per atom (an element symbol, an aromatic lower-case
/// letter or a bracket atom), bonds made in the order a SMILES reader makes them: the chain bond to the previous
/// atom first, then ring closures (current atom to the atom that opened the number); a branch is read whole
/// before its first atom is bonded to the branch point. Bond symbols are skipped. Enough for writing test
/// molecules; not a SMILES parser.
inline std::shared_ptr<TGraph> Skeleton(const std::string& smiles) {
  auto g = std::make_shared<TGraph>();
  struct Branch {
    int point;
    int first;
  };
  std::vector<Branch> branch;
  std::vector<int> ring(100, -1);
  int previous = -1;
  bool branchStart = false;
  for (size_t i = 0; i < smiles.size(); ++i) {
    const char c = smiles[i];
    if (c == '(') {
      branch.push_back(Branch{previous, -1});
      branchStart = true;
    } else if (c == ')') {
      const Branch b = branch.back();
      branch.pop_back();
      if (b.first >= 0) g->ConnectIndices(b.point, b.first);
      previous = b.point;
    } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '%') {
      size_t number = static_cast<size_t>(c - '0');
      if (c == '%') { // two-digit ring number
        number = static_cast<size_t>((smiles.at(i + 1) - '0') * 10 + (smiles.at(i + 2) - '0'));
        i += 2;
      }
      int& open = ring[number];
      if (open < 0) {
        open = previous;
      } else {
        g->ConnectIndices(previous, open);
        open = -1;
      }
    } else if (c == '[' || std::isalpha(static_cast<unsigned char>(c))) {
      if (c == '[')
        i = smiles.find(']', i);
      else if (std::isupper(static_cast<unsigned char>(c)) && i + 1 < smiles.size() &&
               (smiles[i + 1] == 'l' || smiles[i + 1] == 'r'))
        ++i; // Cl, Br
      g->AddVertex();
      const int current = g->VertexCount() - 1;
      if (branchStart)
        branch.back().first = current;
      else if (previous >= 0)
        g->ConnectIndices(previous, current);
      branchStart = false;
      previous = current;
    } else if (c == '.') {
      previous = -1;
    }
  }
  return g;
}

/// Records every change announcement (its kind) heard on a notifier.
class ChangeRecorder : public IListener {
public:
  void Notify(int eventCode, IObject*, const std::any& data) override {
    if (eventCode == geGraphChanged) kinds.push_back(std::any_cast<int>(data));
  }
  std::vector<int> kinds;
};

/// Vertex indices of a sub-graph, in its order.
inline std::vector<int> VertexIndices(const ISubGraph& sub) {
  std::vector<int> out;
  for (int i = 0; i < sub.VertexCount(); ++i)
    out.push_back(sub.GetVertex(i)->GetIndex());
  return out;
}

/// Edge indices of a sub-graph, in its order.
inline std::vector<int> EdgeIndices(const ISubGraph& sub) {
  std::vector<int> out;
  for (int i = 0; i < sub.EdgeCount(); ++i)
    out.push_back(sub.GetEdge(i)->GetIndex());
  return out;
}

} // namespace corvatin::test
