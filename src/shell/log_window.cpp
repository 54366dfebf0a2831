#include "shell/log_window.h"

namespace corvatin::shell {

namespace {
constexpr int kTransientRole = Qt::UserRole + 1;
// A long batch of structures must not grow the window without end; the oldest lines go first.
constexpr int kMaxLines = 20000;

class TLogRelay : public IProgressLog {
public:
  explicit TLogRelay(TLogWindow* window) : window_(window) {}
  void Clear() override {
    if (window_) window_->clear();
  }
  void AddMessage(const std::string& text, int kind, bool transient) override {
    if (window_) window_->AddMessage(QString::fromStdString(text), kind, transient);
  }

private:
  QPointer<TLogWindow> window_;
};
} // namespace

TLogWindow::TLogWindow(QWidget* parent) : QListWidget(parent) {
  setObjectName("log");
  setWindowTitle("Results");
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void TLogWindow::AddMessage(const QString& text, int kind, bool transient) {
  if (count() > 0 && item(count() - 1)->data(kTransientRole).toBool()) delete takeItem(count() - 1);
  if (kind == lkHeading && count() > 0 && !transient) addItem(QString());
  QString shown = text;
  if (kind == lkError) shown = "Error: " + text;
  if (kind == lkWarning) shown = "Warning: " + text;
  auto* line = new QListWidgetItem(shown);
  line->setData(kTransientRole, transient);
  if (kind == lkError || kind == lkWarning) line->setForeground(Qt::red);
  if (kind == lkResult) line->setForeground(Qt::blue);
  if (kind == lkHeading) {
    QFont bold = font();
    bold.setBold(true);
    line->setFont(bold);
  }
  addItem(line);
  while (count() > kMaxLines)
    delete takeItem(0);
  scrollToBottom();
}

QStringList TLogWindow::Lines() const {
  QStringList lines;
  for (int i = 0; i < count(); ++i)
    lines << item(i)->text();
  return lines;
}

Ptr<IProgressLog> TLogWindow::Receiver() {
  if (!receiver_) receiver_ = std::make_shared<TLogRelay>(this);
  return receiver_;
}

} // namespace corvatin::shell
