#pragma once
// Cutting structure files into records without parsing them, for the one reader of a run over several workers:
// each record's text goes to a worker, whose reader parses it exactly as it would have read it in the file. A
// record ends where the reader of its format, reading the file, would go on with the next one.

#include "blocks/record_share.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvatin {

class IByteStream;

/// How a reader's records are found in its files.
enum class TRecordLayout {
  None,      ///< only by reading them: such a file is not cut
  WholeFile, ///< one structure per file
  SDFile,    ///< up to a "$$$$" line (MDL molfiles and SD files)
  Mol2,      ///< from one "@<TRIPOS>MOLECULE" line to the next (Tripos MOL2)
  Words,     ///< SMILES separated by white space
  Pairs,     ///< a name line, then a SMILES line
  Lines,     ///< a SMILES per line; blank lines and "#" lines between them
};

/// Cuts one file into its records, one after the other, reading it in blocks: however large the file, no more
/// than a record and a block are held.
class TRecordCutter {
public:
  /// Opens fileName; EInputError when it cannot be opened.
  TRecordCutter(const std::string& fileName, TRecordLayout layout);
  ~TRecordCutter();
  TRecordCutter(const TRecordCutter&) = delete;
  TRecordCutter& operator=(const TRecordCutter&) = delete;

  /// The next record's text and the line of the file it begins on; false after the last one. White space before
  /// the first structure and after the last belongs to the first and the last record; a file of white space has
  /// none. A read error raises EInputError.
  bool Next(std::string& text, std::int64_t& firstLine);
  /// How far the records cut so far reach, in percent of the file's size (100 for an empty file).
  int Percent() const;

private:
  /// The next line with its line end (CR LF, LF or CR); false at the end of the file.
  bool TakeLine(std::string& line);
  /// Puts line back: the next TakeLine returns it.
  void PutBack(std::string line);
  /// Lines that skip says are no structure's, and the first that is; false when none is left.
  bool TakeLead(std::string& text, bool (*skip)(const std::string&));
  /// Lines that skip says are no structure's, up to the first that is, which is put back.
  void TakeTrail(std::string& text, bool (*skip)(const std::string&));
  bool NextSD(std::string& text);
  bool NextMol2(std::string& text);
  bool NextWords(std::string& text);
  bool NextPairs(std::string& text);
  bool NextLines(std::string& text);

  std::unique_ptr<IByteStream> stream_;
  TRecordLayout layout_;
  std::string block_;
  std::size_t at_ = 0;             // in block_
  std::int64_t read_ = 0;          // bytes of the file read into blocks
  std::int64_t taken_ = 0;         // bytes of the file handed out in records
  std::vector<std::string> back_;  // lines put back, the next one last
  std::int64_t line_ = 1;          // the line the next record begins on
  bool first_ = true;
};

/// The files a run reads, with how their records are found.
using TLaidOutFiles = std::vector<std::pair<std::string, TRecordLayout>>;

/// The reader of a run over several workers: cuts files into records and pushes those of the shard (record i,
/// counted from 0 over every file, when i mod shards is shard) into queue, each with its turn; a file of white
/// space is named with the record after it, or last. A file that cannot be read ends the input with its error.
/// Finishes the queue when done; returns early when the queue is cancelled.
void CutRecords(const TLaidOutFiles& files, int shard, int shards, TRecordQueue& queue);

} // namespace corvatin
