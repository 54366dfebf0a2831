#pragma once
// The SMILES parser (J. Chem. Inf. Comput. Sci. 28 (1988) 31): turns one SMILES line into the atoms
// and bonds of a molecule. Used by the SMILES entry box and the SMILES file reader, which want complete molecules
// with aromatic bonds and explicit hydrogens, and by the SMILES classification, which parses fragment patterns
// and extends the grammar through a hook. Stereo marks are read and discarded; isotopes become atomic weights.

#include "chem/molecule.h"
#include "core/parser.h"

#include <string>
#include <string_view>

namespace corvatin {

/// Extension points of the grammar, in their classic slot order. A hook that wants the default behaviour
/// leaves the out argument as it came; TSMILESHook does exactly that for every operation.
class ISMILESHook : public virtual IObject {
public:
  /// After the element-table test of symbol (accept arrives as its result).
  virtual void CheckElement(const std::string& symbol, bool& accept) = 0;
  /// After the built-in test of a one-character bond text.
  virtual void CheckBondChar(char ch, bool& accept) = 0;
  /// After every bond is created and typed. depth: 1 for the main chain, one more per branch level, 0 for
  /// bonds to hydrogens made from a bracket count; ch: the bond character, ' ' when none was written.
  virtual void BondCreated(IMolecule& molecule, IBond* bond, int depth, char ch) = 0;
  /// After an atom is created, when ReadAtomExtra delivered a non-empty text.
  virtual void AtomExtraRead(IMolecule& molecule, IAtom* atom, const std::string& extra) = 0;
  /// After every atom; written is 1 for atoms written in the text, 0 for hydrogens made from a bracket count.
  virtual void AtomCreated(IMolecule& molecule, IAtom* atom, int written) = 0;
  /// Inside brackets, right after the symbol: may consume characters and return a text of its own.
  virtual void ReadAtomExtra(IParser& tokenizer, std::string& extra) = 0;
  /// Asked when the next character is not "(": accepting opens a branch of the hook's own syntax.
  virtual void OpenBranch(IParser& tokenizer, bool& accept) = 0;
  /// Asked when the next character is not ")" at the end of a branch: accepting closes it.
  virtual void CloseBranch(IParser& tokenizer, bool& accept) = 0;
  /// The final test; accept arrives true when the tokenizer is at the end of the line or of the text.
  virtual void AtEnd(IParser& tokenizer, bool& accept) = 0;
};

/// A hook with the default behaviour everywhere; derive and override what you need.
class TSMILESHook : public virtual ISMILESHook {
public:
  void CheckElement(const std::string&, bool&) override {}
  void CheckBondChar(char, bool&) override {}
  void BondCreated(IMolecule&, IBond*, int, char) override {}
  void AtomExtraRead(IMolecule&, IAtom*, const std::string&) override {}
  void AtomCreated(IMolecule&, IAtom*, int) override {}
  void ReadAtomExtra(IParser&, std::string&) override {}
  void OpenBranch(IParser&, bool&) override {}
  void CloseBranch(IParser&, bool&) override {}
  void AtEnd(IParser&, bool&) override {}
};

/// The parser interface.
class ISMILESParser : public virtual IObject {
public:
  /// Clears molecule and reads one SMILES from the tokenizer's position to the end of the line. On a syntax
  /// error the molecule is cleared and ESMILESError is raised, its message naming the position (characters
  /// consumed since the start). A ring system too large for perception raises EChemError.
  virtual void Parse(IParser& tokenizer, IMolecule& molecule) = 0;
};

/// The parser. organicMode: lower-case (aromatic) symbols are allowed and two-letter symbols are split the
/// organic-subset way ("Sc" outside brackets is sulfur and an aromatic carbon). hook: optional, plain link (it
/// must outlive the parser; typically it owns it). complete: aromatic rings, unspecified bonds and implicit
/// hydrogens are completed after a successful parse.
class TSMILESParser : public virtual ISMILESParser {
public:
  TSMILESParser(bool organicMode, ISMILESHook* hook, bool complete);
  void Parse(IParser& tokenizer, IMolecule& molecule) override;

  bool OrganicMode() const { return organicMode_; }
  bool Complete() const { return complete_; }

private:
  bool organicMode_;
  ISMILESHook* hook_;
  bool complete_;
};

/// A new parser (see TSMILESParser).
Ptr<ISMILESParser> NewSMILESParser(bool organicMode, ISMILESHook* hook, bool complete);

/// Parses smiles (one line) into molecule in organic mode with completion, as the SMILES entry box does.
void ParseSMILES(std::string_view smiles, IMolecule& molecule);

/// Upper bound on the hydrogens one bracket atom may carry ("[CH4]"); a larger count is a syntax error rather
/// than a request for millions of atoms.
inline constexpr int kMaxBracketHydrogens = 99;

} // namespace corvatin
