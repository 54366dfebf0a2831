#pragma once
// The SMILES grammar extensions of classification files: any symbol (user symbols, "*"), the "~" bond (any
// multiple bond), bonds written without a symbol (any bond), hybridisation marks "&sp", "&sp2", "&sp3" inside
// brackets, and the main bond of a bond-file fragment. The fragment text ends wherever the SMILES ends; the file
// reader checks what follows.

#include "chem/smiles.h"

namespace corvatin {

class TClassificationHook : public TSMILESHook {
public:
  /// elementKind 1 (bonds) records each fragment's main bond.
  explicit TClassificationHook(int elementKind) : bondFile_(elementKind == 1) {}

  void CheckElement(const std::string& symbol, bool& accept) override;
  void CheckBondChar(char ch, bool& accept) override;
  void BondCreated(IMolecule& molecule, IBond* bond, int depth, char ch) override;
  void AtomExtraRead(IMolecule& molecule, IAtom* atom, const std::string& extra) override;
  void ReadAtomExtra(IParser& tokenizer, std::string& extra) override;
  void AtEnd(IParser& tokenizer, bool& accept) override;

private:
  bool bondFile_;
};

} // namespace corvatin
