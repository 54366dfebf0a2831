#include "shell/main_window.h"

#include "chem/smiles.h"
#include "chem/elements.h"
#include "classify/classifier.h"
#include "core/settings.h"
#include "outputs/result_files.h"
#include "procedures/catalogue.h"
#include "procedures/editor_block.h"
#include "shell/dialogs.h"
#include "shell/log_window.h"
#include "shell/molecule_document.h"
#include "shell/options_dialog.h"
#include "shell/param_editors.h"
#include "shell/periodic_table.h"
#include "shell/procedure_model.h"
#include "shell/procedures_window.h"
#include "shell/property_inspector.h"
#include "shell/qt_dispatcher.h"
#include "shell/smiles_tool.h"
#include "shell/standard_views.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace corvatin::shell {

namespace {
const char* const kAskQuit = "A procedure is being executed. Are you sure you want to quit?";
const char* const kAskOpen = "A procedure is being executed. Are you sure you want to stop it and open a new file?";
const char* const kAskNew =
    "A procedure is being executed. Are you sure you want to stop it and enter a new structure?";
const char* const kAskClear = "Executing this procedure will clear the current graph. Are you sure?";

/// The window as the runs see it; forwards while the window exists (a run's last hand-over may come after).
class THostRelay : public IEditorHost, public IStructureHost, public IResultFolderQuestion {
public:
  explicit THostRelay(TMainWindow* window) : window_(window) {}
  void RunBegins() override {
    if (window_) window_->RunBegins();
  }
  void RunEnds() override {
    if (window_) window_->RunEnds();
  }
  bool ConfirmClearing() override { return window_ && window_->ConfirmClearing(); }
  void ShowStructure(const IMolecule& structure) override {
    if (window_) window_->ShowStructure(structure);
  }
  bool TakeEdits(IMolecule& structure) override { return window_ && window_->TakeEdits(structure); }
  void AskResultFolder() override {
    if (window_) window_->AskResultFolder();
  }

private:
  QPointer<TMainWindow> window_;
};

QString ItemCaption(const Ptr<IParameters>& item, SelectionKind kind) {
  if (kind == skAtom)
    if (auto* atom = dynamic_cast<IAtom*>(item.get()))
      return QString("%1%2").arg(QString::fromStdString(atom->GetSymbol())).arg(atom->GetIndex() + 1);
  if (kind == skBond)
    if (auto* bond = dynamic_cast<IBond*>(item.get())) return QString("Bond %1").arg(bond->GetIndex() + 1);
  if (auto* molecule = dynamic_cast<IMolecule*>(item.get()); molecule && !molecule->GetName().empty())
    return QString::fromStdString(molecule->GetName());
  return "Molecule";
}
} // namespace

TMainWindow::TMainWindow(QWidget* parent)
    : QMainWindow(parent), dispatcher_(std::make_shared<TQtDispatcher>()), doc_(new TMoleculeDocument(this)) {
  setObjectName("mainWindow");
  setWindowTitle(kApplicationTitle);
  setAcceptDrops(true);
  SetMainDispatcher(dispatcher_);
  host_ = std::make_shared<THostRelay>(this);
  panel_ = new QStackedWidget(this);
  setCentralWidget(panel_);
  status_ = new QLabel(this);
  rate_ = new QLabel(this);
  rate_->setMinimumWidth(160);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setMaximumWidth(200);
  progress_->hide();
  cancel_ = new QPushButton("Cancel", this);
  cancel_->hide();
  connect(cancel_, &QPushButton::clicked, this, [this] {
    // Only a shown bar stands for something that can be cancelled.
    if (!progress_->isHidden()) cancelRequested_ = true;
  });
  statusBar()->addWidget(status_, 1);
  statusBar()->addPermanentWidget(rate_);
  statusBar()->addPermanentWidget(progress_);
  statusBar()->addPermanentWidget(cancel_);
  lastRefresh_.start();
  connect(doc_, &TMoleculeDocument::changed, this, [this] { Reinspect(); });
}

TMainWindow::~TMainWindow() {
  SetResultFolderQuestion(nullptr);
  // The base class hides the docks and children after this body: their signals must not reach members that
  // are gone by then.
  for (QObject* sender : findChildren<QObject*>())
    disconnect(sender, nullptr, this, nullptr);
  // A run still going is ended before the procedures go; its last calls still find the window.
  if (procedures_ && procedures_->IsRunning()) procedures_->StopRun();
  for (IGraphViewer* view : views_)
    view->SetSelectionListener(nullptr);
  catalogue_.reset();
  if (classifier_) classifier_->SetGraph(nullptr);
  SetMainDispatcher(nullptr);
}

