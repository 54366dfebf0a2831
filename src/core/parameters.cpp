#include "core/parameters.h"

#include "core/numtext.h"
#include "core/rounding.h"

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

// --------------------------------------------------------------------------------------------- TParameters

TParameters::TParameters() : notifier_(this) {}

TParameters::~TParameters() {
  for (auto& e : entries_) Detach(e.second);
}

void TParameters::Detach(const Ptr<IParameter>& param) {
  if (param)
    if (Ptr<IParamEdit> edit = param->GetEditor()) edit->Notifier().RemoveListener(this);
}

int TParameters::Find(const std::string& name) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].first == name) return static_cast<int>(i);
  return -1;
}

void TParameters::Clear() {
  for (auto& e : entries_) Detach(e.second);
  entries_.clear();
}

Ptr<IParameter> TParameters::GetParam(const std::string& name) const {
  int i = Find(name);
  return i < 0 ? nullptr : entries_[static_cast<size_t>(i)].second;
}

Ptr<INumberParameter> TParameters::GetNumberParam(const std::string& name) const {
  return std::dynamic_pointer_cast<INumberParameter>(GetParam(name));
}

double TParameters::GetFloat(const std::string& name) const {
  int i = Find(name);
  if (i < 0) return 0.0;
  auto* p = entries_[static_cast<size_t>(i)].second->AsNumber();
  return p ? p->GetValue() : 0.0;
}

void TParameters::SetFloat(const std::string& name, double value) {
  int i = Find(name);
  if (i >= 0) {
    if (auto* p = entries_[static_cast<size_t>(i)].second->AsNumber()) {
      p->SetValue(value);
      return;
    }
  }
  AddParam(name, std::make_shared<TNumberParameter>(name, value), nullptr, true);
}

std::int64_t TParameters::GetInt(const std::string& name) const { return RoundHalfEven(GetFloat(name)); }

bool TParameters::GetBool(const std::string& name) const {
  int i = Find(name);
  if (i < 0) return false;
  auto* p = entries_[static_cast<size_t>(i)].second->AsBool();
  return p ? p->GetValue() : false;
}

void TParameters::SetBool(const std::string& name, bool value) {
  int i = Find(name);
  if (i >= 0) {
    if (auto* p = entries_[static_cast<size_t>(i)].second->AsBool()) {
      p->SetValue(value);
      return;
    }
  }
  AddParam(name, std::make_shared<TBoolParameter>(name, value, 0), nullptr, true);
}

std::string TParameters::GetString(const std::string& name) const {
  int i = Find(name);
  if (i < 0) return {};
  auto* p = entries_[static_cast<size_t>(i)].second->AsString();
  return p ? p->GetValue() : std::string();
}

void TParameters::SetString(const std::string& name, const std::string& value) {
  int i = Find(name);
  if (i >= 0) {
    if (auto* p = entries_[static_cast<size_t>(i)].second->AsString()) {
      p->SetValue(value);
      ParamValueSet(name);
      return;
    }
  }
  AddParam(name, std::make_shared<TStringParameter>(name, value), nullptr, true);
  ParamValueSet(name);
}

void TParameters::ParamValueSet(const std::string&) {}

Ptr<IDoubleMatrix> TParameters::GetMatrix(const std::string& name) const {
  auto p = QueryParam<IMatrixParameter>(name);
  return p ? p->GetMatrix() : nullptr;
}

Ptr<IObject> TParameters::GetInterfaceObject(const std::string& name) const {
  auto p = QueryParam<IInterfaceParameter>(name);
  return p ? p->GetValue() : nullptr;
}

std::string TParameters::GetShortCaptionOf(const std::string& name) const {
  auto p = GetParam(name);
  return p ? p->GetShortCaption() : std::string();
}

void TParameters::SetShortCaptionOf(const std::string& name, const std::string& text) {
  if (auto p = GetParam(name)) p->SetShortCaption(text);
}

void TParameters::AddParam(const std::string& name, const Ptr<IParameter>& param, const Ptr<IParamEdit>& editor,
                           bool readOnly) {
  if (!param) throw std::invalid_argument("AddParam: no parameter given for \"" + name + "\"");
  int i = Find(name);
  if (i < 0) {
    entries_.emplace_back(name, nullptr);
    i = static_cast<int>(entries_.size()) - 1;
  }
  auto& slot = entries_[static_cast<size_t>(i)].second;
  if (slot != param) {
    Detach(slot);
    slot = param;
  }
  param->SetEditor(editor);
  param->SetReadOnly(readOnly);
  if (Ptr<IParamEdit> edit = param->GetEditor()) edit->Notifier().Subscribe(peValueEdited, this);
  NotifyParametersChanged();
}

void TParameters::DeleteParam(const std::string& name) {
  int i = Find(name);
  if (i < 0) return;
  Detach(entries_[static_cast<size_t>(i)].second);
  entries_.erase(entries_.begin() + i);
  NotifyParametersChanged();
}

Ptr<IParameter> TParameters::GetParamAt(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("parameter index " + std::to_string(index));
  return entries_[static_cast<size_t>(index)].second;
}

std::string TParameters::GetNameAt(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("parameter index " + std::to_string(index));
  return entries_[static_cast<size_t>(index)].first;
}

void TParameters::NotifyParametersChanged() {
  for (IParamObserver* o : notifier_.CollectListeners<IParamObserver>(peParametersChanged)) o->ParametersChanged();
}

void TParameters::Notify(int eventCode, IObject* sender, const std::any&) {
  if (eventCode != peValueEdited) return;
  auto* edit = dynamic_cast<IParamEdit*>(sender);
  if (!edit) return;
  IParameter* edited = edit->GetParam();
  for (auto& e : entries_)
    if (e.second.get() == edited) {
      // The entry is held and named by copies: the reaction below may rewrite entries.
      const std::string name = e.first;
      const Ptr<IParameter> hold = e.second;
      ParamValueSet(name);
      for (IParamObserver* o : notifier_.CollectListeners<IParamObserver>(peParametersChanged))
        o->ParameterChanged(hold.get());
      return;
    }
}

void TParameters::AssignParams(const IParamList& source) {
  for (int i = 0; i < source.Count(); ++i) {
    Ptr<IParameter> p = source.GetParamAt(i);
    if (p) AddParam(source.GetNameAt(i), p->Clone(), nullptr, true);
  }
}

Ptr<TParameters> SharedDataSpace() {
  static Ptr<TParameters> space = std::make_shared<TParameters>();
  return space;
}

} // namespace corvatin
