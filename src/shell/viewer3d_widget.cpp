#include "shell/viewer3d_widget.h"

#include "core/notifier.h"
#include "shell/dialogs.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgGenerator>
#include <QWheelEvent>

#include <cmath>

namespace corvatin::shell {

/// Hears the molecule's change announcements.
class TGraph3DViewer::TObserver : public IListener {
public:
  explicit TObserver(TGraph3DViewer& viewer) : viewer_(viewer) {}
  void Notify(int eventCode, IObject*, const std::any& data) override {
    if (eventCode != geGraphChanged) return;
    const int* kind = std::any_cast<int>(&data);
    viewer_.GraphChanged(kind ? *kind : gcTopology);
  }

private:
  TGraph3DViewer& viewer_;
};

namespace {

INotifier* NotifierOf(const Ptr<IMolecule>& graph) {
  auto* host = dynamic_cast<INotifierHost*>(graph.get());
  return host ? &host->Notifier() : nullptr;
}

} // namespace

TGraph3DViewer::TGraph3DViewer(QWidget* parent) : QWidget(parent), observer_(std::make_unique<TObserver>(*this)) {
  setObjectName("Molecule 3D Viewer");
  setWindowTitle("Molecule 3D Viewer");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(120, 120);
  commands_ = new TCommandActions(BuildCommands(), this);
}

TGraph3DViewer::~TGraph3DViewer() {
  // The molecule's notifier holds the observer as a plain link: leave it before going away.
  if (INotifier* n = NotifierOf(graph_)) n->RemoveListener(observer_.get());
}

CommandTable TGraph3DViewer::BuildCommands() {
  auto notQuick = [this] { return !scene_.QuickDrawing(); };
  auto ballStyle = [this] { return scene_.GetDrawStyle() == DrawStyle::BallAndSticks; };
  auto hasContributions = [this] { return !scene_.Contributions().Empty(); };
  auto contributionMode = [this, hasContributions] {
    return hasContributions() && scene_.GetColourMode() == ColourMode::BondContributions;
  };
  auto draw = [this](DrawStyle s) {
    return [this, s] {
      scene_.SetDrawStyle(s);
      Changed();
    };
  };
  auto atom = [this](AtomStyle s) {
    return [this, s] {
      scene_.SetAtomStyle(s);
      Changed();
    };
  };
  auto bond = [this](BondStyle s) {
    return [this, s] {
      scene_.SetBondStyle(s);
      Changed();
    };
  };
  auto colour = [this](ColourMode m) {
    return [this, m] {
      scene_.SetColourMode(m);
      Changed();
    };
  };
  CommandTable t{
      {.id = "edit", .caption = "&Edit", .kind = CommandKind::Group},
      {.id = "clear",
       .caption = "&Clear",
       .trigger = [this] { Clear(); },
       .enabled = [this] { return !readOnly_; },
       .visible = [this] { return graph_ != nullptr; }},
      {.kind = CommandKind::Separator},
      {.id = "view", .caption = "&View", .kind = CommandKind::Group},
      {.id = "hydrogens",
       .caption = "Hydrogen atoms",
       .kind = CommandKind::Check,
       .trigger =
           [this] {
             scene_.SetHideHydrogens(!scene_.HideHydrogens());
             Changed();
           },
       .checked = [this] { return !scene_.HideHydrogens(); },
       .toolTip = "Show hydrogen atoms",
       .onToolBar = true},
      {.kind = CommandKind::Separator},
      {.id = "drawStyle",
       .caption = "Draw &Style",
       .kind = CommandKind::Group,
       .trigger =
           [this] {
             scene_.SetDrawStyle(scene_.GetDrawStyle() == DrawStyle::BallAndSticks ? DrawStyle::Sticks
                                                                                   : DrawStyle::BallAndSticks);
             Changed();
           },
       .enabled = notQuick},
      {.id = "ballAndSticks",
       .caption = "&Ball && Sticks",
       .kind = CommandKind::Radio,
       .radioGroup = "draw",
       .trigger = draw(DrawStyle::BallAndSticks),
       .enabled = notQuick,
       .checked = ballStyle,
       .toolTip = "Ball & Sticks",
       .onToolBar = true},
      {.id = "sticks",
       .caption = "&Sticks",
       .kind = CommandKind::Radio,
       .radioGroup = "draw",
       .trigger = draw(DrawStyle::Sticks),
       .enabled = notQuick,
       .checked = [this] { return scene_.GetDrawStyle() == DrawStyle::Sticks; },
       .onToolBar = true},
      {.id = "atomStyle",
       .caption = "&Atom Style",
       .kind = CommandKind::Group,
       .trigger =
           [this] {
             scene_.SetAtomStyle(scene_.GetAtomStyle() == AtomStyle::Balls ? AtomStyle::Symbols : AtomStyle::Balls);
             Changed();
           },
       .enabled = ballStyle},
      {.id = "balls",
       .caption = "&Balls",
       .kind = CommandKind::Radio,
       .radioGroup = "atom",
       .trigger = atom(AtomStyle::Balls),
       .enabled = ballStyle,
       .checked = [this] { return scene_.GetAtomStyle() == AtomStyle::Balls; }},
      {.id = "symbols",
       .caption = "&Symbols",
       .kind = CommandKind::Radio,
       .radioGroup = "atom",
       .trigger = atom(AtomStyle::Symbols),
       .enabled = ballStyle,
       .checked = [this] { return scene_.GetAtomStyle() == AtomStyle::Symbols; }},
      {.id = "bondStyle",
       .caption = "&Bond Style",
       .kind = CommandKind::Group,
       .trigger =
           [this] {
             scene_.SetBondStyle(static_cast<BondStyle>((static_cast<int>(scene_.GetBondStyle()) + 1) % 3));
             Changed();
           },
       .enabled = notQuick},
      {.id = "bondSticks",
       .caption = "&Sticks",
       .kind = CommandKind::Radio,
       .radioGroup = "bond",
       .trigger = bond(BondStyle::Sticks),
       .enabled = notQuick,
       .checked = [this] { return scene_.GetBondStyle() == BondStyle::Sticks; }},
      {.id = "bondTypes",
       .caption = "&Bond Types",
       .kind = CommandKind::Radio,
       .radioGroup = "bond",
       .trigger = bond(BondStyle::BondTypes),
       .enabled = notQuick,
       .checked = [this] { return scene_.GetBondStyle() == BondStyle::BondTypes; }},
      {.id = "bondNumber",
       .caption = "&Bond Number",
       .kind = CommandKind::Radio,
       .radioGroup = "bond",
       .trigger = bond(BondStyle::BondNumber),
       .enabled = notQuick,
       .checked = [this] { return scene_.GetBondStyle() == BondStyle::BondNumber; }},
      {.id = "picture", .caption = "&Picture", .kind = CommandKind::Group},
      {.id = "fit",
       .caption = "&Fit to Window",
       .trigger =
           [this] {
             scene_.Fit(size());
             update();
           },
       .visible = [this] { return graph_ != nullptr; }},
      {.kind = CommandKind::Separator},
      {.id = "elementColours",
       .caption = "&Element Colours",
       .kind = CommandKind::Radio,
       .radioGroup = "colour",
       .trigger = colour(ColourMode::Elements),
       .checked = [contributionMode] { return !contributionMode(); }},
      {.id = "bondContributions",
       .caption = "Bond &Contributions",
       .kind = CommandKind::Radio,
       .radioGroup = "colour",
       .trigger = colour(ColourMode::BondContributions),
       .enabled = hasContributions,
       .checked = contributionMode,
       .toolTip = "Colour the bonds by their contributions"},
      {.id = "nextColumn",
       .caption = "&Next Contribution Column",
       .trigger =
           [this] {
             const int n = scene_.Contributions().Count();
             scene_.SetContributionColumn(n > 0 ? (scene_.ContributionColumn() + 1) % n : 0);
             Changed();
           },
       .enabled = [this, contributionMode] { return contributionMode() && scene_.Contributions().Count() > 1; }},
      {.kind = CommandKind::Separator},
      {.id = "savePng",
       .caption = "Save Picture as &PNG...",
       .trigger = [this] { Export(false); },
       .enabled = [this] { return graph_ != nullptr; }},
      {.id = "saveSvg",
       .caption = "Save Picture as S&VG...",
       .trigger = [this] { Export(true); },
       .enabled = [this] { return graph_ != nullptr; }},
  };
  return t;
}

void TGraph3DViewer::SetGraph(const Ptr<IMolecule>& graph) {
  if (INotifier* n = NotifierOf(graph_)) n->RemoveListener(observer_.get());
  graph_ = graph;
  if (INotifier* n = NotifierOf(graph_)) n->Subscribe(geGraphChanged, observer_.get());
  scene_.SetMolecule(graph_.get());
  Changed();
}

void TGraph3DViewer::SetReadOnly(bool flag) {
  readOnly_ = flag;
  commands_->Refresh();
}

void TGraph3DViewer::SetQuickDrawing(bool flag) {
  scene_.SetQuickDrawing(flag);
  if (flag) dragging_ = false;
  Changed();
}

void TGraph3DViewer::Refresh() {
  scene_.Rebuild(true);
  Changed();
}

void TGraph3DViewer::Changed() {
  commands_->Refresh();
  update();
}

void TGraph3DViewer::GraphChanged(int kind) {
  const bool hadSelection = !scene_.Selection().Empty();
  // A changed topology leaves neither the turned view nor the picked item meaningful.
  scene_.Rebuild(kind < gcTopology);
  if (hadSelection && scene_.Selection().Empty()) ReportSelection();
  Changed();
}

void TGraph3DViewer::ReportSelection() {
  if (!listener_) return;
  const TPick& pick = scene_.Selection();
  if (pick.atom)
    listener_->SelectionChanged(pick.atom->SelfAs<IParameters>(), skAtom);
  else if (pick.bond)
    listener_->SelectionChanged(pick.bond->SelfAs<IParameters>(), skBond);
  else
    listener_->SelectionChanged(QueryAs<IParameters>(graph_), skGraph);
}

void TGraph3DViewer::Clear() {
  if (readOnly_ || !graph_ || graph_->VertexCount() == 0) return;
  if (!Dialogs().AskYesNo(this, "Confirm Graph Delete", "Are you sure you want to clear this graph?")) return;
  if (clearHandler_)
    clearHandler_();
  else
    graph_->Clear();
}

QImage TGraph3DViewer::Picture() {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  painter.setFont(font());
  scene_.Paint(painter, size());
  return image;
}

bool TGraph3DViewer::ExportPicture(const QString& fileName) {
  if (QFileInfo(fileName).suffix().compare("svg", Qt::CaseInsensitive) != 0) return Picture().save(fileName, "PNG");
  QSvgGenerator generator;
  generator.setFileName(fileName);
  generator.setSize(size());
  generator.setViewBox(QRect(QPoint(0, 0), size()));
  generator.setTitle(graph_ ? QString::fromStdString(graph_->GetName()) : QString());
  generator.setDescription("Molecule 3D Viewer");
  QPainter painter;
  if (!painter.begin(&generator)) return false;
  painter.setFont(font());
  scene_.Paint(painter, size());
  return painter.end();
}

void TGraph3DViewer::Export(bool svg) {
  const QString suffix = svg ? "svg" : "png";
  QString name =
      Dialogs().SaveFile(this, "Save Picture", QString(), svg ? "SVG pictures (*.svg)" : "PNG pictures (*.png)");
  if (name.isEmpty()) return;
  if (QFileInfo(name).suffix().compare(suffix, Qt::CaseInsensitive) != 0) name += "." + suffix;
  if (!ExportPicture(name))
    Dialogs().Inform(this, "Save Picture", QString("Cannot write \"%1\".").arg(name), MessageIcon::Error);
}

void TGraph3DViewer::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  scene_.Paint(painter, size());
}

void TGraph3DViewer::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  update();
}

void TGraph3DViewer::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || scene_.QuickDrawing()) return;
  const QPoint at = event->position().toPoint();
  scene_.SetSelection(scene_.Pick(at, size()));
  ReportSelection();
  dragging_ = true;
  last_ = at;
  update();
}

void TGraph3DViewer::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const QPoint at = event->position().toPoint();
  if (at == last_) return;
  scene_.Turn(last_, at, size());
  last_ = at;
  if (!scene_.TransientQuick() && static_cast<int>(scene_.DrawList().size()) > kQuickTurnAtoms)
    scene_.SetTransientQuick(true);
  update();
}

void TGraph3DViewer::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  if (scene_.TransientQuick()) scene_.SetTransientQuick(false);
  update();
}

void TGraph3DViewer::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y();
  if (steps == 0) return;
  scene_.Zoom(std::pow(1.2, steps / 120.0));
  update();
  event->accept();
}

void TGraph3DViewer::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  commands_->FillMenu(&menu);
  menu.exec(event->globalPos());
}

} // namespace corvatin::shell
