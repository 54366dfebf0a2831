// The parameter container: entries with interned names, values kept inline until an object is asked for.
#include "core/parameters.h"

#include "core/rounding.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace corvatin {

namespace {
// Transparent hashing, so that a name is looked up without building a string first.
struct TNameHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// Where each scalar kind lives: in the entry itself while inline, else in its parameter object.
struct TNumberKind {
  static constexpr ParamKind kind = ParamKind::Number;
  static INumberParameter* Object(IParameter& p) { return p.AsNumber(); }
  static double& Field(auto& entry) { return entry.number; }
};
struct TBoolKind {
  static constexpr ParamKind kind = ParamKind::Bool;
  static IBoolParameter* Object(IParameter& p) { return p.AsBool(); }
  static bool& Field(auto& entry) { return entry.flag; }
};
struct TStringKind {
  static constexpr ParamKind kind = ParamKind::String;
  static IStringParameter* Object(IParameter& p) { return p.AsString(); }
  static std::string& Field(auto& entry) { return entry.text; }
};

/// Stores value where entry already keeps a value of kind K; false when it holds another kind (to be replaced).
template <class K, class V> bool StoreInPlace(auto& entry, const V& value) {
  if (entry.param) {
    auto* p = K::Object(*entry.param);
    if (p) p->SetValue(value);
    return p != nullptr;
  }
  if (entry.kind != K::kind) return false;
  K::Field(entry) = value;
  return true;
}
} // namespace

// ------------------------------------------------------------------------------------------- name interning

const std::string& InternParamName(std::string_view name) {
  // Callers mostly pass the same few texts (a block's name list, a literal): a slot per text address answers
  // those without hashing the text; the comparison guards against a buffer that now holds another name. It comes
  // first, so that a hit does not even pass the guards of the maps below.
  struct TRecent {
    const char* data = nullptr;
    const std::string* interned = nullptr;
  };
  thread_local TRecent recent[256];
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(name.data());
  TRecent& slot = recent[((address >> 3) ^ (address >> 11) ^ name.size()) & 255];
  if (slot.data == name.data() && slot.interned && slot.interned->size() == name.size() &&
      (slot.interned->data() == name.data() || *slot.interned == name))
    return *slot.interned;
  // Names come from a small vocabulary (value names of blocks and classification files) but are looked up from
  // every worker: each thread keeps its own map in front of the shared one, which is locked only on a miss.
  static std::mutex lock;
  static std::unordered_set<std::string, TNameHash, std::equal_to<>> names;
  thread_local std::unordered_map<std::string_view, const std::string*> seen;
  if (auto hit = seen.find(name); hit != seen.end()) {
    slot = {name.data(), hit->second};
    return *hit->second;
  }
  const std::string* stored;
  {
    std::lock_guard<std::mutex> guard(lock);
    auto it = names.find(name);
    if (it == names.end()) it = names.emplace(name).first;
    stored = &*it; // nodes of an unordered set never move
  }
  seen.emplace(*stored, stored);
  slot = {name.data(), stored};
  return *stored;
}

// --------------------------------------------------------------------------------------------- TParameters

TParameters::TParameters() : notifier_(this) {}

TParameters::~TParameters() {
  for (auto& e : entries_) Detach(e.param);
}

void TParameters::Detach(const Ptr<IParameter>& param) {
  if (param)
    if (Ptr<IParamEdit> edit = param->GetEditor()) edit->Notifier().RemoveListener(this);
}

namespace {
// One of 64 bits picked by a name's length and end characters. Most lookups that fail (every value written for
// the first time) fail on a container holding no name with that bit, without comparing a single name.
std::uint64_t NameBit(std::string_view name) {
  if (name.empty()) return 1;
  const unsigned mix = static_cast<unsigned>(name.size()) * 31u + static_cast<unsigned char>(name.front()) * 7u +
                       static_cast<unsigned char>(name.back());
  return std::uint64_t{1} << (mix & 63u);
}
} // namespace

int TParameters::Find(std::string_view name) const {
  if ((nameBits_ & NameBit(name)) == 0) return -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (*entries_[i].name == name) return static_cast<int>(i);
  return -1;
}

bool TParameters::HasEntryAt(int hint, std::string_view name) const {
  if (hint < 0 || static_cast<size_t>(hint) >= entries_.size()) return false;
  const std::string& at = *entries_[static_cast<size_t>(hint)].name;
  return (at.data() == name.data() && at.size() == name.size()) || at == name;
}

int TParameters::FindFrom(int hint, std::string_view name) const {
  // Callers that keep a hint mostly pass the interned name itself: the same text at the same address needs no
  // comparison of the characters.
  return HasEntryAt(hint, name) ? hint : Find(name);
}