// ------------------------------------------------------------------------------------------------- start-up

void TMainWindow::Setup() {
  // 1. The classifier of the editor's molecule, the tool windows and the menus; then let the window paint.
  InstallParameterEditors();
  LoadElementColors();
  classifier_ = std::make_shared<TClassifier>();
  classifier_->SetGraph(doc_->Molecule());
  BuildDocks();
  views_ = CreateStandardViews(*doc_, panel_);
  for (IGraphViewer* view : views_)
    panel_->addWidget(view->Widget());
  BuildCommands();
  BuildMenus();
  ShowView(0);
  connect(PeriodicTableForm(), &TPeriodicTableForm::colorsChanged, this, [this] {
    for (IGraphViewer* view : views_)
      view->Refresh();
  });
  SelectionChanged(doc_->Molecule()->SelfAs<IParameters>(), skGraph);
  RestoreLayout();
  QCoreApplication::processEvents();
  // 2 to 4. The structure input, the classification files and the procedures.
  BuildCatalogue();
  SetResultFolderQuestion(std::dynamic_pointer_cast<IResultFolderQuestion>(host_));
}

void TMainWindow::BuildDocks() {
  inspector_ = new TPropertyInspector(this);
  inspector_->SetRecalculation([this] {
    classifier_->Refresh();
    Reinspect();
  });
  procedures_ = new TProceduresWindow(inspector_, this);
  procedures_->SetMainProgress(this);
  log_ = new TLogWindow(this);
  procedures_->SetLog(log_->Receiver());
  smiles_ = new TSmilesTool(this);
  connect(smiles_, &TSmilesTool::newStructure, this, [this](const QString& text) { NewStructure(text); });
  connect(procedures_, &TProceduresWindow::runStarted, this, [this] {
    structures_ = 0;
    runClock_.start();
  });
  connect(procedures_, &TProceduresWindow::runFinished, this, [this] { RunFinished(); });
  connect(procedures_, &TProceduresWindow::packageChanged, this, [this] { RefreshCommands(); });
  const auto dock = [this](QWidget* content, const QString& name, Qt::DockWidgetArea area) {
    auto* d = new QDockWidget(content->windowTitle(), this);
    d->setObjectName(name);
    d->setWidget(content);
    addDockWidget(area, d);
    docks_.push_back(d);
    return d;
  };
  dock(procedures_, "dockProcedures", Qt::LeftDockWidgetArea);
  QDockWidget* properties = dock(inspector_, "dockProperties", Qt::LeftDockWidgetArea);
  connect(inspector_, &TPropertyInspector::captionChanged, properties, &QDockWidget::setWindowTitle);
  dock(smiles_, "dockSmiles", Qt::TopDockWidgetArea);
  QDockWidget* results = dock(log_, "dockResults", Qt::BottomDockWidgetArea);
  connect(results, &QDockWidget::visibilityChanged, this, [this] { RefreshCommands(); });
}

void TMainWindow::BuildCommands() {
  commands_ = new TCommandActions(
      {
          {.id = "menuFile", .caption = "&File", .kind = CommandKind::Group},
          {.id = "optOpen",
           .caption = "&Open",
           .shortcut = QKeySequence::Open,
           .trigger = [this] { OpenFile(); },
           .enabled = [this] { return pending_ == paNone; }},
          {.kind = CommandKind::Separator},
          {.id = "optExit",
           .caption = "E&xit",
           .shortcut = QKeySequence(Qt::CTRL | Qt::Key_Q),
           .trigger = [this] { close(); }},
          {.id = "menuEdit", .caption = "&Edit", .kind = CommandKind::Group},
          {.id = "menuView", .caption = "&View", .kind = CommandKind::Group},
          {.id = "optEditorView",
           .caption = "&Molecule Editor",
           .kind = CommandKind::Radio,
           .radioGroup = "view",
           .trigger = [this] { ShowView(0); },
           .checked = [this] { return current_ == 0; }},
          {.id = "opt3DView",
           .caption = "&3D Viewer",
           .kind = CommandKind::Radio,
           .radioGroup = "view",
           .trigger = [this] { ShowView(1); },
           .checked = [this] { return current_ == 1; }},
          {.kind = CommandKind::Separator},
          {.id = "optResults",
           .caption = "&Results",
           .kind = CommandKind::Check,
           .trigger = [this] { Dock("dockResults")->setVisible(Dock("dockResults")->isHidden()); },
           .checked = [this] { return !Dock("dockResults")->isHidden(); }},
          {.kind = CommandKind::Separator},
          {.id = "menuProcedures", .caption = "&Procedures", .kind = CommandKind::Group},
          {.id = "menuTools", .caption = "&Tools", .kind = CommandKind::Group},
          {.id = "optOptions", .caption = "&Options", .trigger = [this] { ShowOptions(); }},
          {.id = "menuHelp", .caption = "&Help", .kind = CommandKind::Group},
          {.id = "optAbout", .caption = "&About...", .trigger = [this] { ShowAbout(); }},
      },
      this);
}

