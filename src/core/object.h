#pragma once
// Root of the object model: every interface derives (virtually) from IObject so that any object can travel
// in an interface parameter and be cross-cast to the interfaces it implements with std::dynamic_pointer_cast.

#include <memory>

namespace corvatin {

/// Root of every interface; objects are owned through std::shared_ptr and may hand out themselves.
class IObject : public std::enable_shared_from_this<IObject> {
public:
  virtual ~IObject() = default;

  /// This object as a counted reference of interface T (none when it does not implement T or is not shared).
  template <class T> std::shared_ptr<T> SelfAs() {
    std::weak_ptr<IObject> weak = weak_from_this();
    return std::dynamic_pointer_cast<T>(weak.lock());
  }
  template <class T> std::shared_ptr<const T> SelfAs() const {
    std::weak_ptr<const IObject> weak = weak_from_this();
    return std::dynamic_pointer_cast<const T>(weak.lock());
  }
};

template <class T> using Ptr = std::shared_ptr<T>;

/// Cross-cast between interfaces of one object.
template <class T, class U> Ptr<T> QueryAs(const Ptr<U>& p) { return std::dynamic_pointer_cast<T>(p); }

} // namespace corvatin
