#include "classify/loader.h"

#include "chem/elements.h"
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "classify/hook.h"
#include "core/errors.h"
#include "core/numtext.h"
#include "core/paths.h"

#include <algorithm>
#include <cmath>

namespace corvatin {

namespace {

bool IsElementOrWildcard(const std::string& symbol) { return symbol == "*" || IsElementSymbol(symbol); }

class TFileReader {
public:
  TFileReader(IParser& parser, TClassificationFile& file)
      : p_(parser), file_(file), hook_(file.elementKind), smiles_(false, &hook_, false) {}

  void Read(const std::vector<std::string>& givenNames) {
    ReadHeader(givenNames);
    for (SkipWhiteAndComments(); !p_.AtEnd(); SkipWhiteAndComments()) ReadDefinition();
  }

private:
  [[noreturn]] void Fail(const std::string& text) const {
    throw EClassifyError("Error at line " + std::to_string(p_.GetLineNumber()) + " : \"" + text + "\"");
  }

  /// The rest of the line, its end left unread.
  std::string RestOfLine() {
    std::string text;
    std::string ch;
    while (!p_.AtEndOfLine() && p_.ReadChars(ch, 1)) text += ch;
    return text;
  }

  /// White space and whole comment lines. Files open with a comment citing their sources, so comments may come
  /// before and between the header lines as well as among the definitions.
  void SkipWhiteAndComments() {
    p_.SkipWhite();
    while (p_.CheckString("//")) {
      p_.SkipLine();
      p_.SkipWhite();
    }
  }

  void ReadHeader(const std::vector<std::string>& givenNames) {
    SkipWhiteAndComments();
    if (p_.CheckString("Property")) {
      if (!givenNames.empty()) {
        p_.SkipLine();
        p_.SkipWhite();
        file_.propertyNames = givenNames;
      } else {
        p_.SkipBlanks();
        if (!p_.CheckString("=")) Fail("\"=\" expected after \"Property\"");
        p_.SkipBlanks();
        // Each name runs up to and including the next ";" on its line, or to the line end; a ";" at the end of a
        // line continues the list on the next line.
        bool more = true;
        while (more) {
          std::string name;
          more = p_.ReadUntil(";", name, false);
          if (name.empty()) Fail("Empty property");
          file_.propertyNames.push_back(name);
          p_.SkipWhite();
        }
      }
    } else {
      if (givenNames.empty()) Fail("\"Property = \" expected");
      file_.propertyNames = givenNames;
    }
    SkipWhiteAndComments();
    if (p_.CheckString("Class")) {
      p_.SkipBlanks();
      if (!p_.CheckString("=")) Fail("\"=\" expected after \"Class\"");
      p_.SkipBlanks();
      file_.className = RestOfLine();
      if (file_.className.empty()) Fail("Empty class");
      p_.SkipWhite();
    }
  }

  /// One SMILES from the position; a syntax error becomes a file error on this line.
  Ptr<IMolecule> ReadSmiles() {
    Ptr<IMolecule> molecule = NewMolecule();
    try {
      smiles_.Parse(p_, *molecule);
    } catch (const ESMILESError& e) {
      Fail(e.what());
    } catch (const EChemError& e) {
      Fail(e.what());
    }
    return molecule;
  }

  void ReadDefinition() {
    p_.Mark();
    Ptr<IMolecule> fragment = ReadSmiles();
    const std::string text = p_.GetMarkedText();
    if (fragment->VertexCount() == 0 || text.empty()) Fail("SMILES code expected");
    p_.SkipBlanks();
    if (!p_.CheckString("=")) Fail("\"=\" expected after " + text);

    std::unique_ptr<TGraphData> record;
    std::vector<std::string> values;
    for (;;) {
      p_.SkipBlanks();
      std::string value;
      if (p_.ReadFloatText(value)) {
        // a number: [sign] digits ["." digits] or [sign] "." digits
      } else if (p_.CheckString("\"")) {
        // A quoted text ends at the next quote on the same line; it never reads into the next line.
        if (!p_.ReadUntil("\"", value, false)) Fail("\" expected before end of line");
        value.pop_back();
      } else {
        if (!values.empty()) Fail("Value expected");
        break;
      }
      if (!record) record = Register(*fragment, text);
      values.push_back(std::move(value));
      p_.SkipBlanks();
      if (!p_.CheckString(";")) break;
    }

    if (record) {
      if (values.size() < file_.propertyNames.size()) Fail("Missing values");
      if (values.size() > file_.propertyNames.size()) Fail("Too much values defined");
      if (file_.valueKind == vkNumber) {
        // Converted once here, so that a text that is no number is reported with its line instead of failing
        // every later classification.
        for (const std::string& value : values) {
          double number = 0;
          try {
            number = TextToFloat(value);
          } catch (const std::exception&) {
            Fail("Numeric value expected");
          }
          if (!std::isfinite(number)) Fail("Numeric value expected");
          record->numbers.push_back(number);
        }
      }
      record->values = std::move(values);
      file_.Insert(std::move(fragment), std::move(record));
    } else {
      ReadSymbolDefinition(*fragment);
    }

    p_.SkipBlanks();
    if (p_.CheckString("//"))
      p_.SkipLine();
    else if (!p_.AtEndOfLine())
      Fail("End of line expected after definition");
    p_.SkipWhite();
  }

