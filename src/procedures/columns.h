#pragma once
// The column reference of the batch tool (--columns): for a procedure and its present settings, every column of
// every data file it writes, in file order, labelled by the output's own header code and described from the notes
// of procedures/column_notes.h.

#include "procedures/batch.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace corvatin {

/// One column of a data file.
struct TColumnInfo {
  std::string procedure;
  std::string file;       ///< the data file's name
  std::string label;      ///< the header cell as written (UTF-8); "0 … n-1" for one column per point
  std::string definition;
  std::string unit;
  std::string source;     ///< the classification file and value, or the input section, it is built from
  std::string reference;  ///< journal, volume, page, year
};

/// The label that stands for one column per point of a set, numbered from 0.
inline constexpr const char* kPointColumnsLabel = "0 \xE2\x80\xA6 n-1";

/// The columns of every data file of package, for its present parameters (weights, "Max Order", "Include
/// Hydrogen atoms"): those a structure with every value writes. EFatalError as a run would raise it (local
/// contributions without a selected weight).
std::vector<TColumnInfo> DescribeColumns(const TPackage& package);

/// The columns as tab-separated lines under a header line (LF ends, UTF-8).
void WriteColumns(const std::vector<TColumnInfo>& columns, std::ostream& out);

/// --columns: the columns of options.procedure, or of every procedure when allProcedures (--weights and --set
/// then apply to the procedures that have them), on out; errors on err. Returns the exit status. EUsageError for
/// an unknown procedure, weight or parameter.
int ListColumns(const TCatalogue& catalogue, const TBatchOptions& options, bool allProcedures, std::ostream& out,
                std::ostream& err);

} // namespace corvatin
