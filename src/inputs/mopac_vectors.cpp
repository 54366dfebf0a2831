// The eigenvectors of a MOPAC output: blocks of roots, each with its root numbers ("ROOT NO." or "Root No."), a
// line of symmetry labels in MOPAC 2016 and later, the eigenvalues, then one row per atomic orbital, labelled
// with the orbital (S, Px, Py, Pz, then the d orbitals), the atom's symbol and its number. The coefficients serve
// only when every molecular orbital is there (MOPAC's ALLVEC): sums over all occupied and all empty orbitals
// cannot be formed from the roots around the HOMO-LUMO gap that VECTORS prints.
#include "inputs/mopac_reader.h"

#include "inputs/text_fields.h"

namespace corvatin::mopac_detail {

using namespace text_fields;

namespace {

bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Column k of the matrix, widened and deepened as needed.
void Store(IDoubleMatrix& matrix, int row, int column, double value) {
  if (matrix.GetRowCount() <= row) matrix.SetRowCount(row + 1);
  if (matrix.GetColumnCount() <= column) matrix.SetColumnCount(column + 1);
  matrix.Set(row, column, value);
}

} // namespace

void MopacReader::ReadEigenvectors() {
  const std::int64_t afterHeading = t_.GetPosition();
  t_.SkipWhite();
  if (!t_.CheckString("ROOT NO.")) {
    // Only the word (a keyword's description): no listing here.
    BackTo(t_, afterHeading);
    return;
  }
  EigenData data;
  data.coefficients.resize(static_cast<std::size_t>(molecule_.VertexCount()));
  bool first = true;
  do {
    ReadEigenBlock(data, first);
    first = false;
  } while (t_.CheckString("ROOT NO."));

  int orbitals = 0;
  for (const auto& matrix : data.coefficients)
    if (matrix) orbitals += matrix->GetRowCount();
  eigenRead_ = true;
  if (data.firstRoot != 1 || data.lastRoot != orbitals) {
    if (hooks_.warning)
      hooks_.warning(FormatNumbers(kMsgPartialEigenvectors, {data.firstRoot, data.lastRoot, orbitals}));
    eigen_ = {};
    return;
  }
  // The lowest empty orbital must be there.
  if (data.lastRoot <= filledLevels_) Fail();
  eigen_ = std::move(data);
}

void MopacReader::ReadEigenBlock(EigenData& data, bool first) {
  std::vector<int> roots;
  while (!BlanksToLineEnd(t_)) {
    int root = 0;
    if (!ReadUnsigned(t_, root)) Fail();
    roots.push_back(root);
  }
  if (roots.empty()) Fail();
  // MOPAC's VECTORS starts below the HOMO; later blocks go on from the last root.
  const int expected = first ? roots.front() : data.lastRoot + 1;
  for (std::size_t k = 0; k < roots.size(); ++k)
    if (roots[k] != expected + static_cast<int>(k)) Fail(kRootSequence);
  if (first) data.firstRoot = roots.front();
  data.lastRoot = roots.back();
  const int column0 = roots.front() - data.firstRoot;
  const int count = static_cast<int>(roots.size());
  t_.SkipLine();
  t_.SkipWhite();

  std::vector<double> values;
  if (!ReadNumbersToLineEnd(count, values)) {
    // The symmetry labels of the roots ("1 a1      1 b2  ...") come first in MOPAC 2016 and later.
    t_.SkipLine();
    t_.SkipWhite();
    if (!ReadNumbersToLineEnd(count, values)) Fail();
  }
  data.eigenvalues.insert(data.eigenvalues.end(), values.begin(), values.end());
  t_.SkipWhite();

  int atom = 0;    // from 1; each "S" row starts the next atom
  int orbital = 0; // from 1 within the atom
  const int atoms = molecule_.VertexCount();
  while (true) {
    const std::int64_t rowStart = t_.GetPosition();
    if (t_.CheckString("ROOT NO.") || !IsLetter(Peek(t_))) {
      BackTo(t_, rowStart);
      break;
    }
    // Orbital labels are words: the d orbitals read "x2", "xz", "z2", "yz", "xy".
    std::string label;
    int number = 0;
    ReadWord(t_, label);
    if (!AtBlank(t_)) {
      BackTo(t_, rowStart);
      break;
    }
    t_.SkipBlanks();
    if (!LabelledReference(number)) {
      BackTo(t_, rowStart); // a line of text after the listing
      break;
    }
    if (Lower(label) == "s") {
      ++atom;
      orbital = 1;
    } else {
      if (atom == 0) Fail();
      ++orbital;
    }
    if (number != atom) Fail();
    if (atom > atoms) Fail(kAtomRange);
    std::vector<double> coefficients;
    if (!ReadNumbersToLineEnd(count, coefficients)) Fail();
    Ptr<IDoubleMatrix>& matrix = data.coefficients[static_cast<std::size_t>(atom - 1)];
    if (!matrix) matrix = NewMatrix(0, 0);
    for (int k = 0; k < count; ++k) Store(*matrix, orbital - 1, column0 + k, coefficients[static_cast<std::size_t>(k)]);
    t_.SkipLine();
    t_.SkipWhite();
  }
  // Every block lists every atom.
  if (atom != atoms) Fail();
}

bool MopacReader::ReadNumbersToLineEnd(int count, std::vector<double>& values) {
  const std::int64_t start = t_.GetPosition();
  values.clear();
  for (int k = 0; k < count; ++k) {
    double value = 0.0;
    t_.SkipBlanks();
    if (!ReadFloat(t_, value)) {
      BackTo(t_, start);
      return false;
    }
    values.push_back(value);
  }
  if (!BlanksToLineEnd(t_)) {
    BackTo(t_, start);
    return false;
  }
  return true;
}

void MopacReader::CommitEigenvectors() {
  const bool complete = eigenRead_ && eigen_.firstRoot == 1;
  // Filled levels printed after the listing count as well.
  if (complete && eigen_.lastRoot <= filledLevels_) Fail();
  for (int i = 0; i < molecule_.VertexCount(); ++i) {
    IAtom* atom = molecule_.GetAtom(i);
    const std::size_t k = static_cast<std::size_t>(i);
    if (complete && k < eigen_.coefficients.size() && eigen_.coefficients[k])
      atom->AddParam(kParamEigenvectors, std::make_shared<TMatrixParameter>(eigen_.coefficients[k]), nullptr, true);
    else
      atom->DeleteParam(kParamEigenvectors);
  }
  if (!complete) {
    molecule_.DeleteParam(kParamEigenvalues);
    return;
  }
  const int roots = static_cast<int>(eigen_.eigenvalues.size());
  Ptr<IDoubleMatrix> energies = NewMatrix(roots, 1);
  for (int k = 0; k < roots; ++k) energies->Set(0, k, eigen_.eigenvalues[static_cast<std::size_t>(k)]);
  molecule_.AddParam(kParamEigenvalues, std::make_shared<TMatrixParameter>(energies), nullptr, true);
}

} // namespace corvatin::mopac_detail
