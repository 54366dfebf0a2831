#include "descriptors/spectral_moments.h"

#include "core/errors.h"
#include "descriptors/contributions.h"
#include "descriptors/local_contributions.h"
#include "descriptors/topsmode.h"

#include <cmath>
#include <stdexcept>

namespace corvatin {

namespace {

Ptr<TDoubleMatrix> RowMatrix(const std::vector<double>& row) {
  auto matrix = std::make_shared<TDoubleMatrix>(static_cast<int>(row.size()), 1);
  for (size_t c = 0; c < row.size(); ++c)
    matrix->Set(0, static_cast<int>(c), row[c]);
  return matrix;
}

void Store(IParameters& target, const std::string& name, const Ptr<IDoubleMatrix>& matrix, const std::string& caption,
           std::vector<std::string> columns, std::vector<std::string> rows) {
  // High orders of large weights outgrow the numbers a double holds (about 1.8e308): such a moment would reach
  // the result file as INF, which no statistics package can use. The structure is skipped with the reason.
  for (int i = 0; i < matrix->GetRowCount(); ++i)
    for (int j = 0; j < matrix->GetColumnCount(); ++j)
      if (!std::isfinite(matrix->Get(i, j)))
        throw EChemError("The TOPS-MODE value " + (static_cast<size_t>(j) < columns.size() ? columns[j] : name) +
                         " is beyond the range of numbers (about 1.8e308); choose a lower \"" + kParamMaxOrder + "\"");
  target.AddParam(name, std::make_shared<TMatrixParameter>(matrix, caption, "", std::move(columns), std::move(rows)),
                  nullptr, true);
}

} // namespace

TSpectralMoments::TSpectralMoments(std::vector<std::string> weights, std::vector<std::string> labels,
                                   bool contributions, bool local)
    : TBlock(2), weights_(std::move(weights)), labels_(std::move(labels)), contributions_(contributions),
      local_(local) {
  AddParam(kParamMaxOrder, std::make_shared<TNumberParameter>(kParamMaxOrder, 15.0), nullptr, false);
  AddParam(kParamIncludeHydrogens, std::make_shared<TBoolParameter>(kParamIncludeHydrogens, false), nullptr, false);
  if (local_) AddParam(kParamMu0, std::make_shared<TNumberParameter>(kParamMu0, 0.0), nullptr, false);
  for (const std::string& w : weights_) {
    // In local mode each switch heads the group of its kCoefficientOrders + 1 coefficients.
    AddParam(w, std::make_shared<TBoolParameter>(w, false, local_ ? kCoefficientOrders + 1 : 0), nullptr, false);
    if (!local_) continue;
    for (int k = 1; k <= kCoefficientOrders; ++k)
      AddParam(CoefficientEntry(w, k),
               std::make_shared<TNumberParameter>(std::string(kMicroSign) + std::to_string(k), 0.0), nullptr, false);
    AddParam(InterceptEntry(w), std::make_shared<TNumberParameter>(std::string(kMicroSign) + "i", 0.0), nullptr, false);
  }
}

std::string TSpectralMoments::GetName() const {
  if (contributions_) return "TOPS-MODE Contributions";
  if (local_) return "TOPS-MODE Local Contributions";
  return "TOPS-MODE";
}

void TSpectralMoments::Execute(bool&) {
  if (Ptr<ISubGraph> structure = GetInputStructure()) Classify(RequireAtoms(structure));
}

void TSpectralMoments::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  if (contributions_)
    LogTransient("Calculating TOPS-MODE Contributions...");
  else if (local_)
    LogTransient("Calculating TOPS-MODE local contributions...");
  else
    LogTransient("Calculating TOPS-MODE...");

  std::vector<std::string> selected, labels;
  for (size_t i = 0; i < weights_.size(); ++i)
    if (GetBool(weights_[i])) {
      selected.push_back(weights_[i]);
      labels.push_back(WeightLabel(weights_[i], labels_, i));
    }
  if (selected.empty()) {
    if (local_) Fatal("You did not select any weight for local contributions.");
    // The plain bond adjacency matrix: every diagonal element 0.
    selected.emplace_back();
    labels.emplace_back();
  }
  const std::int64_t order = GetInt(kParamMaxOrder);
  if (order < 1 || order > kMaxMomentOrder)
    Fatal("\"Max Order\" must be a whole number from 1 to " + std::to_string(kMaxMomentOrder) + ".");
  const int K = static_cast<int>(order);
  const bool includeHydrogens = GetBool(kParamIncludeHydrogens);

  auto target = std::dynamic_pointer_cast<IParameters>(structure);
  if (!target) throw EChemError("The structure cannot carry the TOPS-MODE results.");
  const Ptr<ISubGraph> working = WorkingGraph(structure, includeHydrogens);
  const std::vector<std::string> columns = MomentColumnLabels(labels, K);
  const std::string micro = kMicroSign;

  if (contributions_) {
    // Atoms marked as environment leave the fragment whether or not hydrogens are included.
    const Ptr<ISubGraph> fragment = WithoutEnvironment(*structure, *working);
    Store(*target, kResultContribution, RowMatrix(FragmentContribution(*fragment, selected, K)), "c_" + micro, columns,
          {});
  } else if (local_) {
    const Ptr<TDoubleMatrix> local = LocalMomentMatrix(*working, selected, K);
    const std::vector<std::string> rows = BondRowLabels(*working);
    const Ptr<TDoubleMatrix> bonds = BondContributionMatrix(*local, *this, selected, K);
    std::vector<std::string> bondColumns;
    for (const std::string& label : labels)
      bondColumns.push_back("Contribution" + label);
    Store(*target, kResultLocalContribution, local, "lc_" + micro, columns, rows);
    Store(*target, kResultBondContributions, bonds, "Contributions", bondColumns, rows);
  } else {
    Store(*target, kResultMoments, RowMatrix(MomentRow(*working, selected, K)), micro, columns, {});
  }
}

int TSpectralMoments::GetValueCount(int kind) const {
  if (kind != ekMolecule) return 0;
  return local_ && !contributions_ ? 2 : 1;
}

std::string TSpectralMoments::GetValueName(int kind, int index) const {
  if (kind != ekMolecule || index < 0 || index >= GetValueCount(kind))
    throw std::out_of_range("TOPS-MODE value index " + std::to_string(index));
  if (contributions_) return kResultContribution;
  if (local_) return index == 0 ? kResultLocalContribution : kResultBondContributions;
  return kResultMoments;
}

void TSpectralMoments::CheckChain(const std::vector<Ptr<IBlock>>& before) const {
  std::vector<std::string> selected;
  for (const auto& w : weights_)
    if (GetBool(w)) selected.push_back(w);
  RequireValueNames(GetName(), ekBonds, selected, before);
}

} // namespace corvatin
