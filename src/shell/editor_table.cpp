// The molecule editor's command table: its menus and tool bar, with the rules that enable, check and show each
// command in one place.
#include "shell/editor_palette.h"
#include "shell/editor_widget.h"

namespace corvatin::shell {

CommandTable TGraphEditor::BuildCommands() {
  TEditorController& c = controller_;
  auto present = [&c] { return c.Graph() != nullptr; };
  auto editable = [&c] { return c.Editable(); };
  auto row = [&](const char* id, const char* caption, std::function<void()> trigger) {
    CommandRow r;
    r.id = id;
    r.caption = caption;
    r.trigger = std::move(trigger);
    r.enabled = editable;
    r.visible = present;
    return r;
  };
  auto group = [](const char* id, const char* caption) {
    CommandRow r;
    r.id = id;
    r.caption = caption;
    r.kind = CommandKind::Group;
    return r;
  };
  auto separator = [] {
    CommandRow r;
    r.kind = CommandKind::Separator;
    return r;
  };
  auto radio = [&](const char* id, const char* caption, const char* groupName, std::function<void()> trigger,
                   std::function<bool()> checked) {
    CommandRow r = row(id, caption, std::move(trigger));
    r.kind = CommandKind::Radio;
    r.radioGroup = groupName;
    r.checked = std::move(checked);
    r.onToolBar = true;
    return r;
  };

  CommandTable t;
  t.push_back(group("editGroup", "&Edit"));
  t.push_back(row("editDeleteAll", "Delete &all", [&c] { c.DeleteAll(); }));
  t.push_back(row("editDeleteSelected", "&Delete selected items", [&c] { c.DeleteSelected(); }));
  t.push_back(row("editSelectAll", "S&elect all", [&c] { c.SelectAll(); }));
  t.back().shortcut = QKeySequence::SelectAll;
  t.push_back(row("editDeselectAll", "Deselec&t all", [&c] { c.DeselectAll(); }));
  t.push_back(row("editInvertSelection", "&Invert selection", [&c] { c.InvertSelection(); }));
  t.push_back(separator());
  t.push_back(row("editUndo", "&Undo", [&c] { c.Undo(); }));
  t.back().shortcut = QKeySequence::Undo;
  t.back().enabled = [&c] { return c.CanUndo(); };
  t.push_back(row("editRedo", "&Redo", [&c] { c.Redo(); }));
  t.back().shortcut = QKeySequence::Redo;
  t.back().enabled = [&c] { return c.CanRedo(); };
  t.push_back(row("editCopySmiles", "&Copy as SMILES", [&c] { c.CopySmiles(); }));
  t.back().shortcut = QKeySequence::Copy;
  t.back().enabled = [&c] { return c.Graph() && c.Graph()->VertexCount() > 0; };
  t.push_back(row("editPasteSmiles", "&Paste SMILES", [&c] { c.PasteSmiles(); }));
  t.back().shortcut = QKeySequence::Paste;
  t.push_back(separator());

  t.push_back(group("viewGroup", "&View"));
  CommandRow hydrogens = row("viewHydrogens", "Hydrogen atoms", [&c] { c.SetHideHydrogens(!c.HideHydrogens()); });
  hydrogens.kind = CommandKind::Check;
  hydrogens.toolTip = "Show hydrogen atoms";
  hydrogens.enabled = {};
  hydrogens.checked = [&c] { return !c.HideHydrogens(); };
  t.push_back(hydrogens);
  t.push_back(row("viewFit", "&Fit to view", [&c] { c.FitToView(); }));
  t.back().enabled = {};
  t.push_back(separator());

  t.push_back(group("toolsGroup", "&Edit"));
  t.push_back(row("editHydrogenCompletion", "Hydrogen Completion", [&c] { c.CompleteHydrogens(); }));
  t.push_back(row("editAromaticityCompletion", "Aromaticity Completion", [&c] { c.CompleteAromaticity(); }));
  t.push_back(row("editGeometry", "Geometry optimization", [] {}));
  t.back().visible = [] { return false; };
  t.push_back(separator());
  CommandRow lock = row("editLock3D", "Lock 3d Atoms", [&c] { c.SetLock3D(!c.Lock3D()); });
  lock.kind = CommandKind::Check;
  lock.checked = [&c] { return c.Editable() && c.Lock3D(); };
  lock.visible = {};
  t.push_back(lock);
  t.push_back(separator());

  t.push_back(radio(
      "modeSelecting", "Selecting", "mode", [&c] { c.SetMode(EditMode::Selecting); },
      [&c] { return c.Mode() == EditMode::Selecting; }));
  t.push_back(radio(
      "modeDrawing", "Drawing", "mode", [&c] { c.SetMode(EditMode::Drawing); },
      [&c] { return c.Mode() == EditMode::Drawing; }));
  t.push_back(radio(
      "modeModifying", "Modifying", "mode", [&c] { c.SetMode(EditMode::Modifying); },
      [&c] { return c.Mode() == EditMode::Modifying; }));
  t.push_back(separator());
  const char* bondIds[] = {"bondSingle", "bondDouble", "bondTriple", "bondAromatic"};
  const char* bondCaptions[] = {"Single Bond", "Double Bond", "Triple Bond", "Aromatic Bond"};
  for (int kind = 0; kind < 4; ++kind)
    t.push_back(radio(
        bondIds[kind], bondCaptions[kind], "bond", [&c, kind] { c.ChooseBondTool(kind); },
        [&c, kind] { return c.BondTool() == kind; }));
  t.push_back(separator());

  // Palette rows: as many as the largest palette the editor takes; rows beyond the palette stay hidden.
  for (int i = 0; i < paletteRows_; ++i) {
    const QByteArray id = QString("element%1").arg(i).toUtf8();
    CommandRow r = radio(
        id.constData(), "", "element", [&c, i] { c.ChooseElement(i); }, [&c, i] { return c.ElementTool() == i; });
    r.enabled = {};
    r.visible = [&c, i] { return c.Graph() && c.Editable() && i < static_cast<int>(c.Palette().size()); };
    t.push_back(r);
  }
  CommandRow customize = row("elementCustomize", "Customize", [this] { Customize(); });
  customize.enabled = {};
  customize.visible = [&c] { return c.Graph() && c.Editable(); };
  t.push_back(customize);
  return t;
}

} // namespace corvatin::shell
