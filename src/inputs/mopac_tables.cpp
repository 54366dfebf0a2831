// The per-atom tables of a MOPAC output: Cartesian coordinates and net atomic charges. Their rows start with the
// atom's number and its symbol (or atomic number); a line that does not start with a number ends a table.
#include "inputs/mopac_reader.h"

#include "inputs/text_fields.h"

namespace corvatin::mopac_detail {

using namespace text_fields;

void MopacReader::ReadCoordinates() {
  const std::int64_t afterHeading = t_.GetPosition();
  t_.SkipWhite();
  // MOPAC 22 prints the input geometry under a column header and the final geometry without one.
  if (t_.CheckString("NO.")) {
    for (const char* word : {"ATOM", "X", "Y", "Z"}) {
      RequireBlank();
      if (!t_.CheckString(word)) Fail();
    }
    t_.SkipWhite();
  }
  int rows = 0;
  while (true) {
    const std::int64_t rowStart = t_.GetPosition();
    int number = 0;
    if (!ReadUnsigned(t_, number)) {
      BackTo(t_, rowStart);
      break;
    }
    IAtom* atom = AtomReference(number);
    const double x = RequireFloat();
    RequireBlank();
    const double y = RequireFloat();
    RequireBlank();
    const double z = RequireFloat();
    if (!BlanksToLineEnd(t_)) Fail();
    if (!CoordinateInRange(x) || !CoordinateInRange(y) || !CoordinateInRange(z)) Fail(kCoordinateRange);
    // A later section (the optimised geometry) overwrites the coordinates of the same atoms.
    atom->SetX3D(x);
    atom->SetY3D(y);
    atom->SetZ3D(z);
    ++rows;
    t_.SkipWhite();
  }
  // A heading without rows (the words in a keyword's description) leaves the atoms unknown, and the search goes
  // on right after it.
  if (rows > 0)
    atomsKnown_ = true;
  else
    BackTo(t_, afterHeading);
}

void MopacReader::ReadCharges() {
  t_.SkipLine();
  t_.SkipWhite();
  if (!t_.CheckString("ATOM NO.")) Fail();
  t_.SkipLine();
  t_.SkipWhite();
  int rows = 0;
  while (true) {
    const std::int64_t rowStart = t_.GetPosition();
    int number = 0;
    if (!ReadUnsigned(t_, number)) {
      BackTo(t_, rowStart);
      break;
    }
    IAtom* atom = AtomReference(number);
    const double charge = RequireFloat();
    RequireBlank();
    const double density = RequireFloat();
    atom->SetFloat(kParamNetAtomicCharge, charge);
    atom->SetFloat(kParamElectronDensity, density);
    ++rows;
    // MOPAC 22 adds the s and p populations after the electron count: the rest of the row is not the next row.
    t_.SkipLine();
    t_.SkipWhite();
  }
  if (rows > 0) atomsKnown_ = true;
}

} // namespace corvatin::mopac_detail
