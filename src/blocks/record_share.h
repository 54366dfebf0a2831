#pragma once
// Runs that read the same input and split its records between them: the workers of one batch process (which
// write in input order, taking turns) and the shards of a library spread over several processes or machines.

#include "core/object.h"

#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>

namespace corvatin {

/// The turns of the runs of one process that share an input: the output and the log of record i wait until every
/// record before it is done, so that the files and the log come out as one run would write them.
class TRecordTurns {
public:
  /// Waits until record's turn has come; false (at once) when the runs were stopped at an earlier record.
  bool Wait(std::int64_t record);
  /// Ends record's turn, which must be the current one: record + 1 is next.
  void Pass(std::int64_t record);
  /// No record from record on gets its turn: the runs end there (one of them failed at record).
  void StopAt(std::int64_t record);
  /// The first record that gets no turn (the largest number when none is stopped).
  std::int64_t StoppedAt() const;

private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::int64_t next_ = 0;
  std::int64_t stopAt_ = std::numeric_limits<std::int64_t>::max();
};

/// One run's share of the input. A process may take one shard of it (record i, 0-based over every file of the run,
/// when i mod shards is shard), and split its shard between workers by their position in it (position p when
/// p mod workers is worker). turns: the process's turns when several workers write in input order.
struct TRecordShare {
  int shard = 0;
  int shards = 1;
  int worker = 0;
  int workers = 1;
  Ptr<TRecordTurns> turns;

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
