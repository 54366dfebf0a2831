#include "shell/standard_views.h"

#include "shell/molecule_document.h"
#include "shell/placeholder_view.h"
#include "shell/viewer3d_widget.h"

namespace corvatin::shell {

std::vector<IGraphViewer*> CreateStandardViews(TMoleculeDocument& doc, QWidget* parent) {
  auto* viewer = new TGraph3DViewer(parent);
  viewer->setObjectName("Molecule 3D Viewer");
  // Clearing from the viewer is an edit of the document, so that it can be undone.
  viewer->SetClearHandler([&doc] { doc.Edit("Clear", [](IMolecule& m) { m.Clear(); }); });
  return {new TPlaceholderView(doc, "Molecule Editor", parent), viewer};
}

} // namespace corvatin::shell
