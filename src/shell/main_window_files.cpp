// The main window's files and layout: dropped files, the recent-files menu, the remembered window layout.
#include "shell/main_window.h"

#include "core/settings.h"
#include "shell/dialogs.h"

#include <QDockWidget>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>

namespace corvatin::shell {

namespace {
// The File menu lists this many files opened last.
constexpr int kMaxRecent = 8;
} // namespace

void TMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainWindow::dropEvent(QDropEvent* event) {
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  if (AskToStop(paOpenFile)) OpenFiles(files);
}

void TMainWindow::AddRecent(const QStringList& files) {
  std::vector<std::string> recent;
  Registry().ReadStringList(kRecentFilesKey, recent);
  for (const QString& f : files) {
    const std::string path = QFileInfo(f).absoluteFilePath().toStdString();
    std::erase(recent, path);
    recent.insert(recent.begin(), path);
  }
  if (recent.size() > size_t(kMaxRecent)) recent.resize(size_t(kMaxRecent));
  Registry().WriteStringList(kRecentFilesKey, recent);
  FillRecentMenu();
}

void TMainWindow::FillRecentMenu() {
  if (!recentMenu_) return;
  recentMenu_->clear();
  std::vector<std::string> recent;
  Registry().ReadStringList(kRecentFilesKey, recent);
  for (const std::string& path : recent) {
    const QString file = QString::fromStdString(path);
    recentMenu_
        ->addAction(QFileInfo(file).fileName(), this,
                    [this, file] {
                      if (AskToStop(paOpenFile)) OpenFiles({file});
                    })
        ->setToolTip(file);
  }
  recentMenu_->setEnabled(!recent.empty());
}

void TMainWindow::SaveLayout() {
  Registry().WriteString(kWindowGeometryKey, saveGeometry().toBase64().toStdString());
  Registry().WriteString(kWindowStateKey, saveState().toBase64().toStdString());
}

void TMainWindow::RestoreLayout() {
  const std::string geometry = Registry().ReadString(kWindowGeometryKey, "");
  const std::string state = Registry().ReadString(kWindowStateKey, "");
  if (geometry.empty() || !restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(geometry)))) {
    resize(1100, 720);
    // The molecule is what the window is for: the log starts low, the tool windows narrow.
    resizeDocks({Dock("dockResults")}, {140}, Qt::Vertical);
    resizeDocks({Dock("dockProcedures"), Dock("dockProperties")}, {280, 280}, Qt::Horizontal);
  }
  if (!state.empty()) restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
}

} // namespace corvatin::shell