void TParameters::SetFloatFrom(int& hint, std::string_view name, double value) {
  const int i = FindFrom(hint, name);
  if (i >= 0 && StoreInPlace<TNumberKind>(entries_[static_cast<size_t>(i)], value)) {
    hint = i;
    return;
  }
  // As SetFloat, with the search already done.
  bool added = false;
  TEntry& e = SlotAt(i, name, added);
  const int at = static_cast<int>(&e - entries_.data());
  MakeInline(e, ParamKind::Number);
  e.number = value;
  NotifyParametersChanged();
  hint = HasEntryAt(at, name) ? at : Find(name);
}

void TParameters::SetStringAt(int& hint, std::string_view name, const std::string& value) {
  const int i = FindFrom(hint, name);
  if (i >= 0 && StoreInPlace<TStringKind>(entries_[static_cast<size_t>(i)], value)) {
    hint = i;
    ParamValueSet(*entries_[static_cast<size_t>(i)].name);
    return;
  }
  // As SetString, with the search already done.
  bool added = false;
  TEntry& e = SlotAt(i, name, added);
  const int at = static_cast<int>(&e - entries_.data());
  const std::string& interned = *e.name;
  MakeInline(e, ParamKind::String);
  e.text = value;
  NotifyParametersChanged();
  ParamValueSet(interned);
  hint = HasEntryAt(at, name) ? at : Find(name);
}

TParameters::TEntry& TParameters::Slot(std::string_view name, bool& added) { return SlotAt(Find(name), name, added); }

TParameters::TEntry& TParameters::SlotAt(int i, std::string_view name, bool& added) {
  added = i < 0;
  if (!added) return entries_[static_cast<size_t>(i)];
  // Atoms and bonds collect a few tens of values each: grow in few steps. The first step stays within the sizes
  // the allocator keeps per-thread lists for (about 1 kB), since every atom and bond makes one.
  constexpr size_t kFirstEntries = 1000 / sizeof(TEntry);
  if (entries_.capacity() == entries_.size()) entries_.reserve(std::max<size_t>(kFirstEntries, entries_.size() * 2));
  TEntry& e = entries_.emplace_back();
  nameBits_ |= NameBit(name);
  e.name = &InternParamName(name);
  return e;
}

void TParameters::MakeInline(TEntry& entry, ParamKind kind) {
  if (entry.param) {
    Detach(entry.param);
    entry.param.reset();
  }
  entry.kind = kind;
  entry.flag = false;
  entry.number = 0.0;
  entry.text.clear();
}

const Ptr<IParameter>& TParameters::Materialise(const TEntry& entry) const {
  if (entry.param) return entry.param;
  // Read-only and without an editor, as a value written by name always was.
  switch (entry.kind) {
  case ParamKind::Bool:
    entry.param = std::make_shared<TBoolParameter>(*entry.name, entry.flag, 0);
    break;
  case ParamKind::String:
    entry.param = std::make_shared<TStringParameter>(*entry.name, entry.text);
    break;
  default:
    entry.param = std::make_shared<TNumberParameter>(*entry.name, entry.number);
    break;
  }
  return entry.param;
}

void TParameters::Clear() {
  for (auto& e : entries_) Detach(e.param);
  entries_.clear();
  nameBits_ = 0;
}

Ptr<IParameter> TParameters::GetParam(std::string_view name) const {
  int i = Find(name);
  return i < 0 ? nullptr : Materialise(entries_[static_cast<size_t>(i)]);
}

Ptr<INumberParameter> TParameters::GetNumberParam(std::string_view name) const {
  return std::dynamic_pointer_cast<INumberParameter>(GetParam(name));
}

double TParameters::GetFloat(std::string_view name) const {
  int i = Find(name);
  if (i < 0) return 0.0;
  const TEntry& e = entries_[static_cast<size_t>(i)];
  if (!e.param) return e.kind == ParamKind::Number ? e.number : 0.0;
  auto* p = e.param->AsNumber();
  return p ? p->GetValue() : 0.0;
}

void TParameters::SetFloat(std::string_view name, double value) {
  bool added = false;
  TEntry& e = Slot(name, added);
  if (!added && StoreInPlace<TNumberKind>(e, value)) return;
  // A new entry, or one of another kind replaced in place.
  MakeInline(e, ParamKind::Number);
  e.number = value;
  NotifyParametersChanged();
}

std::int64_t TParameters::GetInt(std::string_view name) const { return RoundHalfEven(GetFloat(name)); }

bool TParameters::GetBool(std::string_view name) const {
  int i = Find(name);
  if (i < 0) return false;
  const TEntry& e = entries_[static_cast<size_t>(i)];
  if (!e.param) return e.kind == ParamKind::Bool && e.flag;
  auto* p = e.param->AsBool();
  return p ? p->GetValue() : false;
}

void TParameters::SetBool(std::string_view name, bool value) {
  bool added = false;
  TEntry& e = Slot(name, added);
  if (!added && StoreInPlace<TBoolKind>(e, value)) return;
  MakeInline(e, ParamKind::Bool);
  e.flag = value;
  NotifyParametersChanged();
}