void TMainWindow::BuildMenus() {
  QMenu* menu = nullptr;
  const CommandTable& table = commands_->Table();
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].kind == CommandKind::Group) {
      menu = menuBar()->addMenu(table[i].caption);
      menu->setObjectName(table[i].id);
      menus_[table[i].id] = menu;
      if (table[i].id == "menuProcedures") procedures_->Commands()->FillMenu(menu);
      continue;
    }
    if (menu) menu->addAction(commands_->Actions()[i]);
    if (table[i].id == "optOpen") {
      recentMenu_ = menu->addMenu("Recent &files");
      FillRecentMenu();
    }
  }
  auto* runBar = addToolBar("Procedures");
  runBar->setObjectName("barProcedures");
  procedures_->Commands()->FillToolBar(runBar);
  editorBar_ = addToolBar("Editor");
  editorBar_->setObjectName("barEditor");
}

void TMainWindow::BuildCatalogue() {
  TCatalogueSetup setup;
  setup.editorMolecule = doc_->Molecule();
  setup.editorHost = std::dynamic_pointer_cast<IEditorHost>(host_);
  setup.dispatcher = dispatcher_;
  setup.reportLoadError = [this](const std::string& message) {
    Dialogs().Inform(this, kApplicationTitle, QString::fromStdString(message), MessageIcon::Error);
  };
  catalogue_ = std::make_unique<TCatalogue>(setup);
  bool first = true;
  for (const auto& package : catalogue_->Packages()) {
    procedures_->AddPackage(package);
    if (first) procedures_->ExpandPackage(QString::fromStdString(package->GetName()));
    first = false;
  }
  if (!catalogue_->Packages().empty()) {
    // The values the inspector expects on atoms and bonds are those of the weighted procedures.
    const auto& package = catalogue_->Packages().front();
    std::vector<Ptr<IObject>> blocks;
    for (int i = 0; i < package->GetBlockCount(); ++i)
      blocks.push_back(package->GetBlock(i));
    classifier_->SetClassifications(blocks);
    procedures_->Select(procedures_->Model()->index(0, 0));
  }
  RefreshCommands();
}

QDockWidget* TMainWindow::Dock(const QString& name) const {
  for (QDockWidget* d : docks_)
    if (d->objectName() == name) return d;
  return nullptr;
}

QMenu* TMainWindow::Menu(const QString& id) const {
  const auto it = menus_.find(id);
  return it == menus_.end() ? nullptr : it->second;
}

// ------------------------------------------------------------------------------------------------- the views

void TMainWindow::ShowView(int index) {
  if (index == current_ || index < 0 || index >= int(views_.size())) return;
  // The new view takes over the states of the one it replaces.
  bool readOnly = busy_ > 0, quick = false;
  IGraphViewer* previous = current_ >= 0 ? views_[size_t(current_)] : nullptr;
  if (previous) {
    readOnly = previous->GetReadOnly();
    quick = previous->GetQuickDrawing();
    WithdrawGraphEditor();
  }
  IGraphViewer* next = views_[size_t(index)];
  RegisterGraphEditor(next->Commands());
  next->SetReadOnly(readOnly);
  next->SetQuickDrawing(quick);
  next->SetGraph(doc_->Molecule());
  next->SetSelectionListener(this);
  panel_->setCurrentWidget(next->Widget());
  if (previous) {
    previous->SetSelectionListener(nullptr);
    previous->SetGraph(nullptr);
  }
  current_ = index;
  RefreshCommands();
}

void TMainWindow::RegisterGraphEditor(TCommandActions* commands) {
  if (!commands) return;
  if (QMenu* edit = Menu("menuEdit")) commands->FillMenu(edit);
  if (editorBar_) commands->FillToolBar(editorBar_);
}

