#pragma once
// Reading a classification definition file: a "Property" and an optional "Class" header, then one fragment or
// user-symbol definition per line. Every error raises EClassifyError `Error at line %d : "%s"`; loading stops at
// the first one.
//
//   // comment line
//   Property = Weight A; Weight B
//   Class = Atom class
//   X = F, Cl, Br, I            one-atom user symbol with four alternatives
//   [C&sp3]X = 0.12; 1.5        fragment (atom 0 is the classified atom) and its values
//   C(=O)O = -0.3; .25          // trailing comment

#include "classify/fragments.h"
#include "core/parser.h"

#include <string>
#include <vector>

namespace corvatin {

/// Fragment parameters the reader sets: the hybridisation mark of a bracket atom ("&sp", "&sp2", "&sp3" give
/// 1, 2, 3), the "~" mark of a bond (any multiple bond), and the main bond of a bond-file fragment.
inline constexpr const char* kParamAtomSpecialHyb = "paramAtomSpecialHyb";
inline constexpr const char* kParamBondSpecialKind = "paramBondSpecialKind";
inline constexpr const char* kParamMainBond = "paramMainBond";

/// Reads a classification file from the tokenizer's position. givenNames, when not empty, are the property
/// names (a "Property" line is then skipped); elementKind 0 classifies atoms, 1 bonds; valueKind 1 numbers,
/// 3 strings. Raises EClassifyError.
TClassificationFile ReadClassificationFile(IParser& parser, const std::vector<std::string>& givenNames,
                                           int elementKind, std::uint8_t valueKind);

/// The full name of a classification file: an absolute name as it is, any other relative to DataFolder().
std::string ClassificationFilePath(const std::string& fileName);

/// Opens and reads a classification file (ClassificationFilePath); a file that cannot be opened raises the
/// stream's EInputError.
TClassificationFile LoadClassificationFile(const std::string& fileName, const std::vector<std::string>& givenNames,
                                           int elementKind, std::uint8_t valueKind);

} // namespace corvatin
