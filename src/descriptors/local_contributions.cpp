#include "descriptors/local_contributions.h"

#include "descriptors/moments.h"
#include "descriptors/topsmode.h"

#include <algorithm>

namespace corvatin {

Ptr<TDoubleMatrix> LocalMomentMatrix(const ISubGraph& graph, const std::vector<std::string>& weights, int K) {
  const int m = graph.EdgeCount();
  const size_t n = weights.size();
  const size_t width = n * static_cast<size_t>(K);
  auto matrix = std::make_shared<TDoubleMatrix>(static_cast<int>(width) + 1, m);
  if (m == 0) return matrix;
  std::vector<std::vector<double>> values;
  std::vector<const double*> pointers;
  for (const std::string& name : weights)
    values.push_back(BondWeights(graph, name));
  for (const auto& v : values)
    pointers.push_back(v.data());
  std::vector<long double> traces(width);
  std::vector<double> local(static_cast<size_t>(m) * width);
  TMomentKernel(BondAdjacency(graph)).Moments(pointers, K, nullptr, traces.data(), local.data());
  double* data = matrix->GetData();
  for (int b = 0; b < m; ++b) {
    double* row = data + static_cast<size_t>(b) * (width + 1);
    row[0] = 1.0;
    std::copy_n(&local[static_cast<size_t>(b) * width], width, row + 1);
  }
  return matrix;
}

Ptr<TDoubleMatrix> BondContributionMatrix(const IDoubleMatrix& local, const IParameters& coefficients,
                                          const std::vector<std::string>& weights, int K) {
  const int m = local.GetRowCount();
  const int n = static_cast<int>(weights.size());
  auto q = std::make_shared<TDoubleMatrix>(n, m);
  const double mu0 = coefficients.GetFloat(kParamMu0);
  for (int i = 0; i < n; ++i) {
    const std::string& w = weights[static_cast<size_t>(i)];
    std::vector<double> a(static_cast<size_t>(K) + 1, 0.0);
    for (int k = 1; k <= K; ++k)
      a[static_cast<size_t>(k)] = coefficients.GetFloat(CoefficientEntry(w, k));
    const double intercept = coefficients.GetFloat(InterceptEntry(w));
    for (int b = 0; b < m; ++b) {
      long double sum = 0.0L;
      for (int k = 1; k <= K; ++k)
        sum += static_cast<long double>(a[static_cast<size_t>(k)]) * local.Get(b, i * K + k);
      sum += static_cast<long double>(mu0) * local.Get(b, 0);
      sum += intercept;
      q->Set(b, i, static_cast<double>(sum));
    }
  }
  return q;
}

std::vector<std::string> BondRowLabels(const ISubGraph& graph) {
  std::vector<std::string> labels;
  for (int b = 0; b < graph.EdgeCount(); ++b)
    labels.push_back("Bond " + std::to_string(graph.GetEdge(b)->GetIndex() + 1));
  return labels;
}

} // namespace corvatin
