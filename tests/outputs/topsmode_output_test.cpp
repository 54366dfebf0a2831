// The TOPS-MODE results as the statistics software receives them: the moments of propane (mu_k = tr(B^k) with B
// the bond adjacency matrix, E. Estrada, J. Chem. Inf. Comput. Sci. 36 (1996) 844) and the bond contributions of
// the local mode, written by the output block.

#include "chem/smiles.h"
#include "descriptors/spectral_moments.h"
#include "output_test_util.h"
#include "outputs/vector_output.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

using test::ResultFolderTest;

Ptr<IMolecule> Propane() {
  Ptr<IMolecule> m = NewMolecule();
  ParseSMILES("CCC", *m);
  m->SetName("propane");
  return m;
}

TEST_F(ResultFolderTest, PropaneMomentsUnderMicroSignHeaders) {
  TSpectralMoments moments({"Hydrophobicity"}, {}, false, false);
  moments.SetFloat("Max Order", 2);
  TVectorOutput out({"TOPS-MODE"}, "TOPS-MODE.txt", "Results.txt", false, true);
  out.SetFloat("Precision", 3);
  auto propane = Propane();
  moments.Classify(std::dynamic_pointer_cast<ISubGraph>(propane));
  out.Write(propane);
  EXPECT_EQ(Read("TOPS-MODE.txt"), "Name\t\xB5"
                                   "0\t\xB5"
                                   "1\t\xB5"
                                   "2\t\r\npropane\t2.000\t0.000\t2.000\t\r\n");
  EXPECT_EQ(Read("Results.txt"), "Molecule name: propane\r\n\r\n\tTOPS-MODE:\r\n"
                                 "\t\xB5"
                                 "0=2      \t\xB5"
                                 "1=0      \t\xB5"
                                 "2=2    \r\n\r\n");
}

TEST_F(ResultFolderTest, BondContributionsOneLinePerHeavyBond) {
  TSpectralMoments local({"Hydrophobicity"}, {}, false, true);
  local.SetBool("Hydrophobicity", true);
  local.SetFloat("Max Order", 1);
  local.SetFloat("Hydrophobicity_\xC2\xB5"
                 "1",
                 2.0);
  TVectorOutput out({"Bond contributions"}, "TOPS-MBContr.txt", "Results.txt", true, true);
  out.SetFloat("Precision", 1);
  auto propane = Propane();
  for (int b = 0; b < propane->EdgeCount(); ++b)
    propane->GetEdge(b)->SetFloat("Hydrophobicity", 0.5);
  local.Classify(std::dynamic_pointer_cast<ISubGraph>(propane));
  out.Write(propane);
  // Q(b) = 2 * B(b, b) = 1 for both C-C bonds (bonds 1 and 2 of the molecule).
  EXPECT_EQ(Read("TOPS-MBContr.txt"), "Name\t   \tContribution(Hyd)\t\r\n"
                                      "propane\tBond 1\t1.0\t\r\n\tBond 2\t1.0\t\r\n");
}

} // namespace
} // namespace corvatin
