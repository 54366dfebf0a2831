// The SMILES file reader: several SMILES per line in ".sml" and ".txt", name and SMILES line pairs in ".sml2", a
// SMILES and a name per line in ".smi", and environment mode.

#include "input_test_util.h"

#include "inputs/smiles_input.h"

using namespace corvatin;
using namespace corvatin::test;

TEST(SmilesInput, EachExtensionWhateverItsLetterCaseHasItsLayout) {
  const std::tuple<std::string, std::string, Names> cases[] = {
      {"a.sml", "CCO c1ccccc1\n", {"CCO", "c1ccccc1"}},
      {"a.txt", "CC\tCCC\r\n\r\n[NH4+]   C#N", {"CC", "CCC", "[NH4+]", "C#N"}},
      {"a.sml", "CCO\n\n   \t\n", {"CCO"}}, // white space after the last SMILES is no structure
      // ".sml2": the name after an optional number and ";", blanks allowed after the SMILES
      {"a.sml2", "12;Ethanol\nCCO\nEthanol\nCCO\n12 Ethanol\nCCO  \t\n7;\nC#N\n",
       {"Ethanol", "Ethanol", " Ethanol", "C#N"}},
      {"a.SML2", "1;Water\r\nO\r\n2;Ammonia\r\nN\r\n", {"Water", "Ammonia"}},
      // ".smi": a name after white space (the SMILES when there is none), "#" lines and blank lines skipped
      {"a.Smi", "# made up\n\nCCO ethanol, absolute\r\nc1ccccc1\n  # end\n\n", {"ethanol, absolute", "c1ccccc1"}},
  };
  TempFolder folder;
  for (const auto& [name, text, names] : cases) {
    ReaderHarness<TSMILESInput> h;
    h.Start(folder.Write(name, text));
    EXPECT_EQ(h.ReadAll(), names) << text;
  }
  ReaderHarness<TSMILESInput> h;
  h.Start(folder.Write("b.sml", "c1ccccc1"));
  h.Pass();
  EXPECT_EQ(h.molecule->VertexCount(), 12); // completed with its hydrogens
}

TEST(SmilesInput, InEnvironmentModeAtomsInsideBracesAndTheirHydrogensAreMarkedBracesDoNotNest) {
  TempFolder folder;
  ReaderHarness<TSMILESInput> h(true);
  const auto marks = [&](const std::string& smiles) {
    h.Start(folder.Write("env.sml", smiles + "\n"));
    h.Pass();
    std::string flags;
    for (int i = 0; i < h.molecule->VertexCount(); ++i) {
      const IAtom* a = h.molecule->GetAtom(i);
      flags += !a->HasParam(kParamFragmentEnvironment) ? '-' : a->GetFloat(kParamFragmentEnvironment) == 1 ? '1' : '?';
    }
    return flags;
  };
  EXPECT_EQ(marks("CC{O}").substr(0, 3), "--1");
  EXPECT_EQ(h.molecule->GetName(), "CC{O}");
  EXPECT_NE(h.molecule->GetAtom(1)->GetBondTo(h.molecule->GetAtom(2)), nullptr);
  EXPECT_EQ(marks("[NH3+]C").substr(0, 5), "-111-"); // hydrogens from the bracket count, wherever they stand
  h.Start(folder.Write("nested.sml", "C{C{O}}\n"));
  EXPECT_THROW(h.Pass(), ERecordError);
}
