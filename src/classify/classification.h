#pragma once
// The classification interface: a block that attaches named values to the atoms, the bonds or the molecule of a
// structure, and lists the names of the values it attaches so that descriptors can use them as weights.

#include "blocks/block.h"
#include "graph/graph.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvatin {

/// The element kinds values attach to.
enum ElementKind : int { ekAtoms = 0, ekBonds = 1, ekMolecule = 2 };

/// How a classification file's values are stored: as number parameters or as string parameters (any other code
/// stores nothing).
enum ValueKind : std::uint8_t { vkNumber = 1, vkString = 3 };

/// Update levels: when the classifier recomputes a classification's values (see TClassifier).
enum UpdateLevel : std::uint8_t { ulReader = 1, ulComputed = 2, ulStandard = 3 };

/// A block that classifies a structure and names the values it attaches by element kind.
class IClassification : public virtual IBlock {
public:
  /// Computes the values for structure (a molecule) and writes them onto its atoms, bonds or the molecule.
  virtual void Classify(const Ptr<ISubGraph>& structure) = 0;
  /// 3 for the standard and bond-property blocks, 2 for files and charges, 1 for readers.
  virtual std::uint8_t GetUpdateLevel() const = 0;
  /// The number of value names for element kind (0 atoms, 1 bonds, 2 molecule); 0 for other kinds.
  virtual int GetValueCount(int kind) const = 0;
  /// The value name at index for element kind.
  virtual std::string GetValueName(int kind, int index) const = 0;
};

/// For IChainCheck: throws EFatalError naming blockName and the first of names (values of element kind) that no
/// IClassification among before lists for that kind.
void RequireValueNames(const std::string& blockName, int kind, const std::vector<std::string>& names,
                       const std::vector<Ptr<IBlock>>& before);

} // namespace corvatin
