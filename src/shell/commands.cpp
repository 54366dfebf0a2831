#include "shell/commands.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolBar>

namespace corvatin::shell {

CommandState Evaluate(const CommandRow& row) {
  CommandState s;
  if (row.enabled) s.enabled = row.enabled();
  if (row.checked) s.checked = row.checked();
  if (row.visible) s.visible = row.visible();
  return s;
}

TCommandActions::TCommandActions(CommandTable table, QObject* parent) : QObject(parent), table_(std::move(table)) {
  actions_.reserve(table_.size());
  for (const CommandRow& row : table_) {
    auto* action = new QAction(row.caption, this);
    action->setObjectName(row.id);
    if (row.kind == CommandKind::Separator) action->setSeparator(true);
    if (row.kind == CommandKind::Check || row.kind == CommandKind::Radio) action->setCheckable(true);
    if (row.kind == CommandKind::Radio && !row.radioGroup.isEmpty()) {
      QActionGroup*& group = radioGroups_[row.radioGroup];
      if (!group) group = new QActionGroup(this);
      group->addAction(action);
    }
    if (!row.shortcut.isEmpty()) action->setShortcut(row.shortcut);
    if (!row.toolTip.isEmpty()) action->setToolTip(row.toolTip);
    if (row.trigger && row.kind != CommandKind::Group && row.kind != CommandKind::Separator) {
      // The table's own state decides what is checked: a click only asks for the change, and the refresh after
      // the trigger puts the action back in step with the state the trigger produced.
      connect(action, &QAction::triggered, this, [this, trigger = row.trigger] {
        trigger();
        Refresh();
      });
    }
    actions_.push_back(action);
  }
  Refresh();
}

QAction* TCommandActions::Action(const QString& id) const {
  for (size_t i = 0; i < table_.size(); ++i)
    if (!id.isEmpty() && table_[i].id == id) return actions_[i];
  return nullptr;
}

void TCommandActions::Refresh() {
  for (size_t i = 0; i < table_.size(); ++i) {
    const CommandState s = Evaluate(table_[i]);
    QAction* a = actions_[i];
    a->setEnabled(s.enabled);
    a->setVisible(s.visible);
    if (a->isCheckable()) a->setChecked(s.checked);
  }
}

void TCommandActions::FillMenu(QMenu* menu) const {
  QMenu* target = menu;
  for (size_t i = 0; i < table_.size(); ++i) {
    if (table_[i].kind == CommandKind::Group) {
      target = menu->addMenu(table_[i].caption);
      target->setObjectName(table_[i].id);
      continue;
    }
    target->addAction(actions_[i]);
  }
}

void TCommandActions::FillToolBar(QToolBar* bar) const {
  bool pendingSeparator = false;
  bool any = false;
  for (size_t i = 0; i < table_.size(); ++i) {
    if (table_[i].kind == CommandKind::Separator || table_[i].kind == CommandKind::Group) {
      pendingSeparator = any;
      continue;
    }
    if (!table_[i].onToolBar) continue;
    if (pendingSeparator) bar->addSeparator();
    pendingSeparator = false;
    bar->addAction(actions_[i]);
    any = true;
  }
}

} // namespace corvatin::shell
