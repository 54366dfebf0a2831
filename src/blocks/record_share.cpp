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

bool TRecordQueue::Push(TRecordText record) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_ || records_.size() < capacity_; });
    if (cancelled_) return false;
    records_.push_back(std::move(record));
    highWater_ = std::max(highWater_, records_.size());
  }
  changed_.notify_all();
  return true;
}

bool TRecordQueue::Pop(TRecordText& record) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_ || finished_ || !records_.empty(); });
    if (cancelled_ || records_.empty()) return false;
    record = std::move(records_.front());
    records_.pop_front();
  }
  changed_.notify_all();
  return true;
}

void TRecordQueue::Finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
}

void TRecordQueue::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    records_.clear();
  }
  changed_.notify_all();
}

std::size_t TRecordQueue::HighWater() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return highWater_;
}

} // namespace corvatin
