#include "graph/templates.h"

#include "graph/model.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace corvatin {

namespace {

using EdgeList = std::initializer_list<std::pair<int, int>>;

/// A plain graph with one vertex more than its highest vertex number and the edges in the order given.
Ptr<IGraph> FromEdges(int vertexCount, EdgeList edges) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(vertexCount);
  for (const auto& [a, b] : edges)
    g->ConnectIndices(a, b);
  return g;
}

int VertexCountOf(EdgeList edges) {
  int top = 0;
  for (const auto& [a, b] : edges)
    top = std::max(top, std::max(a, b));
  return top + 1;
}

void Add(std::vector<Ptr<IGraph>>& list, EdgeList edges) { list.push_back(FromEdges(VertexCountOf(edges), edges)); }

Ptr<IGraph> Path(int m) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(m + 1);
  for (int i = 1; i <= m; ++i)
    g->ConnectIndices(i - 1, i);
  return g;
}

Ptr<IGraph> Star(int m) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(m + 1);
  for (int i = 1; i <= m; ++i)
    g->ConnectIndices(0, i);
  return g;
}

Ptr<IGraph> Ring(int m) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(m);
  for (int i = 1; i < m; ++i)
    g->ConnectIndices(i - 1, i);
  g->ConnectIndices(m - 1, 0);
  return g;
}

} // namespace

void TemplateGraphs(int kind, int size, std::vector<Ptr<IGraph>>& list) {
  const int m = size;
  switch (kind) {
  case tkPath:
    if (m >= 0) list.push_back(Path(m));
    break;
  case tkCluster:
    if (m < 3 || m > 6) break;
    list.push_back(Star(m));
    if (m == 5) Add(list, {{0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}});
    if (m == 6) Add(list, {{0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}, {1, 6}});
    break;
  case tkPathCluster:
    if (m == 4) Add(list, {{0, 1}, {0, 2}, {0, 3}, {3, 4}});
    if (m == 5) {
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {3, 4}, {4, 5}});
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {2, 4}, {3, 5}});
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 5}});
    }
    if (m == 6) {
      Add(list, {{0, 2}, {0, 3}, {0, 4}, {1, 2}, {1, 5}, {1, 6}});
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}, {5, 6}});
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {1, 5}, {3, 4}, {5, 6}});
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {1, 4}, {4, 5}, {5, 6}});
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {1, 4}, {2, 5}, {3, 6}});
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 5}, {5, 6}});
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 5}, {2, 6}});
      Add(list, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 6}});
    }
    break;
  case tkChain:
    if (m >= 3) list.push_back(Ring(m));
    break;
  default:
    break;
  }
}

} // namespace corvatin
