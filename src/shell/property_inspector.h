#pragma once
// The "Properties" window: the parameters of whatever is selected (an atom, a bond, the molecule, a block or a
// whole procedure), edited in place, with "Recalculate properties" for values that are expected but missing.

#include "core/parameters.h"
#include "shell/commands.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class QTreeView;

namespace corvatin::shell {

class TParameterModel;

class TPropertyInspector : public QWidget {
  Q_OBJECT
public:
  explicit TPropertyInspector(QWidget* parent = nullptr);

  /// Shows the parameters of object (none: empty) under "Properties - name"; missing names are listed after
  /// them in red. Leaves a pending recalculation behind.
  void Inspect(const Ptr<IObject>& object, const QString& name, const QStringList& missing = {});
  /// The inspected object, none when empty.
  const Ptr<IObject>& Inspected() const { return object_; }
  /// What "Recalculate properties" runs (installed by the main window).
  void SetRecalculation(std::function<void()> handler) { recalculate_ = std::move(handler); }
  /// Commits the open editor, if any.
  void CommitEditor();

  TParameterModel* Model() const { return model_; }
  QTreeView* View() const { return view_; }
  TCommandActions* Commands() const { return commands_; }

signals:
  /// The window's caption changed ("Properties - ..." or "Properties").
  void captionChanged(const QString& caption);

private:
  void Recalculate();
  void ApplyGroupStates();

  TParameterModel* model_;
  QTreeView* view_;
  TCommandActions* commands_;
  Ptr<IObject> object_;
  std::function<void()> recalculate_;
  bool recalcPending_ = false;
};

} // namespace corvatin::shell
