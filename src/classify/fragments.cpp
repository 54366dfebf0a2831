#include "classify/fragments.h"

#include <tuple>

namespace corvatin {

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
} // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool KeyAtLeast(const TGraphData& a, const TGraphData& b) {
  return std::tie(a.atomCount, a.specificAtomCount, a.specificBondCount) >=
         std::tie(b.atomCount, b.specificAtomCount, b.specificBondCount);
}

size_t SortedInsertIndex(const std::vector<std::unique_ptr<TGraphData>>& records, const TGraphData& record) {
  for (size_t i = records.size(); i-- > 0;)
    if (KeyAtLeast(*records[i], record)) return i + 1;
  return 0;
}

TSymbolData* TSymbolTable::Find(std::string_view name) {
  for (auto& [key, data] : entries_)
    if (SameTextIgnoringCase(key, name)) return data.get();
  return nullptr;
}

const TSymbolData* TSymbolTable::Find(std::string_view name) const {
  return const_cast<TSymbolTable*>(this)->Find(name);
}

TSymbolData& TSymbolTable::Add(const std::string& name) {
  entries_.emplace_back(name, std::make_unique<TSymbolData>());
  return *entries_.back().second;
}

size_t TClassificationFile::Insert(Ptr<IMolecule> fragment, std::unique_ptr<TGraphData> record) {
  const size_t at = SortedInsertIndex(records, *record);
  records.insert(records.begin() + static_cast<std::ptrdiff_t>(at), std::move(record));
  fragments.insert(fragments.begin() + static_cast<std::ptrdiff_t>(at), std::move(fragment));
  return at;
}

} // namespace corvatin