  /// S = alternative, alternative, ...
  void ReadSymbolDefinition(IMolecule& left) {
    if (left.VertexCount() != 1) Fail("Numeric value expected after \"=\"");
    const std::string name = left.GetAtom(0)->GetSymbol();
    if (file_.symbols.Find(name)) Fail("Duplicated symbol");
    TSymbolData& symbol = file_.symbols.Add(name);
    do {
      Ptr<IMolecule> alternative = ReadSmiles();
      if (alternative->VertexCount() == 0) Fail("SMILES code expected");
      AddAlternative(symbol, std::move(alternative));
      p_.SkipBlanks();
    } while (p_.CheckString(","));
  }

  void AddAlternative(TSymbolData& symbol, Ptr<IMolecule> alternative) {
    const int atoms = alternative->VertexCount();
    if (!(atoms == 1 || (atoms == 2 && alternative->EdgeCount() == 1))) Fail("Invalid symbol definition");
    for (int i = 0; i < atoms; ++i) {
      const std::string s = alternative->GetAtom(i)->GetSymbol();
      if (IsElementOrWildcard(s)) continue;
      const TSymbolData* other = file_.symbols.Find(s);
      if (!other) Fail("Unknown symbol");
      if (other->kind != skOneAtom) Fail("Invalid symbol definition");
    }
    // A two-atom symbol has exactly one alternative; a one-atom symbol takes any number of further alternatives
    // of one or two atoms, of which only the first atom takes part in matching.
    if (symbol.kind == skUndefined)
      symbol.kind = atoms;
    else if (symbol.kind != skOneAtom)
      Fail("Invalid symbol definition");
    symbol.alternatives.push_back(std::move(alternative));
  }

  /// Checks the fragment's symbols, expands two-atom symbols and takes the specificity key.
  std::unique_ptr<TGraphData> Register(IMolecule& fragment, const std::string& text) {
    if (file_.elementKind == ekBonds && fragment.EdgeCount() == 0) Fail("");
    const int written = fragment.VertexCount();
    for (int i = 0; i < written; ++i) {
      IAtom* atom = fragment.GetAtom(i);
      const std::string s = atom->GetSymbol();
      if (IsElementOrWildcard(s)) continue;
      const TSymbolData* symbol = file_.symbols.Find(s);
      if (!symbol || symbol->kind == skUndefined) Fail("Invalid symbol in fragment definition");
      if (symbol->kind != skTwoAtoms) continue; // one-atom symbols are resolved while matching
      const IMolecule& alternative = *symbol->alternatives.front();
      atom->SetSymbol(alternative.GetAtom(0)->GetSymbol());
      IAtom* added = fragment.AddAtom();
      added->SetSymbol(alternative.GetAtom(1)->GetSymbol());
      IBond* bond = fragment.ConnectAtoms(atom, added);
      const IBond* model = alternative.GetBond(0);
      bond->SetBondType(model->GetBondType());
      if (model->HasParam(kParamBondSpecialKind))
        bond->SetString(kParamBondSpecialKind, model->GetString(kParamBondSpecialKind));
    }
    auto record = std::make_unique<TGraphData>();
    record->smiles = text;
    record->atomCount = fragment.VertexCount();
    for (int i = 0; i < written; ++i)
      if (fragment.GetAtom(i)->GetSymbol() != "*") ++record->specificAtomCount;
    const int bonds = std::min(written, fragment.EdgeCount());
    for (int i = 0; i < bonds; ++i)
      if (fragment.GetBond(i)->GetBondType() != bkUnspecified) ++record->specificBondCount;
    return record;
  }

  IParser& p_;
  TClassificationFile& file_;
  TClassificationHook hook_;
  TSMILESParser smiles_;
};

} // namespace

TClassificationFile ReadClassificationFile(IParser& parser, const std::vector<std::string>& givenNames,
                                           int elementKind, std::uint8_t valueKind) {
  TClassificationFile file;
  file.elementKind = elementKind;
  file.valueKind = valueKind;
  TFileReader(parser, file).Read(givenNames);
  return file;
}

std::string ClassificationFilePath(const std::string& fileName) {
  if (!fileName.empty() && fileName.front() == '/') return fileName;
  return DataFolder() + fileName;
}

TClassificationFile LoadClassificationFile(const std::string& fileName, const std::vector<std::string>& givenNames,
                                           int elementKind, std::uint8_t valueKind) {
  Ptr<TParser> parser = NewFileParser(ClassificationFilePath(fileName));
  return ReadClassificationFile(*parser, givenNames, elementKind, valueKind);
}

} // namespace corvatin
