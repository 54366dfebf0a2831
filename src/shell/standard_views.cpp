#include "shell/standard_views.h"

#include "shell/molecule_document.h"
#include "shell/editor_widget.h"
#include "shell/viewer3d_widget.h"

namespace corvatin::shell {

std::vector<IGraphViewer*> CreateStandardViews(TMoleculeDocument& doc, QWidget* parent) {
  auto* viewer = new TGraph3DViewer(parent);
  viewer->setObjectName("Molecule 3D Viewer");
  // Clearing from the viewer is an edit of the document, so that it can be undone.
  viewer->SetClearHandler([&doc] { doc.Edit("Clear", [](IMolecule& m) { m.Clear(); }); });
  auto* editor = new TGraphEditor(doc, parent);
  editor->setObjectName("Molecule Editor");
  return {editor, viewer};
}

} // namespace corvatin::shell
