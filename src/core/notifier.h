#pragma once
// Observer mechanism: an owner (parameter container, editor, graph, viewer) aggregates a TNotifier and announces
// changes through it; listeners subscribe to event codes.

#include "core/object.h"

#include <any>
#include <vector>

namespace corvatin {

/// A receiver of notifications.
class IListener : public virtual IObject {
public:
  /// eventCode as subscribed; sender is the notifier's owner; data depends on the event.
  virtual void Notify(int eventCode, IObject* sender, const std::any& data) = 0;
};

/// The subscriber side of a notifier. Listeners are held as plain links: a listener removes itself
/// (RemoveListener) before it is destroyed.
class INotifier {
public:
  virtual ~INotifier() = default;
  virtual void Subscribe(int eventCode, IListener* listener) = 0;
  virtual void SubscribeMany(IListener* listener, const std::vector<int>& codes) = 0;
  virtual void Unsubscribe(int eventCode, IListener* listener) = 0;
  virtual void RemoveListener(IListener* listener) = 0;
  virtual void SetEnabled(int eventCode, IListener* listener, bool flag) = 0;
  virtual void SetListenerEnabled(IListener* listener, bool flag) = 0;
  /// false increments the lock count, true decrements it; notifications are suppressed while locked.
  virtual void Lock(bool flag) = 0;
};

/// Notifier implementation, aggregated into its owner; also the owner's sending side.
class TNotifier : public INotifier {
public:
  explicit TNotifier(IObject* owner = nullptr) : owner_(owner) {}
  TNotifier(const TNotifier&) = delete;
  TNotifier& operator=(const TNotifier&) = delete;

  void Subscribe(int eventCode, IListener* listener) override;
  void SubscribeMany(IListener* listener, const std::vector<int>& codes) override;
  void Unsubscribe(int eventCode, IListener* listener) override;
  void RemoveListener(IListener* listener) override;
  void SetEnabled(int eventCode, IListener* listener, bool flag) override;
  void SetListenerEnabled(IListener* listener, bool flag) override;
  void Lock(bool flag) override;

  // Sending side.
  bool HasListeners() const;
  bool IsListened(int eventCode) const;
  void Notify(int eventCode) { Notify(eventCode, std::any()); }
  void Notify(int eventCode, const std::any& data);
  /// The listeners with eventCode enabled that implement T, in subscription order.
  template <class T> std::vector<T*> CollectListeners(int eventCode) const {
    std::vector<T*> result;
    if (locked_ > 0) return result;
    for (const auto& r : records_)
      if (r.IsEnabled(eventCode))
        if (T* t = dynamic_cast<T*>(r.listener)) result.push_back(t);
    return result;
  }
  void ClearListeners() { records_.clear(); }
  IObject* Owner() const { return owner_; }

private:
  struct Record {
    IListener* listener = nullptr;
    std::vector<int> codes;
    std::vector<bool> enabled;
    bool defaultEnabled = true;
    bool IsEnabled(int code) const {
      for (size_t i = 0; i < codes.size(); ++i)
        if (codes[i] == code) return enabled[i];
      return false;
    }
  };
  Record* Find(IListener* listener);

  IObject* owner_;
  int locked_ = 0;
  std::vector<Record> records_;
};

/// An object that aggregates a notifier (parameter containers, editors, graphs).
class INotifierHost {
public:
  virtual ~INotifierHost() = default;
  virtual TNotifier& Notifier() = 0;
};

} // namespace corvatin
