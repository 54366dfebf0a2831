#include "core/notifier.h"

#include <algorithm>

namespace corvatin {

TNotifier::Record* TNotifier::Find(IListener* listener) {
  for (auto& r : records_)
    if (r.listener == listener) return &r;
  return nullptr;
}

void TNotifier::Subscribe(int eventCode, IListener* listener) {
  if (!listener) return;
  Record* r = Find(listener);
  if (!r) {
    records_.push_back(Record{listener, {}, {}, true});
    r = &records_.back();
  }
  for (int c : r->codes)
    if (c == eventCode) return;
  r->codes.push_back(eventCode);
  r->enabled.push_back(r->defaultEnabled);
}

void TNotifier::SubscribeMany(IListener* listener, const std::vector<int>& codes) {
  for (int c : codes) Subscribe(c, listener);
}

void TNotifier::Unsubscribe(int eventCode, IListener* listener) {
  Record* r = Find(listener);
  if (!r) return;
  for (size_t i = 0; i < r->codes.size(); ++i)
    if (r->codes[i] == eventCode) {
      r->codes.erase(r->codes.begin() + static_cast<std::ptrdiff_t>(i));
      r->enabled.erase(r->enabled.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  if (r->codes.empty()) RemoveListener(listener);
}

void TNotifier::RemoveListener(IListener* listener) {
  records_.erase(std::remove_if(records_.begin(), records_.end(),
                                [listener](const Record& r) { return r.listener == listener; }),
                 records_.end());
}

void TNotifier::SetEnabled(int eventCode, IListener* listener, bool flag) {
  Record* r = Find(listener);
  if (!r) return;
  for (size_t i = 0; i < r->codes.size(); ++i)
    if (r->codes[i] == eventCode) r->enabled[i] = flag;
}

void TNotifier::SetListenerEnabled(IListener* listener, bool flag) {
  Record* r = Find(listener);
  if (!r) return;
  r->defaultEnabled = flag;
  std::fill(r->enabled.begin(), r->enabled.end(), flag);
}

void TNotifier::Lock(bool flag) {
  if (flag) {
    if (locked_ > 0) --locked_;
  } else {
    ++locked_;
  }
}

bool TNotifier::HasListeners() const { return locked_ == 0 && !records_.empty(); }

bool TNotifier::IsListened(int eventCode) const {
  if (locked_ > 0) return false;
  return std::any_of(records_.begin(), records_.end(), [eventCode](const Record& r) { return r.IsEnabled(eventCode); });
}

void TNotifier::Notify(int eventCode, const std::any& data) {
  if (locked_ > 0) return;
  // Collect first: a listener may unsubscribe (itself or others) while being notified.
  std::vector<IListener*> targets;
  for (const auto& r : records_)
    if (r.IsEnabled(eventCode)) targets.push_back(r.listener);
  for (IListener* l : targets) {
    bool stillSubscribed = std::any_of(records_.begin(), records_.end(),
                                       [l](const Record& r) { return r.listener == l; });
    if (stillSubscribed) l->Notify(eventCode, owner_, data);
  }
}

} // namespace corvatin
