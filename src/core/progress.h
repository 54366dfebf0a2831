#pragma once
// How running blocks talk to the windows: progress reports and log lines.

#include "core/object.h"

#include <string>

namespace corvatin {

/// Log message kinds, rendered by the log window.
enum LogKind : int {
  lkPlain = 0,   ///< plain text
  lkError = 1,   ///< prefix "Error: ", red
  lkWarning = 2, ///< prefix "Warning: ", red
  lkResult = 3,  ///< blue
  lkHeading = 4, ///< bold, preceded by an empty line when the log is not empty
};

/// Receiver of progress reports (the main window, the procedures window, the worker thread).
class IProgressCallback : public virtual IObject {
public:
  /// position 0..100 (negative ignored); set cont false to ask the caller to stop; refresh asks for a redraw.
  virtual void Progress(int position, bool& cont, bool& refresh) = 0;
  /// As Progress, with a status text; sets refresh when at least a second passed since the last redraw.
  virtual void ProgressText(int position, bool& cont, const std::string& text, bool& refresh) = 0;
};

/// Receiver of log lines (the log window, the worker thread).
class IProgressLog : public virtual IObject {
public:
  /// Empties the log.
  virtual void Clear() = 0;
  /// Appends one line; a transient line is removed by the next permanent one.
  virtual void AddMessage(const std::string& text, int kind, bool transient) = 0;
};

} // namespace corvatin
