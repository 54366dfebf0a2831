#pragma once
// Command tables: every menu and tool bar of the workbench is built from a list of rows, so that the rules that
// enable, check or hide a command live in one place and can be tested without a window.

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;

namespace corvatin::shell {

/// What a row stands for in a menu.
enum class CommandKind { Action, Check, Radio, Separator, Group };

/// One row of a command table; state functions left empty mean enabled, unchecked, visible.
struct CommandRow {
  QString id;                        ///< unique within its table; empty for separators
  QString caption;                   ///< with '&' mnemonic
  CommandKind kind = CommandKind::Action;
  QString radioGroup;                ///< rows sharing it are exclusive (Radio rows)
  QKeySequence shortcut;
  std::function<void()> trigger;     ///< run when the user chooses the row
  std::function<bool()> enabled;
  std::function<bool()> checked;
  std::function<bool()> visible;
  QString toolTip;
  bool onToolBar = false;            ///< also shown on the table's tool bar
};

using CommandTable = std::vector<CommandRow>;

/// The evaluated state of one row.
struct CommandState {
  bool enabled = true;
  bool checked = false;
  bool visible = true;
};

/// Evaluates a row's state functions (no window needed).
CommandState Evaluate(const CommandRow& row);

/// The QActions of one command table: built once by one function, refreshed from one place.
class TCommandActions : public QObject {
  Q_OBJECT
public:
  /// Builds one QAction per row (separators and group heads included), parented to this object.
  explicit TCommandActions(CommandTable table, QObject* parent = nullptr);

  const CommandTable& Table() const { return table_; }
  /// The action of row id; nullptr when there is none.
  QAction* Action(const QString& id) const;
  /// All actions in table order.
  const std::vector<QAction*>& Actions() const { return actions_; }
  /// Re-evaluates every row's enabled/checked/visible state onto its action.
  void Refresh();
  /// Fills a menu: group rows open sub-menus holding the rows up to the next group; rows before the first group
  /// go straight into the menu.
  void FillMenu(QMenu* menu) const;
  /// Adds the rows marked onToolBar (and the separators between them) to a tool bar.
  void FillToolBar(QToolBar* bar) const;

private:
  CommandTable table_;
  std::vector<QAction*> actions_;
  std::map<QString, QActionGroup*> radioGroups_;
};

} // namespace corvatin::shell
