#pragma once
// What one structure becomes in the result files: its data-file header cells and lines, its results-file section
// and the lines echoed to the log. Composed in memory first, so that each file gets one write per structure.

#include "outputs/data_lines.h"

#include <string>
#include <vector>

namespace corvatin {

/// Element levels of output records.
enum OutputLevel : int { olAtom = 0, olBond = 1, olMolecule = 2 };

/// An output column record: the parameter name to look up and where (atoms, bonds or the molecule).
struct TParamObject {
  std::string name;
  int level = olMolecule;
};

/// The writing options of the vector output.
struct TOutputOptions {
  bool rowLines = false;      ///< each matrix row is its own data line
  bool labelledValues = true; ///< matrix elements in the results file as label=value
  int precision = 6;          ///< decimals
};

/// One structure, composed.
struct TComposedStructure {
  struct LogLine {
    std::string text;
    int kind; ///< 0 plain, 3 result, 4 heading
  };
  std::vector<std::string> header; ///< "Name", then the header cells of the records present
  std::vector<TDataLine> lines;    ///< data lines, first cell under "Name"
  std::string results;             ///< the results-file section, CR LF line ends
  std::vector<LogLine> log;
};

/// Composes structure (a molecule, or any graph with parameters; anything else gives an empty composition) for the
/// records in order.
TComposedStructure ComposeStructure(const Ptr<IObject>& structure, const std::vector<TParamObject>& records,
                                    const TOutputOptions& options);

} // namespace corvatin
