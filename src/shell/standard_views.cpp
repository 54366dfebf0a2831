#include "shell/standard_views.h"

#include "shell/placeholder_view.h"

namespace corvatin::shell {

std::vector<IGraphViewer*> CreateStandardViews(TMoleculeDocument& doc, QWidget* parent) {
  return {new TPlaceholderView(doc, "Molecule Editor", parent),
          new TPlaceholderView(doc, "Molecule 3D Viewer", parent)};
}

} // namespace corvatin::shell
