#pragma once
// The views of the main window's molecule panel, in the order of the View menu: 0 "Molecule Editor",
// 1 "Molecule 3D Viewer".

#include "shell/graph_viewer.h"

#include <vector>

class QWidget;

namespace corvatin::shell {

class TMoleculeDocument;

/// Creates the panel's views over doc's molecule, their widgets parented to parent. Each view belongs to the Qt
/// object tree (it is its widget, or a child of it): the main window never deletes a view itself.
std::vector<IGraphViewer*> CreateStandardViews(TMoleculeDocument& doc, QWidget* parent);

} // namespace corvatin::shell
