#include "shell/procedures_window.h"

#include "shell/procedure_model.h"
#include "shell/property_inspector.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QPointer>
#include <QProgressBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace corvatin::shell {

namespace {
/// What a run reports to: forwards to the window while it exists (a run may outlive it by a hand-over).
class TRunRelay : public IProgressCallback, public IRunFinished {
public:
  explicit TRunRelay(TProceduresWindow* window) : window_(window) {}
  void Progress(int position, bool& cont, bool& refresh) override {
    if (window_) window_->Progress(position, cont, refresh);
  }
  void ProgressText(int position, bool& cont, const std::string& text, bool& refresh) override {
    if (window_) window_->ProgressText(position, cont, text, refresh);
  }
  void RunFinished() override {
    if (window_) window_->RunFinished();
  }

private:
  QPointer<TProceduresWindow> window_;
};

/// A selection model that asks before the current node changes: the tree's clicks and keys cannot move away
/// from a running procedure.
class TGuardedSelection : public QItemSelectionModel {
public:
  TGuardedSelection(QAbstractItemModel* model, std::function<bool(const QModelIndex&)> allow, QObject* parent)
      : QItemSelectionModel(model, parent), allow_(std::move(allow)) {}
  void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override {
    if (index != currentIndex() && !allow_(index)) return;
    QItemSelectionModel::setCurrentIndex(index, command);
  }
  void select(const QModelIndex& index, SelectionFlags command) override {
    if (index.isValid() && index != currentIndex() && !allow_(index)) return;
    QItemSelectionModel::select(index, command);
  }
  void select(const QItemSelection& selection, SelectionFlags command) override {
    if (!selection.isEmpty() && !selection.contains(currentIndex()) && !allow_(selection.indexes().value(0))) return;
    QItemSelectionModel::select(selection, command);
  }

private:
  std::function<bool(const QModelIndex&)> allow_;
};
} // namespace

TProceduresWindow::TProceduresWindow(TPropertyInspector* inspector, QWidget* parent)
    : QWidget(parent), inspector_(inspector), model_(new TProcedureModel(this)) {
  setObjectName("procedures");
  setWindowTitle("Procedures");
  relay_ = std::make_shared<TRunRelay>(this);
  tree_ = new QTreeView(this);
  tree_->setHeaderHidden(true);
  tree_->setModel(model_);
  tree_->setSelectionModel(new TGuardedSelection(
      model_, [this](const QModelIndex& index) { return MayLeaveFor(index); }, tree_));
  tree_->installEventFilter(this);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& index) { Selected(index); });
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tree_);
  layout->addWidget(bar_);

  const auto running = [this] { return IsRunning(); };
  const auto paused = [this] { return IsPaused(); };
  commands_ = new TCommandActions(
      {
          {.id = "optExecute",
           .caption = "&Execute / Pause",
           .kind = CommandKind::Check,
           .shortcut = Qt::Key_F9,
           .trigger = [=, this] { running() && !paused() ? current_->Pause() : Start(false); },
           .enabled = [=, this] { return !(running() && !paused() && !show_); },
           .checked = [=] { return running() && !paused(); },
           .onToolBar = true},
          {.kind = CommandKind::Separator},
          {.kind = CommandKind::Separator},
          {.id = "optStep",
           .caption = "&Step",
           .shortcut = Qt::Key_F8,
           .trigger = [this] { Start(true); },
           .enabled = [=, this] { return (!running() || paused()) && show_; },
           .onToolBar = true},
          {.id = "optStop",
           .caption = "Sto&p",
           .shortcut = QKeySequence(Qt::CTRL | Qt::Key_F2),
           .trigger = [this] { StopRun(); },
           .enabled = running,
           .onToolBar = true},
          {.id = "optShow",
           .caption = "Show Structures",
           .kind = CommandKind::Check,
           .trigger =
               [this] {
                 show_ = !show_;
                 if (current_) current_->SetShowStructures(show_);
               },
           .enabled = [this] { return showEnabled_; },
           .checked = [this] { return show_; },
           .onToolBar = true},
      },
      this);
}