std::string TParameters::GetString(std::string_view name) const {
  int i = Find(name);
  if (i < 0) return {};
  const TEntry& e = entries_[static_cast<size_t>(i)];
  if (!e.param) return e.kind == ParamKind::String ? e.text : std::string();
  auto* p = e.param->AsString();
  return p ? p->GetValue() : std::string();
}

void TParameters::SetString(std::string_view name, const std::string& value) {
  bool added = false;
  TEntry& e = Slot(name, added);
  // The interned name outlives any rewrite of the entries the reaction to the change may make; the entry may not.
  const std::string& interned = *e.name;
  if (added || !StoreInPlace<TStringKind>(e, value)) {
    MakeInline(e, ParamKind::String);
    e.text = value;
    NotifyParametersChanged();
  }
  ParamValueSet(interned);
}

void TParameters::ParamValueSet(const std::string&) {}

Ptr<IDoubleMatrix> TParameters::GetMatrix(std::string_view name) const {
  auto p = QueryParam<IMatrixParameter>(name);
  return p ? p->GetMatrix() : nullptr;
}

Ptr<IObject> TParameters::GetInterfaceObject(std::string_view name) const {
  auto p = QueryParam<IInterfaceParameter>(name);
  return p ? p->GetValue() : nullptr;
}

std::string TParameters::GetShortCaptionOf(std::string_view name) const {
  int i = Find(name);
  if (i < 0) return {};
  const TEntry& e = entries_[static_cast<size_t>(i)];
  return e.param ? e.param->GetShortCaption() : std::string(); // an inline value has no caption yet
}

void TParameters::SetShortCaptionOf(std::string_view name, const std::string& text) {
  if (auto p = GetParam(name)) p->SetShortCaption(text);
}

void TParameters::AddParam(const std::string& name, const Ptr<IParameter>& param, const Ptr<IParamEdit>& editor,
                           bool readOnly) {
  if (!param) throw std::invalid_argument("AddParam: no parameter given for \"" + name + "\"");
  bool added = false;
  TEntry& e = Slot(name, added);
  if (e.param != param) {
    Detach(e.param);
    e.param = param;
  }
  param->SetEditor(editor);
  param->SetReadOnly(readOnly);
  if (Ptr<IParamEdit> edit = param->GetEditor()) edit->Notifier().Subscribe(peValueEdited, this);
  NotifyParametersChanged();
}

void TParameters::DeleteParam(std::string_view name) {
  int i = Find(name);
  if (i < 0) return;
  Detach(entries_[static_cast<size_t>(i)].param);
  entries_.erase(entries_.begin() + i);
  NotifyParametersChanged();
}

Ptr<IParameter> TParameters::GetParamAt(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("parameter index " + std::to_string(index));
  return Materialise(entries_[static_cast<size_t>(index)]);
}

std::string TParameters::GetNameAt(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("parameter index " + std::to_string(index));
  return *entries_[static_cast<size_t>(index)].name;
}

void TParameters::NotifyParametersChanged() {
  if (!notifier_.HasListeners()) return; // every atom and bond adds its values with nobody listening
  for (IParamObserver* o : notifier_.CollectListeners<IParamObserver>(peParametersChanged)) o->ParametersChanged();
}

void TParameters::Notify(int eventCode, IObject* sender, const std::any&) {
  if (eventCode != peValueEdited) return;
  auto* edit = dynamic_cast<IParamEdit*>(sender);
  if (!edit) return;
  IParameter* edited = edit->GetParam();
  for (auto& e : entries_)
    if (e.param && e.param.get() == edited) {
      // The entry is held and named by copies: the reaction below may rewrite entries.
      const std::string& name = *e.name;
      const Ptr<IParameter> hold = e.param;
      ParamValueSet(name);
      for (IParamObserver* o : notifier_.CollectListeners<IParamObserver>(peParametersChanged))
        o->ParameterChanged(hold.get());
      return;
    }
}

void TParameters::AssignParams(const IParamList& source) {
  // Inline values of another container are copied as values: asking for their objects would make one each.
  if (const auto* from = dynamic_cast<const TParameters*>(&source); from && from != this) {
    for (const TEntry& s : from->entries_) {
      if (s.param) {
        AddParam(*s.name, s.param->Clone(), nullptr, true);
        continue;
      }
      bool added = false;
      TEntry& e = Slot(*s.name, added);
      MakeInline(e, s.kind);
      e.flag = s.flag;
      e.number = s.number;
      e.text = s.text;
      NotifyParametersChanged();
    }
    return;
  }
  for (int i = 0; i < source.Count(); ++i) {
    Ptr<IParameter> p = source.GetParamAt(i);
    if (p) AddParam(source.GetNameAt(i), p->Clone(), nullptr, true);
  }
}

Ptr<TParameters> SharedDataSpace() {
  static Ptr<TParameters> space = std::make_shared<TParameters>();
  return space;
}

} // namespace corvatin
