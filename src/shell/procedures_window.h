#pragma once
// The "Procedures" window: the procedure tree, the run's progress bar and the "&Procedures" commands (execute or
// pause, step, stop, show structures). It starts runs and relays their progress to the main window.

#include "blocks/package.h"
#include "shell/commands.h"

#include <QWidget>

class QProgressBar;
class QTreeView;

namespace corvatin::shell {

class TProcedureModel;
class TPropertyInspector;

class TProceduresWindow : public QWidget {
  Q_OBJECT
public:
  /// inspector: where selected procedures and blocks show their parameters.
  TProceduresWindow(TPropertyInspector* inspector, QWidget* parent = nullptr);
  ~TProceduresWindow() override;

  void AddPackage(const Ptr<IPackage>& package);
  void ExpandPackage(const QString& name);
  /// Whether the user may toggle show structures, and its state.
  void SetShowOptions(bool enabled, bool on);
  /// Starts the current procedure (paused at the editor block after the first structure when step), or steps or
  /// resumes the running one. Nothing without a current procedure.
  void Start(bool step);
  void StopRun();
  bool IsRunning() const;
  bool IsPaused() const;
  bool ShowStructures() const { return show_; }
  bool ShowOptionEnabled() const { return showEnabled_; }
  const Ptr<IPackage>& Current() const { return current_; }
  /// Moves the selection to index as a click would; false when refused (a run is active, or the current
  /// procedure may not be left).
  bool Select(const QModelIndex& index);
  /// Where progress reports go on (the main window); not owned.
  void SetMainProgress(IProgressCallback* progress) { mainProgress_ = progress; }
  /// The log a run writes to.
  void SetLog(const Ptr<IProgressLog>& log) { log_ = log; }

  TCommandActions* Commands() const { return commands_; }
  TProcedureModel* Model() const { return model_; }
  QTreeView* Tree() const { return tree_; }
  QProgressBar* ProgressBar() const { return bar_; }

  // The run's side (called on the GUI thread inside the worker's hand-overs).
  void Progress(int position, bool& cont, bool& refresh);
  void ProgressText(int position, bool& cont, const std::string& text, bool& refresh);
  void RunFinished();

signals:
  void packageChanged();
  /// A run was started (not a step or resume of the running one).
  void runStarted();
  void runFinished();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  bool MayLeaveFor(const QModelIndex& index) const;
  void Selected(const QModelIndex& index);
  void ShowList(const QModelIndex& index);

  TPropertyInspector* inspector_;
  TProcedureModel* model_;
  QTreeView* tree_;
  QProgressBar* bar_;
  TCommandActions* commands_;
  Ptr<IPackage> current_;
  bool show_ = true;
  bool showEnabled_ = true;
  IProgressCallback* mainProgress_ = nullptr;
  Ptr<IProgressLog> log_;
  Ptr<IObject> relay_; // the run's progress callback and run-finished receiver
};

} // namespace corvatin::shell