void TMainWindow::WithdrawGraphEditor() {
  if (QMenu* edit = Menu("menuEdit")) {
    // Sub-menus made for the view's groups belong to the menu: delete them with the rows.
    for (QMenu* sub : edit->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
      delete sub;
    edit->clear();
  }
  if (editorBar_) editorBar_->clear();
}

void TMainWindow::RefreshViews() {
  if (current_ >= 0) views_[size_t(current_)]->Refresh();
}

void TMainWindow::RefreshCommands() {
  if (commands_) commands_->Refresh();
  if (procedures_) procedures_->Commands()->Refresh();
}

// -------------------------------------------------------------------------------------------- the inspector

void TMainWindow::SelectionChanged(const Ptr<IParameters>& item, SelectionKind kind) {
  inspectingItem_ = item != nullptr;
  inspectedKind_ = kind;
  inspectedIndex_ = -1;
  if (auto* vertex = dynamic_cast<IVertex*>(item.get()); vertex && kind == skAtom) inspectedIndex_ = vertex->GetIndex();
  if (auto* edge = dynamic_cast<IEdge*>(item.get()); edge && kind == skBond) inspectedIndex_ = edge->GetIndex();
  QStringList missing;
  if (item && busy_ == 0) {
    classifier_->Select(item, kind);
    for (const std::string& name : classifier_->GetNames())
      if (!item->HasParam(name)) missing << QString::fromStdString(name);
  }
  inspector_->Inspect(item, item ? ItemCaption(item, kind) : QString(), missing);
}

void TMainWindow::Reinspect() {
  // The inspected atom or bond may be gone with the molecule a run replaced: show the one at the same place.
  if (!inspectingItem_ || !inspector_) return;
  const IMolecule& molecule = *doc_->Molecule();
  Ptr<IParameters> item;
  if (inspectedKind_ == skAtom && inspectedIndex_ >= 0 && inspectedIndex_ < molecule.VertexCount())
    item = molecule.GetAtom(inspectedIndex_)->SelfAs<IParameters>();
  else if (inspectedKind_ == skBond && inspectedIndex_ >= 0 && inspectedIndex_ < molecule.EdgeCount())
    item = molecule.GetBond(inspectedIndex_)->SelfAs<IParameters>();
  const SelectionKind kind = item ? inspectedKind_ : skGraph;
  if (!item) item = doc_->Molecule()->SelfAs<IParameters>();
  SelectionChanged(item, kind);
}

// ----------------------------------------------------------------------------------------- busy and progress

void TMainWindow::BeginBusy() {
  if (procedures_ && procedures_->IsRunning()) Dock("dockResults")->show();
  if (busy_++ > 0) return;
  doc_->SetLocked(true);
  inspector_->setEnabled(false);
  if (current_ >= 0) views_[size_t(current_)]->SetReadOnly(true);
  // The run's copies arrive with their values: classifying each one again would only double the work.
  classifier_->SetGraph(nullptr);
  RefreshCommands();
}

void TMainWindow::EndBusy() {
  if (busy_ == 0 || --busy_ > 0) return;
  doc_->SetLocked(false);
  inspector_->setEnabled(true);
  if (current_ >= 0) views_[size_t(current_)]->SetReadOnly(false);
  classifier_->SetGraph(doc_->Molecule());
  Reinspect();
  RefreshCommands();
}

void TMainWindow::Progress(int, bool& cont, bool& refresh) {
  if (refresh) {
    RefreshViews();
    refresh = false;
  }
  if (!cont) Dock("dockResults")->show();
  lastRefresh_.restart();
  RefreshCommands();
}

void TMainWindow::ProgressText(int position, bool& cont, const std::string& text, bool& refresh) {
  status_->setText(QString::fromStdString(text));
  if (cancelRequested_) cont = false;
  if (cont == progress_->isHidden()) {
    progress_->setVisible(cont);
    cancel_->setVisible(cont);
    cancelRequested_ = false;
    lastRefresh_.restart();
    progress_->setValue(0);
    cont ? BeginBusy() : EndBusy();
  }
  if (position >= 0) progress_->setValue(position);
  if (refresh) {
    RefreshViews();
    lastRefresh_.restart();
  }
  refresh = lastRefresh_.elapsed() > 1000;
}

void TMainWindow::ShowStructure(const IMolecule& structure) {
  doc_->Replace(structure);
  ++structures_;
  const double seconds = runClock_.isValid() ? runClock_.elapsed() / 1000.0 : 0;
  const QString count = structures_ == 1 ? QString("1 structure") : QString("%1 structures").arg(structures_);
  rate_->setText(seconds > 0.5 ? QString("%1, %2/s").arg(count).arg(structures_ / seconds, 0, 'f', 1) : count);
}

bool TMainWindow::TakeEdits(IMolecule& structure) {
  // Replace clears the history, so any step left in it is an edit the user made while the run was paused.
  if (doc_->UndoStack()->count() == 0) return false;
  CopyMolecule(*doc_->Molecule(), structure);
  return true;
}

bool TMainWindow::ConfirmClearing() {
  if (doc_->Molecule()->VertexCount() == 0) return true;
  return Dialogs().AskYesNo(this, kApplicationTitle, kAskClear);
}

void TMainWindow::AskResultFolder() {
  const QString chosen = Dialogs().ChooseFolder(this, "Select folder", QString());
  if (!chosen.isEmpty()) Registry().WriteString(kResultFolderKey, chosen.toStdString());
}

// ------------------------------------------------------------------------------------ actions during a run

bool TMainWindow::AskToStop(PendingAction action) {
  if (pending_ != paNone) return false;
  if (!procedures_->IsRunning()) return true;
  const char* text = action == paQuit ? kAskQuit : action == paOpenFile ? kAskOpen : kAskNew;
  if (!Dialogs().AskYesNo(this, kApplicationTitle, text)) return false;
  // The question's own event loop served the run meanwhile: it may have ended.
  if (!procedures_->IsRunning()) return true;
  pending_ = action;
  ++stopWaits_;
  procedures_->StopRun();
  --stopWaits_;
  RefreshCommands();
  QTimer::singleShot(0, this, [this] { PerformPending(); });
  return false;
}

void TMainWindow::RunFinished() {
  RefreshCommands();
  // Carried out from the event loop, once the run's last hand-over and any wait for it have returned.
  if (pending_ != paNone) QTimer::singleShot(0, this, [this] { PerformPending(); });
}

void TMainWindow::PerformPending() {
  if (pending_ == paNone || stopWaits_ > 0 || procedures_->IsRunning()) return;
  const int action = pending_;
  pending_ = paNone;
  RefreshCommands();
  switch (action) {
  case paQuit:
    close();
    break;
  case paOpenFile:
    OpenFile();
    break;
  case paNewStructure:
    NewStructure(pendingSmiles_);
    break;
  default:
    break;
  }
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  if (!AskToStop(paQuit)) {
    event->ignore();
    return;
  }
  SaveLayout();
  event->accept();
}

Ptr<IInput> TMainWindow::CurrentInput() const {
  const Ptr<IPackage>& package = procedures_->Current();
  return package ? package->GetInput() : nullptr;
}

void TMainWindow::OpenFile() {
  if (!AskToStop(paOpenFile)) return;
  const Ptr<IInput> input = CurrentInput();
  if (!input) return;
  const QStringList files = Dialogs().OpenFiles(this, "Open", QString::fromStdString(input->GetFileName()),
                                                QtFileFilter(QString::fromStdString(input->GetFilter())));
  if (!files.isEmpty()) OpenFiles(files);
}

void TMainWindow::OpenFiles(const QStringList& files) {
  const Ptr<IInput> input = CurrentInput();
  if (!input || files.isEmpty() || procedures_->IsRunning()) return;
  input->SetFileName(files.join("; ").toStdString());
  AddRecent(files);
  procedures_->SetShowOptions(true, true);
  procedures_->Start(true);
}

void TMainWindow::NewStructure(const QString& smiles) {
  pendingSmiles_ = smiles;
  if (!AskToStop(paNewStructure)) return;
  const Ptr<IMolecule> parsed = NewMolecule();
  try {
    ParseSMILES(smiles.toStdString(), *parsed);
  } catch (const std::exception& e) {
    Dialogs().Inform(this, kApplicationTitle, QString::fromUtf8(e.what()), MessageIcon::Error);
    return;
  }
  parsed->SetName(smiles.toStdString());
  doc_->Replace(*parsed);
  if (const Ptr<IInput> input = CurrentInput()) input->SetFileName("");
  procedures_->SetShowOptions(false, true);
  procedures_->Start(false);
}

void TMainWindow::ShowOptions() {
  TOptionsDialog dialog(this);
  if (dialog.exec() == QDialog::Accepted) FillRecentMenu();
}

void TMainWindow::ShowAbout() {
  Dialogs().Inform(this, QString("About %1").arg(kApplicationTitle),
                   QString("%1 %2\n\nMolecular descriptors for QSAR studies: TOPS-MODE spectral moments and their "
                           "contributions, topological, topographic, physicochemical and quantum-chemical indexes.")
                       .arg(kApplicationTitle, kVersionText),
                   MessageIcon::Information);
}

} // namespace corvatin::shell
