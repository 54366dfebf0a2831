#pragma once
// The "Results" window: the log of the runs. Errors and warnings carry their prefix and show in red, results in
// blue, headings in bold after an empty line; a transient line is replaced by the next line.

#include "core/progress.h"

#include <QListWidget>
#include <QPointer>

namespace corvatin::shell {

class TLogWindow : public QListWidget {
  Q_OBJECT
public:
  explicit TLogWindow(QWidget* parent = nullptr);

  void AddMessage(const QString& text, int kind, bool transient);
  /// The lines as shown, transient ones included.
  QStringList Lines() const;
  /// The receiver a run logs into (forwards to this window while it exists).
  Ptr<IProgressLog> Receiver();

private:
  Ptr<IProgressLog> receiver_;
};

} // namespace corvatin::shell
