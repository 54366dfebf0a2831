#include "shell/editor_palette.h"

#include "chem/elements.h"
#include "core/settings.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

#include <map>

namespace corvatin::shell {

std::vector<std::string> DefaultPalette() {
  std::vector<std::string> symbols;
  for (int z : DefaultElementList())
    symbols.emplace_back(ElementSymbol(z));
  return symbols;
}

std::vector<std::string> LoadPalette() {
  std::vector<std::string> stored;
  Registry().ReadStringList(kPalettePath, stored);
  std::vector<std::string> palette;
  for (const auto& s : stored)
    if (!s.empty()) palette.push_back(s);
  return palette.empty() ? DefaultPalette() : palette;
}

void SavePalette(const std::vector<std::string>& palette) { Registry().WriteStringList(kPalettePath, palette); }

QIcon ElementIcon(const std::string& symbol, const QColor& face) {
  QPixmap pixmap(24, 24);
  pixmap.fill(face);
  QPainter p(&pixmap);
  QFont font("Arial");
  font.setPixelSize(symbol.size() > 1 ? 12 : 15);
  font.setBold(true);
  p.setFont(font);
  const Color c = ContrastElementColor(AtomicNumberOf(symbol), MakeColor(face.red(), face.green(), face.blue()));
  p.setPen(QColor(RedOf(c), GreenOf(c), BlueOf(c)));
  p.drawText(pixmap.rect(), Qt::AlignCenter, QString::fromStdString(symbol));
  p.end();
  return QIcon(pixmap);
}

QIcon BondIcon(int kind) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::black, 2));
  const int rows = kind == 1 ? 2 : kind == 2 ? 3 : 1;
  const int top = 12 - (rows - 1) * 3;
  for (int i = 0; i < rows; ++i)
    p.drawLine(4, top + 6 * i, 20, top + 6 * i);
  if (kind == 3) {
    p.drawLine(4, 9, 20, 9);
    p.setPen(QPen(Qt::black, 2, Qt::DotLine));
    p.drawLine(4, 15, 20, 15);
  }
  p.end();
  return QIcon(pixmap);
}

QCursor ToolCursor(int z, const std::string& symbol, int bondKind) {
  // Cached under the atomic number, or 110 plus the bond kind.
  static auto* cache = new std::map<int, QCursor>; // kept past the application object: never destroyed
  const int id = z >= 0 ? z : 110 + bondKind;
  if (auto it = cache->find(id); it != cache->end()) return it->second;
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  p.drawLine(2, 0, 2, 5);
  p.drawLine(0, 2, 5, 2);
  if (z >= 0) {
    QFont font("Arial");
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRect(4, 4, 28, 14), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(symbol));
  } else {
    p.drawLine(5, 6, 10, 6);
    if (bondKind == 1 || bondKind == 2) p.drawLine(5, 8, 10, 8);
    if (bondKind == 2) p.drawLine(5, 10, 10, 10);
    if (bondKind == 3)
      for (int x : {5, 7, 9})
        p.drawPoint(x, 8);
  }
  p.end();
  return cache->emplace(id, QCursor(pixmap, 2, 2)).first->second;
}

} // namespace corvatin::shell
