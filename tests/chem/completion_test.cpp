// Aromaticity perception (Hueckel's 4n + 2 rule judged ring by ring) and hydrogen completion to the elements'
// normal valences. Hydrogen counts are those of the molecular formulas of the named compounds.

#include "chem/completion.h"
#include "chem/smiles.h"
#include "graph/rings.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvatin;

namespace {

/// The molecule a SMILES describes, without completion (no hydrogens added, bonds as written).
Ptr<IMolecule> Skeleton(const std::string& smiles, bool organic = true) {
  auto m = NewMolecule();
  auto tokenizer = NewTextParser(smiles);
  TSMILESParser(organic, nullptr, false).Parse(*tokenizer, *m);
  return m;
}

int CountSymbol(const IMolecule& m, const std::string& symbol) {
  int n = 0;
  for (int i = 0; i < m.VertexCount(); ++i)
    n += m.GetAtom(i)->GetSymbol() == symbol;
  return n;
}

int CountBonds(const IMolecule& m, int type) {
  int n = 0;
  for (int i = 0; i < m.EdgeCount(); ++i)
    n += m.GetBond(i)->GetBondType() == type;
  return n;
}

/// The smallest ring of the depth-first ring list.
Ptr<ISubGraph> FirstRing(IMolecule& m) {
  auto rings = DepthFirstRings(m);
  EXPECT_FALSE(rings.empty());
  return rings.front();
}

} // namespace

// --- the ring test ---

TEST(AromaticRingTest, HueckelCountOfTheSmallestRing) {
  // The arguments: ring atoms assumed aromatic (written in lower case), bond orders ignored (bonds from distances).
  const struct {
    const char* smiles;
    bool assumeAromatic, ignoreOrders, aromatic;
  } cases[] = {
      {"C1=CC=CC1", false, false, false},   // cyclopentadiene: 5 electrons, and the CH2 has no double bond
      {"C1=CC=CC=CC1", false, false, false}, // cycloheptatriene
      {"C1CCCCC1", false, true, true},       // ignoring orders, two-connected carbons pass on their shape
      {"[CH2]1[CH2][CH2][CH2][CH2][CH2]1", false, true, false}, // with explicit hydrogens they are four-connected
      {"[CH-]1C=CC=C1", false, false, true}, // cyclopentadienyl anion: the carbanion counts 1 - (-1) = 2
      // A ring carbon passes on a double bond or a negative charge only: the tropylium cation's carbocation has
      // neither, unless the ring is assumed aromatic (7 - 1 = 6 electrons).
      {"[CH+]1C=CC=CC=C1", false, false, false},
      {"[CH+]1C=CC=CC=C1", true, false, true},
      {"C1=CSC=C1", false, false, true},     // thiophene
      {"C1=COC=C1", false, false, true},     // furan
      {"C1=C[NH]C=C1", false, false, true},  // pyrrole, N-H written
      {"C1=CN=CC=C1", false, false, true},   // pyridine
      {"C1=CNC=C1", false, false, false},    // a pyrrole nitrogen whose hydrogen is not there yet
      {"C1=CP=CC=C1", false, false, false},  // phosphorus fails
      // An exocyclic carbonyl takes its carbon's electron out: 2-pyridone counts 0 + 1 + 1 + 1 + 1 + 2 = 6,
      // p-benzoquinone 4.
      {"O=c1cccc[nH]1", true, false, true},
      {"O=c1ccc(=O)cc1", true, false, false},
  };
  for (const auto& c : cases) {
    const bool aromatic = IsAromaticRing(*FirstRing(*Skeleton(c.smiles)), c.assumeAromatic, c.ignoreOrders);
    EXPECT_EQ(aromatic, c.aromatic) << c.smiles;
  }
}

// --- PerceiveAromaticity ---

TEST(PerceiveAromaticity, KekuleRingBecomesAromaticAndTagged) {
  auto m = Skeleton("C1=CC=CC=C1");
  EXPECT_TRUE(PerceiveAromaticity(*m));
  EXPECT_EQ(CountBonds(*m, bkAromatic), 6);
  EXPECT_EQ(m->GetFloat("TagAromaticy"), 1.0);
  // Tagged: nothing happens until the molecule changes.
  EXPECT_FALSE(PerceiveAromaticity(*m));
}

TEST(PerceiveAromaticity, ResetTurnsAromaticBondsSingleAndIgnoresOrders) {
  // Cyclopentadiene's skeleton marked aromatic by hand: after the reset its five two-connected carbons pass
  // on their shape, but five electrons are no 4n + 2, so the bonds stay single.
  auto m = Skeleton("C1CCCC1");
  for (int i = 0; i < m->EdgeCount(); ++i)
    m->GetBond(i)->SetBondType(bkAromatic);
  EXPECT_FALSE(PerceiveAromaticity(*m, true));
  EXPECT_EQ(CountBonds(*m, bkSingle), 5);
  // Benzene's skeleton with single bonds only passes once bond orders are ignored.
  m = Skeleton("C1CCCCC1");
  EXPECT_FALSE(PerceiveAromaticity(*m));
  m->SetFloat("TagAromaticy", 0);
  EXPECT_TRUE(PerceiveAromaticity(*m, false, true));
  EXPECT_EQ(CountBonds(*m, bkAromatic), 6);
}

TEST(PerceiveAromaticity, FusedRingsPassTogether) {
  auto m = Skeleton("C1=CC=C2C=CC=CC2=C1"); // naphthalene, Kekule
  EXPECT_TRUE(PerceiveAromaticity(*m));
  EXPECT_EQ(CountBonds(*m, bkAromatic), 11);
}

// --- CompleteHydrogens ---

TEST(CompleteHydrogens, AromaticBenzeneGetsOneHydrogenPerCarbon) {
  auto m = Skeleton("C1:C:C:C:C:C:1");
  EXPECT_TRUE(PerceiveAromaticity(*m));
  EXPECT_TRUE(CompleteHydrogens(*m));
  EXPECT_EQ(CountSymbol(*m, "H"), 6);
  EXPECT_EQ(m->GetFloat("TagHydrogens"), 1.0);
  EXPECT_EQ(m->GetFloat("TagAromaticy"), 0.0); // adding the hydrogens reset it
  // Forced to run again, it adds and deletes nothing and reports no difference: hydrogen atoms have no normal
  // valence and keep their bond.
  m->SetFloat("TagHydrogens", 0);
  EXPECT_FALSE(CompleteHydrogens(*m));
  EXPECT_EQ(CountSymbol(*m, "H"), 6);
  EXPECT_EQ(m->VertexCount(), 12);
}

TEST(CompleteHydrogens, FourHeavyBondsOnNitrogenAskForValenceFive) {
  auto m = Skeleton("CN(C)(C)C");
  CompleteHydrogens(*m);
  EXPECT_EQ(m->GetAtom(1)->HydrogenCount(), 1);
}
