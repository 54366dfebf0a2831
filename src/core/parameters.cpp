#include "core/parameters.h"

#include "core/numtext.h"

#include <cstdio>
#include <stdexcept>

namespace corvatin {

namespace {
DefaultEditorFactory g_editorFactory = nullptr;

} // namespace

void SetDefaultEditorFactory(DefaultEditorFactory factory) { g_editorFactory = factory; }

// ---------------------------------------------------------------------------------------------- TParameter

TParameter::TParameter(ParamKind kind, std::string name, std::string shortCaption, int groupSize)
    : kind_(kind), shortCaption_(std::move(shortCaption)), groupSize_(groupSize), name_(std::move(name)) {}

TParameter::~TParameter() {
  // The editor keeps a plain link back to us: clear it so that it never dangles.
  if (editor_) editor_->SetParam(nullptr);
}

void TParameter::SetReadOnly(bool flag) {
  readOnly_ = flag;
  if (!flag && !editor_) {
    if (Ptr<IParamEdit> edit = CreateDefaultEditor()) SetEditor(edit);
    if (!editor_) readOnly_ = true;
  }
}

void TParameter::SetEditor(const Ptr<IParamEdit>& edit) {
  if (readOnly_ && !edit) return;
  if (editor_) editor_->SetParam(nullptr);
  editor_ = edit;
  if (editor_) editor_->SetParam(this);
}

Ptr<IParamEdit> TParameter::CreateDefaultEditor() { return nullptr; }

Ptr<IParameter> TParameter::Clone() const {
  auto copy = std::make_shared<TParameter>(kind_, name_, shortCaption_, groupSize_);
  return copy;
}

void TParameter::CopyCommonTo(TParameter& other) const { other.shortCaption_ = shortCaption_; }

// ------------------------------------------------------------------------------------------- the kinds

TNumberParameter::TNumberParameter(const std::string& name, double value, const std::string& shortCaption)
    : TParameter(ParamKind::Number, name, shortCaption), value_(value) {}

std::string TNumberParameter::GetText() const { return FloatToText(value_); }

Ptr<IParameter> TNumberParameter::Clone() const {
  auto copy = std::make_shared<TNumberParameter>(GetName(), value_, GetShortCaption());
  return copy;
}

Ptr<IParamEdit> TNumberParameter::CreateDefaultEditor() { return g_editorFactory ? g_editorFactory(*this) : nullptr; }

TBoolParameter::TBoolParameter(const std::string& name, bool value, int attribute)
    : TParameter(ParamKind::Bool, name, {}, attribute), value_(value) {}

Ptr<IParameter> TBoolParameter::Clone() const {
  auto copy = std::make_shared<TBoolParameter>(GetName(), value_, GetGroupSize());
  CopyCommonTo(*copy);
  return copy;
}

Ptr<IParamEdit> TBoolParameter::CreateDefaultEditor() { return g_editorFactory ? g_editorFactory(*this) : nullptr; }

TStringParameter::TStringParameter(const std::string& name, const std::string& value, const std::string& shortCaption)
    : TParameter(ParamKind::String, name, shortCaption), value_(value) {}

Ptr<IParameter> TStringParameter::Clone() const {
  return std::make_shared<TStringParameter>(GetName(), value_, GetShortCaption());
}

Ptr<IParamEdit> TStringParameter::CreateDefaultEditor() { return g_editorFactory ? g_editorFactory(*this) : nullptr; }

TMatrixParameter::TMatrixParameter(Ptr<IDoubleMatrix> matrix, const std::string& shortCaption,
                                   const std::string& rowLabelFormat)
    : TParameter(ParamKind::Matrix, {}, shortCaption),
      matrix_(matrix ? std::move(matrix) : std::make_shared<TDoubleMatrix>()), rowLabelFormat_(rowLabelFormat) {}

TMatrixParameter::TMatrixParameter(Ptr<IDoubleMatrix> matrix, const std::string& shortCaption,
                                   const std::string& rowLabelFormat, std::vector<std::string> columnLabels,
                                   std::vector<std::string> rowLabels)
    : TMatrixParameter(std::move(matrix), shortCaption, rowLabelFormat) {
  columnLabels_ = std::move(columnLabels);
  rowLabels_ = std::move(rowLabels);
}

TMatrixParameter::TMatrixParameter(Ptr<IDoubleMatrix> matrix, const std::string& shortCaption,
                                   const std::string& rowLabelFormat, std::vector<std::string> columnLabels,
                                   std::vector<std::string> rowLabels, std::vector<bool> mask)
    : TMatrixParameter(std::move(matrix), shortCaption, rowLabelFormat, std::move(columnLabels),
                       std::move(rowLabels)) {
  mask_ = std::move(mask);
}

std::string TMatrixParameter::GetText() const {
  std::string text;
  const int rows = matrix_->GetRowCount();
  const int cols = matrix_->GetColumnCount();
  for (int r = 0; r < rows; ++r) {
    text += '(';
    for (int c = 0; c < cols; ++c) {
      if (c > 0) text += ", ";
      text += FloatToText(matrix_->Get(r, c));
    }
    text += ')';
  }
  return text;
}

std::string TMatrixParameter::GetColumnLabel(int j) const {
  if (j >= 0 && j < static_cast<int>(columnLabels_.size())) return columnLabels_[static_cast<size_t>(j)];
  return std::to_string(j);
}

std::string TMatrixParameter::GetRowLabel(int i, int n) const {
  if (i >= 0 && i < static_cast<int>(rowLabels_.size())) return rowLabels_[static_cast<size_t>(i)];
  if (!rowLabelFormat_.empty()) return FormatRowLabel(rowLabelFormat_, n);
  return std::to_string(n);
}

bool TMatrixParameter::GetMask(int i, int j) const {
  if (i < 0 || j < 0) return false;
  const size_t at = static_cast<size_t>(i) * static_cast<size_t>(matrix_->GetColumnCount()) + static_cast<size_t>(j);
  return at < mask_.size() && mask_[at];
}

Ptr<IParameter> TMatrixParameter::Clone() const {
  return std::make_shared<TMatrixParameter>(std::make_shared<TDoubleMatrix>(*matrix_), GetShortCaption(),
                                            rowLabelFormat_, columnLabels_, rowLabels_, mask_);
}

TInterfaceParameter::TInterfaceParameter(std::type_index id, Ptr<IObject> value)
    : TParameter(ParamKind::Interface, {}), id_(id), value_(std::move(value)) {}

Ptr<IParameters> TInterfaceParameter::GetAsParameters() const { return std::dynamic_pointer_cast<IParameters>(value_); }

Ptr<IParameter> TInterfaceParameter::Clone() const {
  auto copy = std::make_shared<TInterfaceParameter>(id_, value_);
  CopyCommonTo(*copy);
  return copy;
}

} // namespace corvatin
