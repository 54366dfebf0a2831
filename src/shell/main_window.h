#pragma once
// The main window: the molecule panel with its views, the tool windows ("Procedures", "Properties", "SMILES",
// "Results"), the status bar with progress and cancel, and the window's part in a run: it asks before an action
// would cut a run short, defers that action until the run has stopped, and shows each structure the run hands
// over.

#include "core/progress.h"
#include "graph/graph.h"
#include "shell/commands.h"
#include "shell/graph_viewer.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <vector>

class QDockWidget;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QToolBar;

namespace corvatin {
class TCatalogue;
class TClassifier;
class IInput;
} // namespace corvatin

namespace corvatin::shell {

class TLogWindow;
class TMoleculeDocument;
class TProceduresWindow;
class TPropertyInspector;
class TQtDispatcher;
class TSmilesTool;

/// Settings the window keeps.
inline constexpr const char* kRecentFilesKey = "Files\\Recent";
inline constexpr const char* kWindowGeometryKey = "Windows\\MainGeometry";
inline constexpr const char* kWindowStateKey = "Windows\\MainState";
inline constexpr const char* kApplicationTitle = "Corvatin";
inline constexpr const char* kVersionText = CORVATIN_VERSION;

/// Pending actions, carried out when the run that stood in their way has finished.
enum PendingAction : int { paNone = 0, paQuit = 1, paOpenFile = 2, paNewStructure = 3 };

class TMainWindow : public QMainWindow, public IProgressCallback, public ISelectionListener {
  Q_OBJECT
public:
  explicit TMainWindow(QWidget* parent = nullptr);
  ~TMainWindow() override;

  /// Start-up: the classifier, the tool windows and menus, the structure input, the classification files (a
  /// file that fails is reported in a message box) and the procedures.
  void Setup();

  // Commands.
  /// "&Open": asks to stop a run, then lets the user choose files and starts the procedure on them in step mode.
  void OpenFile();
  /// Starts the current procedure in step mode on files (dropped, recent, or chosen).
  void OpenFiles(const QStringList& files);
  /// A structure typed in the SMILES tool: parsed into the molecule and run freely.
  void NewStructure(const QString& smiles);
  /// Asks before an action would stop a run; true when the action may go ahead now.
  bool AskToStop(PendingAction action);
  void ShowView(int index);
  void ShowOptions();
  void ShowAbout();

  // What tests and the views look at.
  TMoleculeDocument& Document() const { return *doc_; }
  TProceduresWindow* Procedures() const { return procedures_; }
  TPropertyInspector* Inspector() const { return inspector_; }
  TLogWindow* Log() const { return log_; }
  TSmilesTool* Smiles() const { return smiles_; }
  TCatalogue* Catalogue() const { return catalogue_.get(); }
  TClassifier* Classifier() const { return classifier_.get(); }
  TCommandActions* Commands() const { return commands_; }
  const std::vector<IGraphViewer*>& Views() const { return views_; }
  int CurrentView() const { return current_; }
  int BusyCount() const { return busy_; }
  int Pending() const { return pending_; }
  int StructuresShown() const { return structures_; }
  QProgressBar* ProgressBar() const { return progress_; }
  QPushButton* CancelButton() const { return cancel_; }
  QLabel* StatusText() const { return status_; }
  QDockWidget* Dock(const QString& name) const;
  /// The menu of a command-table group ("menuFile", "menuEdit", ...).
  QMenu* Menu(const QString& id) const;

  // The run's side (GUI thread, inside hand-overs).
  void Progress(int position, bool& cont, bool& refresh) override;
  void ProgressText(int position, bool& cont, const std::string& text, bool& refresh) override;
  void RunBegins() { BeginBusy(); }
  void RunEnds() { EndBusy(); }
  bool ConfirmClearing();
  void ShowStructure(const IMolecule& structure);
  bool TakeEdits(IMolecule& structure);
  void AskResultFolder();

  /// Shows an atom, a bond or the molecule in the inspector, with the values the classifier expects.
  void SelectionChanged(const Ptr<IParameters>& item, SelectionKind kind) override;

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void BuildCommands();
  void BuildMenus();
  void BuildDocks();
  void BuildCatalogue();
  void BeginBusy();
  void EndBusy();
  void RefreshViews();
  void RefreshCommands();
  void PerformPending();
  void RunFinished();
  void RegisterGraphEditor(TCommandActions* commands);
  void WithdrawGraphEditor();
  void Reinspect();
  void AddRecent(const QStringList& files);
  void FillRecentMenu();
  void SaveLayout();
  void RestoreLayout();
  Ptr<IInput> CurrentInput() const;

  std::shared_ptr<TQtDispatcher> dispatcher_;
  TMoleculeDocument* doc_;
  std::shared_ptr<TClassifier> classifier_;
  std::shared_ptr<IObject> host_; // the editor host, structure host and result-folder question of the runs
  std::unique_ptr<TCatalogue> catalogue_;

  QStackedWidget* panel_;
  std::vector<IGraphViewer*> views_;
  int current_ = -1;
  TCommandActions* commands_ = nullptr;
  TProceduresWindow* procedures_ = nullptr;
  TPropertyInspector* inspector_ = nullptr;
  TLogWindow* log_ = nullptr;
  TSmilesTool* smiles_ = nullptr;
  std::vector<QDockWidget*> docks_;
  std::map<QString, QMenu*> menus_;
  QMenu* recentMenu_ = nullptr;
  QToolBar* editorBar_ = nullptr;
  QLabel* status_;
  QLabel* rate_;
  QProgressBar* progress_;
  QPushButton* cancel_;

  int busy_ = 0;
  int pending_ = paNone;
  QString pendingSmiles_;
  int stopWaits_ = 0;
  bool cancelRequested_ = false;
  QElapsedTimer lastRefresh_;
  QElapsedTimer runClock_;
  int structures_ = 0;
  // What the inspector shows of the molecule: re-resolved when a run replaces the molecule.
  bool inspectingItem_ = false;
  SelectionKind inspectedKind_ = skGraph;
  int inspectedIndex_ = -1;
};

} // namespace corvatin::shell
