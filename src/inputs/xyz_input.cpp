#include "inputs/xyz_input.h"

#include "chem/completion.h"
#include "chem/distance_bonds.h"
#include "chem/elements.h"
#include "chem/geometry.h"
#include "core/errors.h"
#include "inputs/text_fields.h"

#include <cmath>
#include <vector>

namespace corvatin {

namespace {

using namespace text_fields;

std::string FormatTwo(std::string format, long long a, long long b) {
  for (long long value : {a, b}) {
    const auto at = format.find("%d");
    if (at != std::string::npos) format.replace(at, 2, std::to_string(value));
  }
  return format;
}

// The matrices of the points xyz (x, y, z per point), whose lines start at lineStarts; fail names a line.
template <class Fail>
SpherePointSet PointSet(IParser& tokenizer, const std::vector<double>& xyz, const std::vector<std::int64_t>& lineStarts,
                        Fail fail) {
  const int count = static_cast<int>(lineStarts.size());
  if (count > kMaxSpherePoints) throw EChemError(FormatTwo(kMsgTooManyPoints, count, kMaxSpherePoints));

  SpherePointSet set{NewMatrix(3, count), NewMatrix(count, count), NewMatrix(count, count)};
  for (int i = 0; i < count; ++i)
    for (int k = 0; k < 3; ++k) set.coordinates->Set(i, k, xyz[static_cast<std::size_t>(3 * i + k)]);
  for (int i = 0; i < count; ++i)
    for (int j = 0; j < i; ++j) {
      const std::size_t a = static_cast<std::size_t>(3 * i);
      const std::size_t b = static_cast<std::size_t>(3 * j);
      const double dx = xyz[a] - xyz[b];
      const double dy = xyz[a + 1] - xyz[b + 1];
      const double dz = xyz[a + 2] - xyz[b + 2];
      const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
      if (d == 0.0) {
        // No inverse distance exists; name the later point's line rather than fail on a division.
        BackTo(tokenizer, lineStarts[static_cast<std::size_t>(i)]);
        fail(FormatTwo(xyz_detail::kSamePoints, j + 1, i + 1));
      }
      set.distances->Set(i, j, d);
      set.distances->Set(j, i, d);
      set.inverseDistances->Set(i, j, 1.0 / d);
      set.inverseDistances->Set(j, i, 1.0 / d);
    }
  return set;
}

} // namespace

SpherePointSet ReadSpherePoints(IParser& tokenizer, const std::string& fileName) {
  auto fail = [&](const std::string& detail) {
    throw EInputError(FileErrorMessage(fileName, tokenizer.GetLineNumber(), detail));
  };
  tokenizer.SkipWhite();
  int count = 0;
  if (!ReadInteger(tokenizer, count) || count < 0) fail(xyz_detail::kAtomCount);
  std::string rest;
  tokenizer.SkipBlanks();
  tokenizer.ReadLine(rest);

  // The points are kept as read, so that a count larger than the file never reserves memory for it.
  std::vector<double> xyz;
  std::vector<std::int64_t> lineStarts;
  for (int i = 0; i < count; ++i) {
    lineStarts.push_back(tokenizer.GetPosition());
    for (int k = 0; k < 3; ++k) {
      double value = 0.0;
      tokenizer.SkipBlanks();
      // An exponent is read too ("1.5E-01"), so that 1e300 is refused for its size rather than for its letter.
      if (!ReadNumberToken(tokenizer, value)) fail(xyz_detail::kPoint);
      if (!CoordinateInRange(value)) fail(xyz_detail::kCoordinateRange);
      xyz.push_back(value);
    }
    tokenizer.SkipLine();
  }
  tokenizer.SkipWhite();
  return PointSet(tokenizer, xyz, lineStarts, fail);
}

bool AtXYZMolecule(IParser& tokenizer) {
  const std::int64_t start = tokenizer.GetPosition();
  tokenizer.SkipWhite();
  int count = 0;
  std::string line;
  bool molecule = false;
  if (ReadInteger(tokenizer, count) && count > 0) {
    tokenizer.ReadLine(line);
    tokenizer.SkipBlanks();
    double value = 0.0;
    int numbers = 0;
    while (numbers < 3 && ReadNumberToken(tokenizer, value)) {
      ++numbers;
      tokenizer.SkipBlanks();
    }
    molecule = numbers < 3;
  }
  BackTo(tokenizer, start);
  return molecule;
}

SpherePointSet ReadXYZMolecule(IParser& tokenizer, IMolecule& molecule, const std::string& fileName) {
  auto fail = [&](const std::string& detail) {
    throw EInputError(FileErrorMessage(fileName, tokenizer.GetLineNumber(), detail));
  };
  molecule.Clear();
  tokenizer.SkipWhite();
  int count = 0;
  if (!ReadInteger(tokenizer, count) || count <= 0) fail(xyz_detail::kAtomCount);
  std::string text;
  tokenizer.ReadLine(text);
  tokenizer.ReadLine(text); // the comment line: the molecule's name
  const std::string name = TrimBlanks(text);
  std::vector<double> xyz;
  std::vector<std::int64_t> lineStarts;
  try {
    molecule.BeginUpdate();
    for (int i = 0; i < count; ++i) {
      lineStarts.push_back(tokenizer.GetPosition());
      std::string symbol;
      tokenizer.SkipBlanks();
      if (!tokenizer.ReadLetters(symbol)) fail(xyz_detail::kAtom);
      // Symbols are written in any case ("CL", "cl"); the element table knows them as "Cl".
      symbol = Lower(symbol);
      symbol[0] = static_cast<char>(symbol[0] - 'a' + 'A');
      if (!IsElementSymbol(symbol)) fail(std::string(xyz_detail::kElement) + " \"" + symbol + "\"");
      double c[3] = {0.0, 0.0, 0.0};
      for (double& value : c) {
        if (!AtBlank(tokenizer)) fail(xyz_detail::kAtom);
        tokenizer.SkipBlanks();
        if (!ReadNumberToken(tokenizer, value)) fail(xyz_detail::kAtom);
        if (!CoordinateInRange(value)) fail(xyz_detail::kCoordinateRange);
        xyz.push_back(value);
      }
      tokenizer.SkipLine();
      IAtom* atom = molecule.AddAtom();
      atom->SetSymbol(symbol);
      atom->SetX3D(c[0]);
      atom->SetY3D(c[1]);
      atom->SetZ3D(c[2]);
    }
    tokenizer.SkipWhite();
    molecule.SetName(name);
    ConnectByDistance(molecule);
    PerceiveAromaticity(molecule, false, true, true);
    molecule.EndUpdate();
  } catch (...) {
    molecule.Clear();
    molecule.EndUpdate();
    throw;
  }
  FitView(molecule);
  // Last: every change of the molecule, the view fit included, clears the mark again.
  MarkHydrogensDone(molecule);
  // A molecule too large for the sphere matrices is still a molecule: it goes on without them.
  if (count > kMaxSpherePoints) return {};
  return PointSet(tokenizer, xyz, lineStarts, fail);
}

void SkipToNextXYZSet(IParser& tokenizer) {
  tokenizer.SkipLine();
  while (!tokenizer.AtEnd()) {
    const std::int64_t lineStart = tokenizer.GetPosition();
    tokenizer.SkipBlanks();
    int count = 0;
    if (ReadInteger(tokenizer, count) && BlanksToLineEnd(tokenizer)) {
      BackTo(tokenizer, lineStart);
      return;
    }
    BackTo(tokenizer, lineStart);
    tokenizer.SkipLine();
  }
}

TXYZSphereInput::TXYZSphereInput() : TParserInput(1, true, kParamInputFile, kXYZFilter, "") {}

void TXYZSphereInput::Execute(bool& more) {
  TParserInput::Execute(more);
  if (!Tokenizer()) return;
  IParser& tokenizer = *Tokenizer();
  IMolecule& structure = TakeMolecule();
  LogTransientHeading(kXYZHeading);
  SpherePointSet set;
  try {
    set = AtXYZMolecule(tokenizer) ? ReadXYZMolecule(tokenizer, structure, GetCurrentFile())
                                   : ReadSpherePoints(tokenizer, GetCurrentFile());
  } catch (const EInputError& e) {
    SkipToNextXYZSet(tokenizer);
    more = !tokenizer.AtEnd();
    throw RecordError(e);
  } catch (const EChemError&) {
    more = !tokenizer.AtEnd(); // the set was read whole: the next one follows
    throw;
  }
  const Ptr<TParameters> shared = DataSpace();
  const std::pair<const char*, Ptr<IDoubleMatrix>> matrices[] = {{kParamCoordMatrix, set.coordinates},
                                                                  {kParamSphereVertexMatrix, set.distances},
                                                                  {kParamSphereVertexMatrixInv, set.inverseDistances}};
  for (const auto& [name, matrix] : matrices) {
    if (!matrix) {
      shared->DeleteParam(name); // a stale set must not pass for this structure's
      continue;
    }
    shared->AddParam(name, std::make_shared<TMatrixParameter>(matrix), nullptr, true);
    structure.AddParam(name, std::make_shared<TMatrixParameter>(matrix), nullptr, true);
  }
  ReportProgress();
  more = !tokenizer.AtEnd();
}

bool TXYZSphereInput::LooksLikeFormat(std::string_view head, bool) const {
  const auto first = head.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && head[first] >= '0' && head[first] <= '9';
}

} // namespace corvatin
