#pragma once
// The reader of MOPAC and AMPAC output files (".out", ".oam"): the molecule with its final geometry, and the
// results of the semi-empirical calculation that the topographic and quantum-chemical descriptors need — net
// atomic charges, electron densities, bond orders, the number of filled levels, the orbital energies and the
// eigenvector coefficients per atom. The sections are found by their headings; both the layout of older MOPAC
// and AMPAC versions and that of MOPAC 22 (Stewart Computational Chemistry, 2022) are read.

#include "classify/classification.h"
#include "inputs/file_input.h"

#include <functional>
#include <string>

namespace corvatin {

inline constexpr const char* kMOPACInputName = "MOPAC Input";
inline constexpr const char* kMOPACFilter = "MOPAC - AMPAC files (*.out, *.oam)|*.out;*.oam";
inline constexpr const char* kMOPACDefaultFile = "Input.out";
inline constexpr const char* kMOPACHeading = "Reading MOPAC file...";

/// The values the reader writes.
inline constexpr const char* kParamNetAtomicCharge = "Net atomic charge";       ///< atom, number
inline constexpr const char* kParamElectronDensity = "Electron density";        ///< atom, number
inline constexpr const char* kParamBondOrder = "Bond order";                    ///< bond, number
inline constexpr const char* kParamFilledLevels = "Filled Levels";              ///< molecule, number
/// Atom, matrix: one row per atomic orbital in printed order (s first), one column per molecular orbital.
inline constexpr const char* kParamEigenvectors = "Eigenvectors";
/// Molecule, matrix: one row, one column per molecular orbital, the orbital energies (eV). Spelled so.
inline constexpr const char* kParamEigenvalues = "Eigenvectors Coeficients";

/// Logged as a warning when the eigenvectors printed are not all of them (MOPAC's VECTORS prints only the
/// roots around the HOMO-LUMO gap): "%d" the first and the last root printed, then the number of orbitals.
inline constexpr const char* kMsgPartialEigenvectors =
    "Eigenvectors not used: the file lists roots %d to %d of %d (run MOPAC with the keyword ALLVEC to print them "
    "all)";

/// Details of the file-and-line message for what the file names wrongly (a missing header word, number or
/// line end has none).
namespace mopac_detail {
inline constexpr const char* kAtomRange = "Atom number out of range";
inline constexpr const char* kAtomSequence = "Atom number out of sequence";
inline constexpr const char* kRootSequence = "Root number out of sequence";
inline constexpr const char* kCoordinateRange = "Coordinate out of range";
} // namespace mopac_detail

/// What the reader reports while it reads.
struct MopacReadHooks {
  std::function<void(const std::string&)> warning; ///< a warning for the log
  std::function<void()> progress;                 ///< called at every section found
};

/// Reads a whole MOPAC or AMPAC output from the tokenizer into molecule (cleared first), as TMOPACInput does in
/// one pass, and leaves the position at the end of the text: atoms, coordinates (the last section wins),
/// charges, electron densities, bond orders, filled levels and eigenvectors; bonds from distances; aromaticity;
/// the view fit; hydrogens marked complete. A broken section raises EInputError `Error in file "%s" at line %d`
/// with the section's true line.
void ReadMopacOutput(IParser& tokenizer, IMolecule& molecule, const std::string& fileName,
                     const MopacReadHooks& hooks = {});

/// The MOPAC output reader block. It answers IClassification for the values it writes, so that they can be
/// chosen as weights; its Classify does nothing (the values come from the file).
class TMOPACInput : public TParserInput, public virtual IClassification {
public:
  TMOPACInput();

  std::string GetName() const override { return kMOPACInputName; }
  /// Reads the file's structure; a broken file or one without atoms is an ERecordError.
  void Execute(bool& more) override;
  /// The name of MOPAC or AMPAC, or a coordinates or charges section, in the head.
  bool LooksLikeFormat(std::string_view head, bool whole) const override;
  /// One structure per file.
  TRecordLayout RecordLayout(const std::string&) const override { return TRecordLayout::WholeFile; }

  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulReader; }
  /// 2 for atoms, 1 for bonds, 0 for the molecule and any other kind.
  int GetValueCount(int kind) const override;
  /// Atoms: "Net atomic charge", "Electron density"; bonds: "Bond order". std::out_of_range otherwise.
  std::string GetValueName(int kind, int index) const override;
};

} // namespace corvatin
