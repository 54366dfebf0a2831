#pragma once
// The link by which a package recognises its structure input: a block with a file filter and a file name.

#include "blocks/block.h"
#include "blocks/record_share.h"

#include <string>

namespace corvatin {

/// A block that reads structures from files.
class IInput : public virtual IBlock {
public:
  /// The file-dialog filter, "description|*.ext;*.ext2".
  virtual std::string GetFilter() const = 0;
  /// The file name; a name without a folder part is taken from the program's folder.
  virtual std::string GetFileName() const = 0;
  virtual void SetFileName(const std::string& name) = 0;
  /// Where the structure of the present pass came from, for messages: `"<name>", record <n> of "<file>"`;
  /// empty when it came from no file.
  virtual std::string GetRecordText() const { return {}; }
  /// Whether the record the next pass reads is another run's (a worker sharing the input): the reader must still
  /// find where it ends exactly as when it reads it whole, but may leave its structure unfinished.
  virtual void SetSkimming(bool) {}
  /// The record the next pass reads, cut out of its file by the run's reader, instead of reading on in the files
  /// (none: the files). The input may take the record's text.
  virtual void FeedRecord(TRecordText*) {}
};

} // namespace corvatin
