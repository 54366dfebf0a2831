#pragma once
// Runs that read the same input and split its records between them: the workers of one batch process (which
// write in input order, taking turns) and the shards of a library spread over several processes or machines.

#include "core/object.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

namespace corvatin {

/// The turns of the runs of one process that share an input: the output and the log of record i wait until every
/// record before it is done, so that the files and the log come out as one run would write them.
class TRecordTurns {
public:
  /// Waits until record's turn has come; false (at once) when the runs were stopped at an earlier record.
  bool Wait(std::int64_t record);
  /// Whether Wait (record) would return at once.
  bool Ready(std::int64_t record) const;
  /// Ends record's turn, which must be the current one: record + 1 is next.
  void Pass(std::int64_t record);
  /// No record from record on gets its turn: the runs end there (one of them failed at record).
  void StopAt(std::int64_t record);
  /// The first record that gets no turn (the largest number when none is stopped).
  std::int64_t StoppedAt() const;

private:
  struct TWaiter {
    std::int64_t record;
    std::condition_variable* woken;
  };
  // Wakes the waiters whose Wait would now return; the lock is held.
  void WakeReady();

  mutable std::mutex mutex_;
  // Every waiter has a wake-up of its own: passing a turn wakes the one chain whose turn comes next, not every
  // chain that waits (with short structures the herd woken for nothing cost more than the structures).
  std::vector<TWaiter> waiters_;
  std::int64_t next_ = 0;
  std::int64_t stopAt_ = std::numeric_limits<std::int64_t>::max();
};

/// One record of the input as the reader of a run over several workers cut it out of its file, for a worker to
/// parse: its text and where it stands, so that messages still name the file, the line and the record.
struct TRecordText {
  std::string text;           ///< the record's bytes, line ends included
  std::string file;           ///< the file it comes from
  std::int64_t firstLine = 1; ///< the line of the file its text begins on
  int number = 0;             ///< its number in the file, from 1
  std::int64_t index = -1;    ///< its index over every file of the run, from 0; -1 when it is no record (below)
  std::int64_t turn = 0;      ///< its turn: its position among the records this process takes
  int percent = 0;            ///< how far into its file it ends, in percent of the file's size
  /// Files without a structure passed since the record before: their warnings come before this record's lines.
  std::vector<std::string> emptyFiles;
  /// Not empty: reading stopped here (a file that could no longer be read); no record.
  std::string error;
};

/// The bounded queue between the one reader of a run and its workers: the reader waits while it is full, so that
/// however large the input, no more than capacity records are held. A waiting reader is woken when the queue is
/// half empty, so that it cuts records in batches rather than waking for each record taken.
class TRecordQueue {
public:
  explicit TRecordQueue(std::size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}
  /// Waits while the queue is full; false (the record dropped) once the queue was cancelled.
  bool Push(TRecordText record);
  /// Waits for the next record; false when the reader has finished and every record was taken, or on Cancel.
  bool Pop(TRecordText& record);
  /// The reader pushed its last record.
  void Finish();
  /// The workers are gone: the reader stops at its next Push, Pop returns false.
  void Cancel();
  /// The most records the queue has held at once.
  std::size_t HighWater() const;

private:
  mutable std::mutex mutex_;
  std::condition_variable notFull_;  // the reader waits on it
  std::condition_variable notEmpty_; // the workers wait on it
  std::deque<TRecordText> records_;
  std::size_t capacity_;
  std::size_t highWater_ = 0;
  int takersWaiting_ = 0;
  bool readerWaiting_ = false;
  bool finished_ = false;
  bool cancelled_ = false;
};

/// One run's share of the input. A process may take one shard of it (record i, 0-based over every file of the run,
/// when i mod shards is shard), and split its shard between workers by their position in it (position p when
/// p mod workers is worker). turns: the process's turns when several workers write in input order. queue: the
/// records cut by the process's reader, when the workers take them from it rather than each reading every file;
/// they then take every record they are given, in the turn it carries.
struct TRecordShare {
  int shard = 0;
  int shards = 1;
  int worker = 0;
  int workers = 1;
  Ptr<TRecordTurns> turns;
  Ptr<TRecordQueue> queue;

  /// Whether the run reads some records only to skip them.
  bool Partial() const { return shards > 1 || workers > 1; }
  bool InShard(std::int64_t record) const { return shards <= 1 || record % shards == shard; }
  /// The records of the shard before record: the position of record in the shard when it is one of them.
  std::int64_t Position(std::int64_t record) const {
    return shards <= 1 ? record : record <= shard ? 0 : (record - shard + shards - 1) / shards;
  }
  /// Whether this worker takes the record at position (in the shard).
  bool TakesPosition(std::int64_t position) const { return workers <= 1 || position % workers == worker; }
  bool Takes(std::int64_t record) const { return InShard(record) && TakesPosition(Position(record)); }
};

} // namespace corvatin
