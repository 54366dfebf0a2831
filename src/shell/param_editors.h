#pragma once
// The parameter editors of the property inspector: one link object per editable parameter that knows which kind
// of control edits it and applies the commit rule of that kind. The controls themselves are made by the
// inspector's delegate; the rules live here so they hold whatever control is used.

#include "core/parameters.h"

#include <QString>
#include <QStringList>

namespace corvatin::shell {

/// The six editor kinds.
enum class EditorKind { String, Float, Int, Bool, FileName, List };

/// What a commit did.
enum class CommitResult { Unchanged, Changed, Invalid };

/// An editor link (IParamEdit): reports value edited (peValueEdited) on its notifier after a commit.
class TParamEdit : public virtual IParamEdit {
public:
  explicit TParamEdit(EditorKind kind) : kind_(kind), notifier_(this) {}

  IParameter* GetParam() const override { return param_; }
  void SetParam(IParameter* param) override { param_ = param; }
  TNotifier& Notifier() override { return notifier_; }

  EditorKind Kind() const { return kind_; }

  /// Applies text by this kind's rule (numbers: changes below 1e-9 commit nothing; integers: rounded; booleans:
  /// "yes"/"no"). Invalid (value kept, error set to the parser's message) when a number does not parse.
  CommitResult Commit(const QString& text, QString* error = nullptr);

  // File-name editors.
  QString filter;          ///< "description|*.ext;*.ext2|..." as blocks give it
  bool multiple = false;   ///< several files, joined with "; "
  bool folderMode = false; ///< chooses a folder instead of files
  QString settingsPath;    ///< where the last folder is remembered (settings store)
  // List editors.
  QStringList choices;

private:
  EditorKind kind_;
  IParameter* param_ = nullptr;
  TNotifier notifier_;
};

/// The editor link of a parameter, none when it has none of ours (then it is shown read-only).
TParamEdit* EditorOf(const IParameter& param);

/// A file-name editor for filter ("description|*.ext" pairs); remembers its folder under "Folders\<name>".
Ptr<TParamEdit> MakeFileNameEditor(const std::string& filter, bool multiple, const std::string& name);
/// An integer editor.
Ptr<TParamEdit> MakeIntEditor();
/// A drop-down editor of fixed choices.
Ptr<TParamEdit> MakeListEditor(const QStringList& choices);

/// Installs the default editors (numbers, switches, strings) and the file-name editor of structure inputs, so
/// that parameters created from now on are editable. Call before the catalogue is built.
void InstallParameterEditors();

/// A block's "a|b|c|d" file filter as a Qt file-dialog filter ("a (b);;c (d)").
QString QtFileFilter(const QString& filter);

} // namespace corvatin::shell
