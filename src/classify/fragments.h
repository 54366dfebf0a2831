#pragma once
// The in-memory form of a loaded classification file: fragment records kept sorted by specificity, and the user
// symbols a file defines.

#include "classify/classification.h"
#include "core/object.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvatin {

class IMolecule;

/// One fragment line: its text, its specificity key and its values.
struct TGraphData {
  std::string smiles;          ///< the fragment exactly as written on its line
  int atomCount = 0;           ///< atoms after two-atom symbols were expanded
  int specificAtomCount = 0;   ///< of the atoms the line wrote, those whose symbol is not "*"
  int specificBondCount = 0;   ///< of the first n bonds (n = atoms the line wrote), those not of type 4 (any)
  std::vector<std::string> values; ///< the values as written, in property-name order
  std::vector<double> numbers;     ///< the values as numbers (files of value kind 1)
};

/// Whether a's specificity key (atom count, specific atom count, specific bond count) is at least b's.
bool KeyAtLeast(const TGraphData& a, const TGraphData& b);

/// Where a new record goes in a list sorted by decreasing key: scanning from the last record towards the first,
/// right after the first one whose key is at least the new one's; first when there is none. Records with equal
/// keys therefore keep file order.
size_t SortedInsertIndex(const std::vector<std::unique_ptr<TGraphData>>& records, const TGraphData& record);

/// Symbol kinds: not yet defined (while its definition line is read), one atom, two atoms.
enum SymbolKind : int { skUndefined = 0, skOneAtom = 1, skTwoAtoms = 2 };

/// One user-defined atom symbol.
struct TSymbolData {
  int kind = skUndefined;
  std::vector<Ptr<IMolecule>> alternatives; ///< the definition's SMILES alternatives in file order
};

/// The user symbols of a file, in definition order; names are compared without regard to letter case.
class TSymbolTable {
public:
  /// The symbol named name (any letter case), or none.
  TSymbolData* Find(std::string_view name);
  const TSymbolData* Find(std::string_view name) const;
  /// Appends a new, undefined symbol (the caller checked that the name is not listed).
  TSymbolData& Add(const std::string& name);
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& NameAt(int index) const { return entries_.at(static_cast<size_t>(index)).first; }
  const TSymbolData& At(int index) const { return *entries_.at(static_cast<size_t>(index)).second; }
  void Clear() { entries_.clear(); }

private:
  std::vector<std::pair<std::string, std::unique_ptr<TSymbolData>>> entries_;
};

/// Everything a classification file defines.
struct TClassificationFile {
  std::vector<std::string> propertyNames;
  std::string className;
  int elementKind = ekAtoms;          ///< 0 atoms, 1 bonds
  std::uint8_t valueKind = vkNumber;  ///< 1 numbers, 3 strings, other: nothing stored
  std::vector<Ptr<IMolecule>> fragments;            ///< parallel to records
  std::vector<std::unique_ptr<TGraphData>> records; ///< sorted by decreasing specificity
  TSymbolTable symbols;

  /// Inserts a fragment and its record at their sorted place; returns the index.
  size_t Insert(Ptr<IMolecule> fragment, std::unique_ptr<TGraphData> record);
};

/// Letter-case-insensitive equality of ASCII names.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

} // namespace corvatin
