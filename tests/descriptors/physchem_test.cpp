// Physicochemical descriptors: sums of the atom values the classification blocks leave, over the heavy atoms
// bonded to another heavy atom, and the molecular weight over every atom.

#include "chem/elements.h"
#include "chem/molecule.h"
#include "descriptors/physchem.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

using test::FromSmiles;

void Summarise(const Ptr<IMolecule>& m) {
  TPhysicoChemProperties block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
}

TEST(PhysicoChemProperties, SumsHeavyAtomValuesAndLeavesHydrogensToTheWeight) {
  Ptr<IMolecule> m = FromSmiles("CCO");
  for (int i = 0; i < m->VertexCount(); ++i) {
    IAtom* a = m->GetAtom(i);
    // Hydrogens carry values too; they must not be summed.
    const double value = a->GetSymbol() == "C" ? 0.5 : a->GetSymbol() == "O" ? -1.25 : 100.0;
    a->SetFloat("Hydrophobicity", value);
    a->SetFloat("Polar surface", value * 2);
    a->SetFloat("Polarizability", value * 3);
    a->SetFloat("Van der Waals radius", value * 4);
  }
  Summarise(m);
  EXPECT_DOUBLE_EQ(m->GetFloat("Hydrophobicity"), 0.5 + 0.5 - 1.25);
  EXPECT_DOUBLE_EQ(m->GetFloat("Polar surface area"), 2 * (0.5 + 0.5 - 1.25));
  EXPECT_DOUBLE_EQ(m->GetFloat("Molecular polarizability"), 3 * (0.5 + 0.5 - 1.25));
  EXPECT_DOUBLE_EQ(m->GetFloat("Van der Waals radius summatory"), 4 * (0.5 + 0.5 - 1.25));
  long double weight = 0;
  for (int i = 0; i < m->VertexCount(); ++i) weight += m->GetAtom(i)->GetAtomicWeight();
  EXPECT_DOUBLE_EQ(m->GetFloat("Molecular weight"), static_cast<double>(weight));
  EXPECT_EQ(m->GetShortCaptionOf("Hydrophobicity"), "logP");
  EXPECT_EQ(m->GetShortCaptionOf("Polar surface area"), "");
}

TEST(PhysicoChemProperties, MethanesOnlyHeavyAtomIsOutsideTheGraphButWeighs) {
  Ptr<IMolecule> m = FromSmiles("C");
  m->GetAtom(0)->SetFloat("Hydrophobicity", 0.3);
  Summarise(m);
  EXPECT_EQ(m->GetFloat("Hydrophobicity"), 0.0);
  EXPECT_EQ(m->GetFloat("Polar surface area"), 0.0);
  EXPECT_EQ(m->GetFloat("Molecular polarizability"), 0.0);
  EXPECT_EQ(m->GetFloat("Van der Waals radius summatory"), 0.0);
  // 12.011 + 4 x 1.008 (IUPAC conventional weights of the element table)
  EXPECT_NEAR(m->GetFloat("Molecular weight"), double{AtomicWeight(6)} + 4.0 * AtomicWeight(1), 1e-12);
}

TEST(PhysicoChemProperties, AnUnclassifiedMoleculeHasOnlyItsWeight) {
  Ptr<IMolecule> m = FromSmiles("c1ccccc1O");
  Summarise(m);
  EXPECT_EQ(m->GetFloat("Hydrophobicity"), 0.0);
  EXPECT_EQ(m->GetFloat("Van der Waals radius summatory"), 0.0);
  EXPECT_NEAR(m->GetFloat("Molecular weight"), 94.11, 0.01); // phenol, C6H6O
}

} // namespace
} // namespace corvatin
