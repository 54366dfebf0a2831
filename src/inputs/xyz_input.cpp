#include "inputs/xyz_input.h"

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
      if (!ReadFloat(tokenizer, value)) fail({});
      xyz.push_back(value);
    }
    tokenizer.SkipLine();
  }
  tokenizer.SkipWhite();
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

TXYZSphereInput::TXYZSphereInput() : TParserInput(1, true, kParamInputFile, kXYZFilter, "") {}

void TXYZSphereInput::Execute(bool& more) {
  TParserInput::Execute(more);
  if (!Tokenizer()) return;
  IParser& tokenizer = *Tokenizer();
  IMolecule& structure = TakeMolecule();
  LogTransientHeading(kXYZHeading);
  SpherePointSet set;
  try {
    set = ReadSpherePoints(tokenizer, GetCurrentFile());
  } catch (const EInputError&) {
    throw;
  } catch (const EChemError&) {
    more = !tokenizer.AtEnd(); // the set was read whole: the next one follows
    throw;
  }
  const Ptr<TParameters> shared = SharedDataSpace();
  const std::pair<const char*, Ptr<IDoubleMatrix>> matrices[] = {{kParamCoordMatrix, set.coordinates},
                                                                  {kParamSphereVertexMatrix, set.distances},
                                                                  {kParamSphereVertexMatrixInv, set.inverseDistances}};
  for (const auto& [name, matrix] : matrices) {
    shared->AddParam(name, std::make_shared<TMatrixParameter>(matrix), nullptr, true);
    structure.AddParam(name, std::make_shared<TMatrixParameter>(matrix), nullptr, true);
  }
  ReportProgress();
  more = !tokenizer.AtEnd();
}

} // namespace corvatin
