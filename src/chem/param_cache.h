#pragma once
// A parameter entry that its owner rewrites very often (the molecule's completion tags after every change, an
// atom's "Hybridation" after every bond change). Looking an entry up by name is cheap; the cast to the value
// interface is not, so the parameter is held and its typed face kept until the entry holds another object.

#include "core/parameters.h"

namespace corvatin {

template <class TValue> class TCachedParam {
public:
  /// The entry name of owner as TValue; none when missing or of another kind.
  TValue* Get(const TParameters& owner, const char* name) {
    Ptr<IParameter> p = owner.GetParam(name);
    if (!p) return nullptr;
    if (p != held_) {
      held_ = std::move(p); // held, so the address cannot be reused by another parameter meanwhile
      typed_ = dynamic_cast<TValue*>(held_.get());
    }
    return typed_;
  }

private:
  Ptr<IParameter> held_;
  TValue* typed_ = nullptr;
};

} // namespace corvatin
