#include "shell/param_editors.h"

#include "core/numtext.h"
#include "core/rounding.h"
#include "inputs/file_input.h"

#include <cmath>
#include <stdexcept>

namespace corvatin::shell {

namespace {
// Below this a typed number counts as the value already held: the text form shows six decimals, so retyping
// what is shown must not count as an edit.
constexpr double kFloatTolerance = 1e-9;

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }

Ptr<IParamEdit> DefaultEditor(IParameter& param) {
  switch (param.GetKind()) {
  case ParamKind::Number:
    return std::make_shared<TParamEdit>(EditorKind::Float);
  case ParamKind::Bool:
    return std::make_shared<TParamEdit>(EditorKind::Bool);
  case ParamKind::String:
    return std::make_shared<TParamEdit>(EditorKind::String);
  default:
    return nullptr;
  }
}

Ptr<IParamEdit> InputFileEditor(IParameter& param, const std::string& filter) {
  // Structure inputs read several files at once.
  return MakeFileNameEditor(filter, true, param.GetName());
}
} // namespace

CommitResult TParamEdit::Commit(const QString& text, QString* error) {
  if (!param_) return CommitResult::Unchanged;
  const std::string value = Utf8(text);
  try {
    if (INumberParameter* number = param_->AsNumber()) {
      double parsed = TextToFloat(value);
      if (kind_ == EditorKind::Int) {
        // Integers are rounded the way the whole program rounds: halves to even.
        parsed = RoundHalfEvenD(parsed);
        if (parsed == number->GetValue()) return CommitResult::Unchanged;
      } else if (std::fabs(parsed - number->GetValue()) <= kFloatTolerance) {
        return CommitResult::Unchanged;
      }
      number->SetValue(parsed);
    } else if (IBoolParameter* flag = param_->AsBool()) {
      const bool on = value == "yes";
      if (on == flag->GetValue()) return CommitResult::Unchanged;
      flag->SetValue(on);
    } else if (IStringParameter* str = param_->AsString()) {
      if (str->GetValue() == value) return CommitResult::Unchanged;
      str->SetValue(value);
    } else {
      return CommitResult::Unchanged;
    }
  } catch (const std::exception& e) {
    if (error) *error = QString::fromUtf8(e.what());
    return CommitResult::Invalid;
  }
  notifier_.Notify(peValueEdited);
  return CommitResult::Changed;
}

TParamEdit* EditorOf(const IParameter& param) {
  if (param.GetReadOnly()) return nullptr;
  return dynamic_cast<TParamEdit*>(param.GetEditor().get());
}

Ptr<TParamEdit> MakeFileNameEditor(const std::string& filter, bool multiple, const std::string& name) {
  auto edit = std::make_shared<TParamEdit>(EditorKind::FileName);
  edit->filter = QString::fromStdString(filter);
  edit->multiple = multiple;
  edit->settingsPath = "Folders\\" + QString::fromStdString(name);
  return edit;
}

Ptr<TParamEdit> MakeIntEditor() { return std::make_shared<TParamEdit>(EditorKind::Int); }

Ptr<TParamEdit> MakeListEditor(const QStringList& choices) {
  auto edit = std::make_shared<TParamEdit>(EditorKind::List);
  edit->choices = choices;
  return edit;
}

void InstallParameterEditors() {
  SetDefaultEditorFactory(&DefaultEditor);
  SetFileNameEditorFactory(&InputFileEditor);
}

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ').remove('(').remove(')');
    out << QString("%1 (%2)").arg(parts[i], patterns);
  }
  return out.join(";;");
}

} // namespace corvatin::shell
