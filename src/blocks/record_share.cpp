#include "blocks/record_share.h"

#include <algorithm>

namespace corvatin {

bool TRecordTurns::Wait(std::int64_t record) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return record >= stopAt_ || next_ == record; });
  return record < stopAt_;
}

void TRecordTurns::Pass(std::int64_t record) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (next_ == record) next_ = record + 1;
  }
  changed_.notify_all();
}

void TRecordTurns::StopAt(std::int64_t record) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopAt_ = std::min(stopAt_, record);
  }
  changed_.notify_all();
}

std::int64_t TRecordTurns::StoppedAt() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopAt_;
}

} // namespace corvatin
