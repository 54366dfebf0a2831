// The check that a block's values are written by a block before it: a name that nobody writes reads as 0 on
// every structure, and a run would write those zeros without a word.
#include "classify/classification.h"

#include "core/errors.h"

#include <algorithm>

namespace corvatin {

void RequireValueNames(const std::string& blockName, int kind, const std::vector<std::string>& names,
                       const std::vector<Ptr<IBlock>>& before) {
  std::vector<std::string> offered;
  for (const auto& block : before)
    if (const auto source = std::dynamic_pointer_cast<IClassification>(block))
      for (int i = 0; i < source->GetValueCount(kind); ++i) offered.push_back(source->GetValueName(kind, i));
  static const char* const kKinds[] = {"atom", "bond", "molecule"};
  for (const std::string& name : names)
    if (std::find(offered.begin(), offered.end(), name) == offered.end())
      throw EFatalError("Block \"" + blockName + "\" reads the " + kKinds[kind >= 0 && kind < 3 ? kind : 2] +
                        " value \"" + name + "\", which no block before it provides (a classification file that " +
                        "did not load, or a misspelt name)");
}

} // namespace corvatin
