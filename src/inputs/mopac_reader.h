#pragma once
// Internal to the MOPAC output reader: the state of one file being read. Not part of the library's interface.

#include "inputs/mopac_input.h"

#include "core/matrix.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvatin::mopac_detail {

/// The section headings, in the order of their kinds.
enum Section {
  scTitle = 0,          ///< "T=" and a number: the keyword line, the title follows it
  scCoordinates = 1,    ///< "CARTESIAN COORDINATES"
  scFilledLevels = 2,   ///< "NO. OF FILLED LEVELS"
  scEigenvectors = 3,   ///< "EIGENVECTORS"
  scCharges = 4,        ///< "NET ATOMIC CHARGES"
  scBondMatrix = 5,     ///< "BOND ORDERS AND VALENCIES": lower-triangular matrix in blocks of columns
  scBondList = 6,       ///< "(VALENCIES)   BOND ORDERS": per atom, its partners and bond orders (MOPAC 2016+)
};

/// Eigenvectors of one section, kept until the whole file has been read.
struct EigenData {
  int firstRoot = 0;
  int lastRoot = 0;
  std::vector<double> eigenvalues;                // root firstRoot + k at k
  std::vector<Ptr<IDoubleMatrix>> coefficients;   // per atom: orbitals x roots (root firstRoot + k in column k)
};

class MopacReader {
public:
  MopacReader(IParser& tokenizer, IMolecule& molecule, const std::string& fileName, const MopacReadHooks& hooks)
      : t_(tokenizer), molecule_(molecule), fileName_(fileName), hooks_(hooks) {}

  void Read();

private:
  /// Moves right after the next heading and returns its section; -1 (position at the end) when none is left.
  int NextSection();
  void ReadTitle();
  void ReadCoordinates();
  void ReadFilledLevels();
  void ReadCharges();
  void ReadBondMatrix();
  void ReadBondList();
  void ReadEigenvectors();
  void ReadEigenBlock(EigenData& data, bool first);
  bool ReadNumbersToLineEnd(int count, std::vector<double>& values);
  void CommitEigenvectors();

  /// The rest of an atom reference after its number: blanks, a symbol or an atomic number, blanks. While atoms
  /// are not known it adds the atom (number must be the next one), else it returns the atom of that number.
  IAtom* AtomReference(int number);
  /// A labelled atom reference: symbol, blanks, number. False (nothing consumed) when the text is not one.
  bool LabelledReference(int& number);
  /// The atom of a number from 1; Fail(kAtomRange) outside the atoms.
  IAtom* AtomNumbered(int number);
  /// Stores value as the "Bond order" of the bond between atoms i and j (numbers from 1), when there is one.
  void StoreBondOrder(int i, int j, double value);
  void RequireBlank();
  double RequireFloat();
  [[noreturn]] void Fail(const std::string& detail = {}) const;

  IParser& t_;
  IMolecule& molecule_;
  const std::string& fileName_;
  const MopacReadHooks& hooks_;
  bool atomsKnown_ = false;
  bool bondOrdersRead_ = false;
  int filledLevels_ = 0;
  bool eigenRead_ = false; // a section with roots was read; eigen_ holds it when it was complete
  EigenData eigen_;
};

/// "%d" placeholders of format replaced by values in order.
std::string FormatNumbers(std::string format, std::initializer_list<long long> values);

} // namespace corvatin::mopac_detail