TProceduresWindow::~TProceduresWindow() = default;

void TProceduresWindow::AddPackage(const Ptr<IPackage>& package) { model_->AddPackage(package); }

void TProceduresWindow::ExpandPackage(const QString& name) { tree_->expand(model_->FindPackage(name)); }

void TProceduresWindow::SetShowOptions(bool enabled, bool on) {
  showEnabled_ = enabled;
  show_ = on;
  commands_->Refresh();
}

bool TProceduresWindow::IsRunning() const { return current_ && current_->IsRunning(); }

bool TProceduresWindow::IsPaused() const { return current_ && current_->IsPaused(); }

bool TProceduresWindow::MayLeaveFor(const QModelIndex& index) const {
  if (IsRunning()) return false;
  const Ptr<IPackage> target = model_->PackageAt(index);
  if (current_ && target && target != current_) return current_->CanExecute();
  return true;
}

bool TProceduresWindow::Select(const QModelIndex& index) {
  if (index == tree_->currentIndex()) return true;
  if (!MayLeaveFor(index)) return false;
  tree_->setCurrentIndex(index);
  return tree_->currentIndex() == index;
}

void TProceduresWindow::ShowList(const QModelIndex& index) {
  if (const Ptr<IBlock> block = model_->BlockAt(index))
    inspector_->Inspect(block, QString::fromStdString(block->GetName()));
  else if (const Ptr<IPackage> package = model_->PackageAt(index))
    inspector_->Inspect(package, QString::fromStdString(package->GetName()));
}

void TProceduresWindow::Selected(const QModelIndex& index) {
  ShowList(index);
  const Ptr<IPackage> package = model_->PackageAt(index);
  if (package && package != current_) {
    package->ActivateEditor();
    current_ = package;
    emit packageChanged();
  }
  commands_->Refresh();
}

bool TProceduresWindow::eventFilter(QObject* watched, QEvent* event) {
  // Entering the tree shows what it stands for: the running procedure, else the selected node.
  if (watched == tree_ && event->type() == QEvent::FocusIn) {
    if (IsRunning())
      inspector_->Inspect(current_, QString::fromStdString(current_->GetName()));
    else if (tree_->currentIndex().isValid())
      ShowList(tree_->currentIndex());
  }
  return QWidget::eventFilter(watched, event);
}

void TProceduresWindow::Start(bool step) {
  if (!current_) return;
  if (IsRunning()) {
    step ? current_->Step() : current_->Resume();
    commands_->Refresh();
    return;
  }
  bar_->setValue(0);
  bar_->show();
  inspector_->Inspect(current_, QString::fromStdString(current_->GetName()));
  current_->SetShowStructures(show_);
  const auto relay = std::dynamic_pointer_cast<TRunRelay>(relay_);
  if (current_->Execute(step, relay, log_, relay)) {
    emit runStarted();
  } else {
    bar_->hide();
    emit runFinished();
  }
  commands_->Refresh();
}

void TProceduresWindow::StopRun() {
  if (IsRunning()) current_->Stop();
  commands_->Refresh();
}

void TProceduresWindow::Progress(int position, bool& cont, bool& refresh) {
  if (show_ && mainProgress_) mainProgress_->Progress(position, cont, refresh);
  if (show_ && position >= 0) bar_->setValue(position);
  commands_->Refresh();
}

void TProceduresWindow::ProgressText(int position, bool& cont, const std::string& text, bool& refresh) {
  if (mainProgress_) mainProgress_->ProgressText(position, cont, text, refresh);
}

void TProceduresWindow::RunFinished() {
  bar_->hide();
  commands_->Refresh();
  emit runFinished();
}

} // namespace corvatin::shell
