// Bond orders (Wiberg bond indices, Tetrahedron 24 (1968) 1083) in the two layouts MOPAC prints:
// the lower-triangular matrix "BOND ORDERS AND VALENCIES" of MOPAC 6/7, MOPAC 93 and AMPAC, in blocks of
// columns with the valencies on the diagonal; and the per-atom list "(VALENCIES)   BOND ORDERS" of MOPAC 2016
// and later, each atom's valency in parentheses followed by its partners, wrapped onto further lines. Either way
// the bonds come from distances first and only the bonds of the molecule keep their values.
#include "inputs/mopac_reader.h"

#include "chem/distance_bonds.h"
#include "inputs/text_fields.h"

#include <algorithm>

namespace corvatin::mopac_detail {

using namespace text_fields;

void MopacReader::ReadBondMatrix() {
  if (!atomsKnown_) Fail();
  ConnectByDistance(molecule_);
  const int n = molecule_.VertexCount();
  int first = 1;
  while (first <= n) {
    // The block's header line starts with the label of its first column.
    int number = 0;
    while (true) {
      if (t_.AtEnd()) Fail();
      t_.SkipWhite();
      const std::int64_t start = t_.GetPosition();
      if (LabelledReference(number) && number == first) break;
      BackTo(t_, start);
      t_.SkipLine();
    }
    int last = first;
    while (!BlanksToLineEnd(t_)) {
      if (!LabelledReference(number) || number != last + 1) Fail();
      last = number;
    }
    if (last > n) Fail(kAtomRange);
    t_.SkipLine();
    t_.SkipWhite();
    if (t_.CheckString("-----")) t_.SkipLine();
    for (int row = first; row <= n; ++row) {
      t_.SkipWhite();
      if (!LabelledReference(number) || number != row) Fail();
      for (int column = first; column <= std::min(row, last); ++column) {
        t_.SkipBlanks();
        const double value = RequireFloat();
        if (column != row) StoreBondOrder(row, column, value);
      }
      if (!BlanksToLineEnd(t_)) Fail();
      t_.SkipLine();
    }
    first = last + 1;
  }
  bondOrdersRead_ = true;
}

void MopacReader::ReadBondList() {
  if (!atomsKnown_) Fail();
  ConnectByDistance(molecule_);
  t_.SkipLine();
  t_.SkipWhite();
  int current = 0; // the atom whose partners the lines list
  while (true) {
    const std::int64_t lineStart = t_.GetPosition();
    int number = 0;
    if (!ReadUnsigned(t_, number)) {
      BackTo(t_, lineStart);
      break;
    }
    std::string symbol;
    RequireBlank();
    if (!t_.ReadLetters(symbol)) Fail();
    t_.SkipBlanks();
    if (t_.CheckString("(")) {
      // "n  C     (3.910)": the next atom and its valency.
      RequireFloat();
      if (!t_.CheckString(")")) Fail();
      AtomNumbered(number);
      current = number;
    } else {
      // A continuation line: the atom read was the first partner on it.
      if (current == 0) Fail();
      StoreBondOrder(current, number, RequireFloat());
    }
    while (!BlanksToLineEnd(t_)) {
      int partner = 0;
      if (!ReadUnsigned(t_, partner)) Fail();
      RequireBlank();
      if (!t_.ReadLetters(symbol)) Fail();
      t_.SkipBlanks();
      StoreBondOrder(current, partner, RequireFloat());
    }
    t_.SkipWhite();
  }
  bondOrdersRead_ = true;
}

} // namespace corvatin::mopac_detail
