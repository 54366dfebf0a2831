#include "classify/hook.h"

#include "classify/loader.h"

namespace corvatin {

void TClassificationHook::CheckElement(const std::string& /*symbol*/, bool& accept) {
  // User symbols are checked when the fragment is registered, where the line number is known.
  accept = true;
}

void TClassificationHook::CheckBondChar(char ch, bool& accept) {
  if (ch == '~') accept = true;
}

void TClassificationHook::BondCreated(IMolecule& molecule, IBond* bond, int depth, char ch) {
  if (ch == ' ')
    bond->SetBondType(bkUnspecified);
  else if (ch == '~')
    bond->SetString(kParamBondSpecialKind, "~");
  // The first main-chain bond whose index is not 0, or bond 0 when there is none: the mark reads 0 until a
  // later main-chain bond sets it (in CC=O the double bond, in C(C)C the second bond).
  if (bondFile_ && depth == 1 && molecule.GetFloat(kParamMainBond) == 0)
    molecule.SetFloat(kParamMainBond, bond->GetIndex());
}

void TClassificationHook::AtomExtraRead(IMolecule& /*molecule*/, IAtom* atom, const std::string& extra) {
  double code = 3;
  if (extra == "sp")
    code = 1;
  else if (extra == "sp2")
    code = 2;
  atom->SetFloat(kParamAtomSpecialHyb, code);
}

void TClassificationHook::ReadAtomExtra(IParser& tokenizer, std::string& extra) {
  if (!tokenizer.CheckString("&sp")) return;
  std::string digit;
  tokenizer.ReadDigit(digit);
  extra = "sp" + digit;
}

void TClassificationHook::AtEnd(IParser& /*tokenizer*/, bool& accept) { accept = true; }

} // namespace corvatin
