#pragma once
// What the columns of the data files mean: one note per result record (the parameter name an output looks up),
// with a definition, a unit, the value it is built from and the paper that defines it. The labels themselves are
// never listed here: they come from the output's own header code (procedures/columns.h).

#include <string>

namespace corvatin {

/// How the header cells of a record are told apart.
enum class NoteShape {
  Number,        ///< one cell
  Moments,       ///< µ0, then one cell per selected weight and order
  Contributions, ///< one cell per selected weight (the local-contributions model)
  Connectivity,  ///< the 6 x 4 matrix of orders 1-6 and path, cluster, path-cluster and chain subgraphs
  Kappa,         ///< orders 1-3
  Points         ///< one cell per point of the set (as many as the structure has)
};

/// The note of one record. definition may hold {order}, {type}, {weight} and {graph}; value is the atom, bond or
/// file value the record is built from (resolved to its classification file by the caller), source a fixed text
/// for values that come from no classification file; rowLabel describes the row-label cell of row-line files.
struct TRecordNote {
  const char* record;
  NoteShape shape;
  const char* definition;
  const char* unit;
  const char* value;
  const char* source;
  const char* reference;
  const char* rowLabel;
  const char* first; ///< Moments: the definition of µ0
};

/// The note of record, none when the table has no entry for it.
const TRecordNote* FindRecordNote(const std::string& record);

/// The note of a TOPS-MODE weight (a bond value): where it comes from and who defined it.
struct TWeightNote {
  const char* weight;
  const char* source;    ///< for values that come from no classification file
  const char* reference;
};

/// The note of weight, none when the table has no entry for it.
const TWeightNote* FindWeightNote(const std::string& weight);

/// The definition of the structure-name column.
inline constexpr const char* kNameColumnNote =
    "The structure's name as read from its file (five blanks when it has none)";

/// The subgraph types of the connectivity matrices' columns.
inline constexpr const char* kSubgraphTypes[] = {"path", "cluster", "path-cluster", "chain"};

} // namespace corvatin
