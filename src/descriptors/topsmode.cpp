#include "descriptors/topsmode.h"

#include "chem/molecule.h"
#include "core/errors.h"
#include "descriptors/moments.h"

#include <string>

namespace corvatin {

namespace {

// The first count characters of a UTF-8 text (never cutting a multi-byte character in two).
std::string FirstCharacters(const std::string& text, size_t count) {
  size_t at = 0;
  for (size_t chars = 0; at < text.size() && chars < count; ++chars) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
      ++at;
  }
  return text.substr(0, at);
}

bool IsHeavy(const IVertex* vertex) {
  const IAtom* atom = AsAtom(vertex);
  return !atom || atom->GetAtomicNumber() > 1;
}

} // namespace

std::string WeightLabel(const std::string& name, const std::vector<std::string>& labels, size_t index) {
  std::string label = index < labels.size() ? labels[index] : std::string();
  if (label.empty()) label = FirstCharacters(name, 3);
  return label.empty() ? label : "(" + label + ")";
}

std::vector<std::string> MomentColumnLabels(const std::vector<std::string>& weightLabels, int K) {
  std::vector<std::string> labels{std::string(kMicroSign) + "0"};
  for (const std::string& label : weightLabels)
    for (int k = 1; k <= K; ++k)
      labels.push_back(kMicroSign + label + std::to_string(k));
  return labels;
}

std::string CoefficientEntry(const std::string& weight, int k) { return weight + "_" + kMicroSign + std::to_string(k); }

std::string InterceptEntry(const std::string& weight) { return weight + "_" + kMicroSign + "i"; }

const Ptr<ISubGraph>& RequireAtoms(const Ptr<ISubGraph>& structure) {
  if (structure->VertexCount() == 0) throw EChemError(kMsgNoAtoms);
  return structure;
}

Ptr<ISubGraph> WorkingGraph(const Ptr<ISubGraph>& structure, bool includeHydrogens) {
  if (includeHydrogens) return structure;
  Ptr<ISubGraph> graph = structure->CreateSubGraph();
  for (int b = 0; b < structure->EdgeCount(); ++b) {
    IEdge* bond = structure->GetEdge(b);
    if (IsHeavy(bond->GetVertex1()) && IsHeavy(bond->GetVertex2())) graph->AddEdge(bond);
  }
  return graph;
}

Ptr<ISubGraph> WithoutEnvironment(ISubGraph& structure, const ISubGraph& graph) {
  Ptr<ISubGraph> copy = structure.CreateSubGraph();
  copy->Assign(graph);
  for (int i = copy->VertexCount() - 1; i >= 0; --i) {
    IVertex* atom = copy->GetVertex(i);
    if (atom->GetInt(kParamFragmentEnvironment) == 1) copy->RemoveVertex(atom);
  }
  return copy;
}

std::vector<double> MomentRow(const ISubGraph& graph, const std::vector<std::string>& weights, int K) {
  std::vector<double> row(weights.size() * static_cast<size_t>(K) + 1, 0.0);
  row[0] = graph.EdgeCount();
  if (graph.EdgeCount() == 0) return row;
  std::vector<std::vector<double>> values;
  std::vector<const double*> pointers;
  for (const std::string& name : weights)
    values.push_back(BondWeights(graph, name));
  for (const auto& v : values)
    pointers.push_back(v.data());
  TMomentKernel kernel(BondAdjacency(graph));
  std::vector<long double> traces(weights.size() * static_cast<size_t>(K));
  kernel.Moments(pointers, K, nullptr, traces.data(), nullptr);
  for (size_t x = 0; x < traces.size(); ++x)
    row[x + 1] = static_cast<double>(traces[x]);
  return row;
}

} // namespace corvatin
