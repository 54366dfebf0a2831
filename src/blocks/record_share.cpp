#include "blocks/record_share.h"

#include <algorithm>

namespace corvatin {

bool TRecordTurns::Wait(std::int64_t record) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto ready = [&] { return record >= stopAt_ || next_ == record; };
  if (!ready()) {
    std::condition_variable woken;
    waiters_.push_back({record, &woken});
    woken.wait(lock, ready);
    waiters_.erase(std::find_if(waiters_.begin(), waiters_.end(), [&](const TWaiter& w) { return w.woken == &woken; }));
  }
  return record < stopAt_;
}

bool TRecordTurns::Ready(std::int64_t record) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return record >= stopAt_ || next_ == record;
}

void TRecordTurns::WakeReady() {
  for (const TWaiter& waiter : waiters_)
    if (waiter.record >= stopAt_ || waiter.record == next_) waiter.woken->notify_one();
}

void TRecordTurns::Pass(std::int64_t record) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (next_ == record) next_ = record + 1;
  WakeReady();
}

void TRecordTurns::StopAt(std::int64_t record) {
  std::lock_guard<std::mutex> lock(mutex_);
  stopAt_ = std::min(stopAt_, record);
  WakeReady();
}

std::int64_t TRecordTurns::StoppedAt() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopAt_;
}

bool TRecordQueue::Push(TRecordText record) {
  bool wake = false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!cancelled_ && records_.size() >= capacity_) {
      readerWaiting_ = true;
      notFull_.wait(lock, [&] { return cancelled_ || records_.size() <= capacity_ / 2; });
      readerWaiting_ = false;
    }
    if (cancelled_) return false;
    records_.push_back(std::move(record));
    highWater_ = std::max(highWater_, records_.size());
    wake = takersWaiting_ > 0;
  }
  if (wake) notEmpty_.notify_one();
  return true;
}

bool TRecordQueue::Pop(TRecordText& record) {
  bool wake = false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    ++takersWaiting_;
    notEmpty_.wait(lock, [&] { return cancelled_ || finished_ || !records_.empty(); });
    --takersWaiting_;
    if (cancelled_ || records_.empty()) return false;
    record = std::move(records_.front());
    records_.pop_front();
    wake = readerWaiting_ && records_.size() <= capacity_ / 2;
  }
  if (wake) notFull_.notify_one();
  return true;
}

void TRecordQueue::Finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
  }
  notEmpty_.notify_all();
}

void TRecordQueue::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    records_.clear();
  }
  notFull_.notify_all();
  notEmpty_.notify_all();
}

std::size_t TRecordQueue::HighWater() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return highWater_;
}

} // namespace corvatin
