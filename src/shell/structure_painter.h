#pragma once
// A plain 2D drawing of a molecule onto any QPainter: bonds as lines (doubled, tripled or dashed by kind) and
// atoms other than carbon as their symbols in element colours. Used by the placeholder view and for pictures.

#include "chem/molecule.h"

#include <QRectF>

class QPainter;

namespace corvatin::shell {

/// Draws molecule fitted into area (the model's x and y; 3D coordinates when the atoms have them).
void PaintStructure(QPainter& painter, const IMolecule& molecule, const QRectF& area);

} // namespace corvatin::shell
