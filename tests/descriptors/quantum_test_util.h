#pragma once
// What the tests of the topographic, quantum-chemical and sphere-matrix blocks share: a log that records its
// lines, and publishing a molecule in the shared data space the way an input block does.

#include "chem/molecule.h"
#include "core/parameters.h"
#include "core/progress.h"

#include <string>
#include <vector>

namespace corvatin::test {

struct QuantumLogLine {
  std::string text;
  int kind;
};

class QuantumLog : public IProgressLog {
public:
  void Clear() override { lines.clear(); }
  void AddMessage(const std::string& text, int kind, bool transient) override {
    if (!transient) lines.push_back({text, kind});
  }
  /// The permanent lines of one kind, in order.
  std::vector<std::string> Texts(int kind) const {
    std::vector<std::string> texts;
    for (const auto& line : lines)
      if (line.kind == kind) texts.push_back(line.text);
    return texts;
  }
  std::vector<QuantumLogLine> lines;
};

inline constexpr const char* kQuantumPort = "Molecule";

/// Publishes molecule under kQuantumPort, as an input block would.
inline void PublishMolecule(const Ptr<IMolecule>& molecule) {
  SharedDataSpace()->AddParam(kQuantumPort, MakeInterfaceParam<IGraph>(std::static_pointer_cast<IGraph>(molecule)),
                              nullptr, true);
}

/// A one-row matrix parameter holding values (as the MOPAC reader stores the orbital energies).
inline Ptr<TMatrixParameter> RowMatrix(const std::vector<double>& values) {
  Ptr<IDoubleMatrix> m = NewMatrix(static_cast<int>(values.size()), 1);
  for (size_t j = 0; j < values.size(); ++j) m->Set(0, static_cast<int>(j), values[j]);
  return std::make_shared<TMatrixParameter>(m);
}

/// A matrix parameter from rows of equal length.
inline Ptr<TMatrixParameter> RowsMatrix(const std::vector<std::vector<double>>& rows) {
  Ptr<IDoubleMatrix> m = NewMatrix(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t j = 0; j < rows[i].size(); ++j) m->Set(static_cast<int>(i), static_cast<int>(j), rows[i][j]);
  return std::make_shared<TMatrixParameter>(m);
}

} // namespace corvatin::test
