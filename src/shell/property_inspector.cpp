#include "shell/property_inspector.h"

#include "blocks/package.h"
#include "shell/dialogs.h"
#include "shell/param_editors.h"
#include "shell/parameter_delegate.h"
#include "shell/parameter_model.h"

#include <QHeaderView>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace corvatin::shell {

namespace {
constexpr int kNameColumnWidth = 120;
}

TPropertyInspector::TPropertyInspector(QWidget* parent) : QWidget(parent), model_(new TParameterModel(this)) {
  setObjectName("inspector");
  setWindowTitle("Properties");
  view_ = new QTreeView(this);
  view_->setModel(model_);
  view_->setItemDelegate(new TParameterDelegate(view_));
  view_->setUniformRowHeights(true);
  view_->setAlternatingRowColors(false);
  view_->setIndentation(12);
  view_->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked |
                         QAbstractItemView::EditKeyPressed);
  view_->header()->setStretchLastSection(true);
  view_->header()->resizeSection(0, kNameColumnWidth);
  view_->header()->setSectionsMovable(false);
  view_->header()->hide();
  commands_ = new TCommandActions({{.id = "optRecalculate",
                                    .caption = "Recalculate properties",
                                    .trigger = [this] { Recalculate(); },
                                    .enabled = [this] { return !recalcPending_ && model_->HasMissing(); },
                                    .onToolBar = true}},
                                  this);
  auto* bar = new QToolBar(this);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  commands_->FillToolBar(bar);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(view_);

  connect(model_, &TParameterModel::commitFailed, this,
          [this](const QString& message) { Dialogs().Inform(this, "Corvatin", message, MessageIcon::Error); });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    ApplyGroupStates();
    commands_->Refresh();
  });
  connect(model_, &QAbstractItemModel::dataChanged, this, [this] { ApplyGroupStates(); });
}

void TPropertyInspector::Inspect(const Ptr<IObject>& object, const QString& name, const QStringList& missing) {
  CommitEditor();
  object_ = object;
  std::vector<INotifierHost*> hosts;
  if (auto* host = dynamic_cast<INotifierHost*>(object.get())) hosts.push_back(host);
  // A procedure's list is its blocks' lists one after the other; each block announces its own changes.
  if (auto package = std::dynamic_pointer_cast<IPackage>(object))
    for (int i = 0; i < package->GetBlockCount(); ++i)
      if (auto* host = dynamic_cast<INotifierHost*>(package->GetBlock(i).get())) hosts.push_back(host);
  recalcPending_ = false;
  model_->SetList(std::dynamic_pointer_cast<IParamList>(object), hosts, missing);
  const QString caption = object ? "Properties - " + name : QString("Properties");
  setWindowTitle(caption);
  emit captionChanged(caption);
}

void TPropertyInspector::CommitEditor() {
  // Moving the current index away closes the open editor, which commits it first.
  view_->setCurrentIndex({});
}

void TPropertyInspector::Recalculate() {
  if (recalculate_) recalculate_();
  recalcPending_ = true;
  commands_->Refresh();
}

void TPropertyInspector::ApplyGroupStates() {
  // A switch that heads a group shows its members while it is on; other heads start unfolded.
  for (int r = 0; r < model_->rowCount(); ++r) {
    const QModelIndex head = model_->index(r, 0);
    if (model_->rowCount(head) == 0) continue;
    const Ptr<IParameter> p = model_->ParameterAt(head);
    const bool open = p && p->GetKind() == ParamKind::Bool ? p->GetText() == "yes" : true;
    view_->setExpanded(head, open);
  }
}

} // namespace corvatin::shell
