#pragma once
// The quantum-chemical descriptors block: from the results of a semi-empirical calculation read from MOPAC output,
// the HOMO and LUMO energies, each atom's electrophilic and nucleophilic superdelocalizabilities and its
// delocalizability at three reference energies, each bond's local dipole character with their mean, and the
// polarization (the mean absolute net atomic charge).

#include "blocks/block.h"
#include "classify/classification.h"

#include <cstdint>
#include <string>

namespace corvatin {

inline constexpr const char* kResultHomoEnergy = "Homo Energy";
inline constexpr const char* kResultLumoEnergy = "Lumo Energy";
inline constexpr const char* kResultSuperdelocalizability = "Superdelocalizability"; ///< atom, 1 x 6 matrix
inline constexpr const char* kResultDelocalizability = "Delocalizability";           ///< atom, 1 x 3 matrix
inline constexpr const char* kResultLocalDipoleCharacter = "Local dipole character";   ///< bond, number
inline constexpr const char* kResultLocalDipoleIndex = "Local dipole index";
inline constexpr const char* kResultPolarization = "Polarization";

/// Logged (as warnings) when inputs are missing; none ends the run.
inline constexpr const char* kMsgOrbitalsMissing =
    "Eigenvectors parameters missing for energy and delocalizability calculation";
inline constexpr const char* kMsgBondChargesMissing =
    "Net atomic charges missing for bond local dipole characters calculation";
inline constexpr const char* kMsgAtomChargesMissing = "Net atomic charges missing for polarization calculation";

/// "Quantum-Chemical descriptors": no parameters, one port.
class TMolecularDescriptors : public TBlock, public virtual IClassification {
public:
  TMolecularDescriptors() : TBlock(1) {}

  std::string GetName() const override { return "Quantum-Chemical descriptors"; }
  /// Computes the descriptors of the published structure (nothing when none is published).
  void Execute(bool& more) override;

  /// Orbital part, from "Filled Levels" F and the one-row "Eigenvectors Coeficients" E of the structure and each
  /// atom's "Eigenvectors" C (cut or padded with zero rows to exactly 4 rows in place: s, two sigma p, the pi p):
  /// "Homo Energy" = E(0, F-1), "Lumo Energy" = E(0, F); per atom "Superdelocalizability" (ES sigma, pi, total,
  /// NS sigma, pi, total) and "Delocalizability" (at -10, -5 and 0 eV), summed over the orbitals both C and E
  /// have. Warning and no orbital values when F <= 0 or E is missing or has no more than F columns.
  /// Dipole part, from each atom's "Net atomic charge": per bond "Local dipole character" |q1 - q2| and its mean
  /// "Local dipole index"; "Polarization", the mean |q| over the atoms; a warning instead of the mean when a
  /// charge is missing. Values of an earlier run are removed first. EChemError when the structure cannot carry
  /// parameters.
  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulReader; }
  /// 2 for atoms, 1 for bonds, 4 for the molecule, 0 for any other kind.
  int GetValueCount(int kind) const override;
  /// Atoms: "Delocalizability", "Superdelocalizability"; bonds: "Local dipole character"; molecule: "Homo Energy",
  /// "Lumo Energy", "Local dipole index", "Polarization". std::out_of_range outside the lists.
  std::string GetValueName(int kind, int index) const override;
};

} // namespace corvatin
