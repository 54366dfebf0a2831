#include "procedures/column_notes.h"

namespace corvatin {

namespace {

// The papers, cited by journal, volume, first page and year so that a methods section can quote them.
const char* const kTopsMode = "J. Chem. Inf. Comput. Sci. 36 (1996) 844; J. Chem. Inf. Comput. Sci. 37 (1997) 320";
const char* const kLocalTopsMode = "J. Mol. Graph. Model. 20 (2001) 54";
const char* const kTopographic = "J. Chem. Inf. Comput. Sci. 36 (1996) 837";
const char* const kQuantum = "Chem. Rev. 96 (1996) 1027";
const char* const kMopacBondOrders = "MOPAC output, BOND ORDERS section (keyword BONDS)";
const char* const kMopacDensities = "MOPAC output, NET ATOMIC CHARGES section (electron densities)";
const char* const kMopacCharges = "MOPAC output, NET ATOMIC CHARGES section (charges)";
const char* const kMopacOrbitals = "MOPAC output, EIGENVECTORS section (keyword ALLVEC) and filled levels";
const char* const kPoints = "XYZ point set or molecule (coordinates)";
const char* const kPointRows = "The row's point, numbered from 1; one data line per point";

// Connectivity-type matrices share their wording: {order} is the number of bonds of the subgraphs, {type} their
// kind.
const TRecordNote kRecords[] = {
    {"TOPS-MODE", NoteShape::Moments,
     "Spectral moment of order {order}: tr(B^{order}), B the bond adjacency matrix of the {graph} with {weight} on "
     "its diagonal",
     "", "", "", kTopsMode, "", "Zeroth spectral moment: the number of bonds of the {graph}"},
    {"TOPS-MODE Contribution", NoteShape::Moments,
     "Fragment contribution to the moment of order {order} ({weight}): the moment of the {graph} minus the "
     "contributions of every fragment left by cutting off terminal atoms one at a time",
     "", "", "", kLocalTopsMode, "", "Fragment contribution to the number of bonds of the {graph}"},
    {"Bond contributions", NoteShape::Contributions,
     "Contribution of the row's bond to a property modelled on the {weight} local moments: "
     "µ0 + sum over k of a_k µ_k(bond) + intercept, with µ0, the coefficients \"{weight}_µk\" and the intercept "
     "\"{weight}_µi\" set on the TOPS-MODE Local Contributions block",
     "", "", "", kLocalTopsMode,
     "Bond n: the row's bond, numbered from 1 in the molecule; one data line per bond of the {graph}", ""},
    {"Hydrophobicity", NoteShape::Number,
     "Octanol/water log P: sum of the atom contributions over the heavy atoms (hydrogens folded into their heavy "
     "atom)",
     "", "Hydrophobicity", "", "J. Chem. Inf. Comput. Sci. 39 (1999) 868", "", ""},
    {"Polar surface area", NoteShape::Number,
     "Topological polar surface area: sum of the N, O, S and P contributions over the heavy atoms",
     "Å²", "Polar surface", "", "J. Med. Chem. 43 (2000) 3714", "", ""},
    {"Molecular polarizability", NoteShape::Number,
     "Molecular polarizability: sum of the hybrid-atom contributions over the heavy atoms (bonded hydrogens folded "
     "in)",
     "Å³", "Polarizability", "", "J. Am. Chem. Soc. 112 (1990) 8533", "", ""},
    {"Van der Waals radius summatory", NoteShape::Number, "Sum of the van der Waals radii of the heavy atoms", "Å",
     "Van der Waals radius", "", "J. Phys. Chem. 68 (1964) 441", "", ""},
    {"Molecular weight", NoteShape::Number, "Sum of the atomic weights of all atoms, hydrogens included", "g/mol",
     "", "element table (standard atomic weights)", "Pure Appl. Chem. 73 (2001) 667", "", ""},
    {"Randic branching index", NoteShape::Connectivity,
     "Connectivity index chi of order {order} over {type} subgraphs: sum over the subgraphs of the product of "
     "their atoms' heavy-atom degrees to the power -1/2",
     "", "", "hydrogen-suppressed graph", "J. Am. Chem. Soc. 97 (1975) 6609; J. Pharm. Sci. 64 (1975) 1971", "",
     ""},
    {"Valence connectivity index", NoteShape::Connectivity,
     "Valence connectivity index chi-v of order {order} over {type} subgraphs: as chi with each atom's "
     "delta-v = (Zv - h) / (Z - Zv) (1 for the second period) in place of its degree",
     "", "", "hydrogen-suppressed graph, valence electrons",
     "J. Pharm. Sci. 65 (1976) 1806; J. Pharm. Sci. 72 (1983) 1170", "", ""},
    {"Epsilon index", NoteShape::Connectivity,
     "Edge connectivity index epsilon of order {order} over {type} subgraphs: sum over the subgraphs of the product "
     "of their bonds' edge degrees (du + dw - 2) to the power -1/2",
     "", "", "hydrogen-suppressed graph", "J. Chem. Inf. Comput. Sci. 35 (1995) 31", "", ""},
    {"kappa index", NoteShape::Kappa,
     "Kappa shape index of order {order}, from the number of heavy atoms and of paths of length {order}", "", "",
     "hydrogen-suppressed graph", "Quant. Struct.-Act. Relat. 4 (1985) 109", "", ""},
    {"kappa(alpha) index", NoteShape::Kappa,
     "Kappa shape index of order {order} corrected by the atoms' size increments alpha (element and "
     "hybridisation)",
     "", "", "hydrogen-suppressed graph", "Rev. Comput. Chem. 2 (1991) 367", "", ""},
    {"Flexibility index", NoteShape::Number, "Flexibility index phi = 1kappa(alpha) x 2kappa(alpha) / heavy atoms", "",
     "", "hydrogen-suppressed graph", "Quant. Struct.-Act. Relat. 8 (1989) 221", "", ""},
    {"Wiener index", NoteShape::Number, "Half the sum of the topological distances between all pairs of heavy atoms",
     "", "", "hydrogen-suppressed graph", "J. Am. Chem. Soc. 69 (1947) 17", "", ""},
    {"Zagreb M1 index", NoteShape::Number, "First Zagreb index: sum over the heavy atoms of their squared degree",
     "", "", "hydrogen-suppressed graph", "Chem. Phys. Lett. 17 (1972) 535", "", ""},
    {"Zagreb M2 index", NoteShape::Number,
     "Second Zagreb index: sum over the heavy-atom bonds of the product of their atoms' degrees", "", "",
     "hydrogen-suppressed graph", "J. Chem. Phys. 62 (1975) 3399", "", ""},
    {"Harary number", NoteShape::Number,
     "Harary number: half the sum over all pairs of connected heavy atoms of 1/d^2, d their topological distance",
     "", "", "hydrogen-suppressed graph", "J. Math. Chem. 12 (1993) 235", "", ""},
    {"Balaban index", NoteShape::Number,
     "Balaban distance connectivity J = bonds / (cycles + 1) x sum over bonds of (s_i s_j)^-1/2, s the distance "
     "sums",
     "", "", "hydrogen-suppressed graph", "Chem. Phys. Lett. 89 (1982) 399", "", ""},
    {"Omega index", NoteShape::Connectivity,
     "Omega index of order {order} over {type} subgraphs: connectivity index with each heavy atom weighted by the "
     "sum of its bond orders",
     "", "", kMopacBondOrders, "Mol. Eng. 2 (1993) 363", "", ""},
    {"Omega(q) index", NoteShape::Connectivity,
     "Omega(q) index of order {order} over {type} subgraphs: each heavy atom weighted by (q - h) / r, q its "
     "electron density, h its hydrogens, r = Z - q for Si, S, Cl, Br and I, else 1",
     "", "", kMopacDensities, kTopographic, "", ""},
    {"Omega(q) corrected index", NoteShape::Connectivity,
     "Corrected omega(q) index of order {order} over {type} subgraphs: as omega(q) with the electron densities of "
     "the atom's hydrogens in place of their number",
     "", "", kMopacDensities, kTopographic, "", ""},
    {"Epsilon(Ro) index", NoteShape::Connectivity,
     "Epsilon(Ro) index of order {order} over {type} subgraphs: edge connectivity index with each bond weighted by "
     "the sum of the bond orders of the bonds sharing an atom with it",
     "", "", kMopacBondOrders, kTopographic, "", ""},
    {"Homo Energy", NoteShape::Number, "Energy of the highest occupied molecular orbital", "eV", "", kMopacOrbitals,
     kQuantum, "", ""},
    {"Lumo Energy", NoteShape::Number, "Energy of the lowest unoccupied molecular orbital", "eV", "", kMopacOrbitals,
     kQuantum, "", ""},
    {"Local dipole index", NoteShape::Number,
     "Local dipole index: mean over all bonds, hydrogens included, of |q1 - q2|, q the net atomic charges", "e", "",
     kMopacCharges, kQuantum, "", ""},
    {"Polarization", NoteShape::Number, "Polarization: mean over all atoms of the absolute net atomic charge", "e", "",
     kMopacCharges, kQuantum, "", ""},
    {"SphereVertexMatrix", NoteShape::Points,
     "Distance between the row's point and point {order}", "Å", "", kPoints, "", kPointRows,
     ""},
    {"SphereVertexMatrixInv", NoteShape::Points,
     "Inverse distance between the row's point and point {order} (0 on the diagonal)", "1/Å",
     "", kPoints, "", kPointRows, ""},
    {"ExpMatrix", NoteShape::Points,
     "Gaussian similarity exp(-d^2 / (2 s^2)) of the row's point and point {order}, s the Sphere Matrix block's \"s param\" rounded to a whole number; 0 on the diagonal",
     "", "", kPoints, "", kPointRows, ""},
};

// The TOPS-MODE weights whose values come from no classification file, and the papers of every weight.
const TWeightNote kWeights[] = {
    {"Std distance", "", "J. Phys. Chem. Ref. Data 8 (1979) 619"},
    {"Dipole moment", "", "Lange's Handbook of Chemistry, 15th ed. (1999), Table 4.12"},
    {"Dipole moment (2)", "", "MM4 force-field bond dipoles"},
    {"Hydrophobicity", "", "J. Chem. Inf. Comput. Sci. 39 (1999) 868"},
    {"Polar surface", "", "J. Med. Chem. 43 (2000) 3714"},
    {"Molar refractivity", "", "J. Chem. Inf. Comput. Sci. 39 (1999) 868"},
    {"Polarizability", "", "J. Am. Chem. Soc. 112 (1990) 8533"},
    {"Van der Waals radius", "", "J. Phys. Chem. 68 (1964) 441"},
    {"Gasteiger-Marsili charge",
     "Gasteiger-Marsili charges computed for each structure (atom values, v1/d1 + v2/d2 on each bond)",
     "Tetrahedron 36 (1980) 3219"},
    {"Atomic weight", "element table: standard atomic weights (atom values, v1/d1 + v2/d2 on each bond)",
     "Pure Appl. Chem. 73 (2001) 667"},
    {"Abraham - R2", "", "J. Chem. Inf. Comput. Sci. 39 (1999) 835"},
    {"Abraham - pi2H", "", "J. Chem. Inf. Comput. Sci. 39 (1999) 835"},
    {"Abraham - sum B2H", "", "J. Chem. Inf. Comput. Sci. 39 (1999) 835"},
    {"Abraham - sum B20", "", "J. Chem. Inf. Comput. Sci. 39 (1999) 835"},
    {"Abraham - log L16", "", "J. Chem. Inf. Comput. Sci. 39 (1999) 835"},
};

} // namespace

const TRecordNote* FindRecordNote(const std::string& record) {
  for (const TRecordNote& note : kRecords)
    if (record == note.record) return &note;
  return nullptr;
}

const TWeightNote* FindWeightNote(const std::string& weight) {
  for (const TWeightNote& note : kWeights)
    if (weight == note.weight) return &note;
  return nullptr;
}

} // namespace corvatin
