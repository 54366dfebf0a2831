#include "procedures/catalogue.h"

#include "chem/completion_block.h"
#include "chem/geometry_block.h"
#include "classify/gasteiger.h"
#include "classify/smiles_classification.h"
#include "classify/std_classification.h"
#include "core/errors.h"
#include "descriptors/matrix_test.h"
#include "descriptors/molecular_descriptors.h"
#include "descriptors/physchem.h"
#include "descriptors/spectral_moments.h"
#include "descriptors/topographic_indexes.h"
#include "descriptors/topological_indexes.h"
#include "inputs/graph_file_input.h"
#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"
#include "inputs/mopac_input.h"
#include "inputs/smiles_input.h"
#include "inputs/xyz_input.h"
#include "inputs/zmatrix_input.h"
#include "outputs/vector_output.h"
#include "procedures/editor_block.h"

namespace corvatin {

namespace {
const char* const kPort = "Molecule";
const char* const kFragmentsPort = "Fragments";
const char* const kResultsFile = "Results.txt";

// The structure input: its readers in the order that decides the file filter and which reader takes an
// extension several could read. The SMILES reader gets no callback.
Ptr<IInput> NewStructureInput() {
  std::vector<Ptr<IObject>> readers = {std::make_shared<TSMILESInput>(),   std::make_shared<TMOLInput>(),
                                       std::make_shared<TTriposMOLInput>(), std::make_shared<TZMatrixInput>(),
                                       std::make_shared<TMOPACInput>(),     std::make_shared<TXYZSphereInput>()};
  return std::make_shared<TGraphFileInput>(readers);
}

// Table positions of the classification files whose values feed the bond properties.
constexpr size_t kHydrophobicity = 0, kPolarSurface = 1, kPolarizability = 2, kVdWRadius = 3, kRefractivity = 7,
                 kAbraham = 8;
} // namespace

const std::vector<TCatalogueFile>& ClassificationFiles() {
  static const std::vector<TCatalogueFile> files = {
      {"Hydrophob.txt", {"Hydrophobicity"}, 0},
      {"PolarSurface.txt", {"Polar surface"}, 0},
      {"Polarize.txt", {"Polarizability"}, 0},
      {"Sasapar.txt", {"Van der Waals radius"}, 0},
      {"Distances.txt", {"Std distance"}, 1},
      {"DipoleMoments.txt", {"Dipole moment"}, 1},
      {"DipoleMoments2.txt", {"Dipole moment (2)"}, 1},
      {"Refractivity.txt", {"Molar refractivity"}, 0},
      {"Abraham.txt",
       {"Abraham - Fragment Number", "Abraham - R2", "Abraham - pi2H", "Abraham - sum B2H", "Abraham - sum B20",
        "Abraham - log L16"},
       0},
  };
  return files;
}

const std::vector<std::string>& TopsModeWeights() {
  static const std::vector<std::string> weights = {
      "Std distance",      "Dipole moment",     "Dipole moment (2)",   "Hydrophobicity",
      "Polar surface",     "Molar refractivity", "Polarizability",     "Van der Waals radius",
      "Gasteiger-Marsili charge", "Atomic weight", "Abraham - R2",     "Abraham - pi2H",
      "Abraham - sum B2H", "Abraham - sum B20", "Abraham - log L16"};
  return weights;
}

const std::vector<std::string>& TopsModeLabels() {
  static const std::vector<std::string> labels = {"", "", "", "", "", "", "", "", "", "",
                                                  "Ab-R2", "Ab-pi2H", "Ab-sumB2H", "Ab-sumB20", "Ab-logL16"};
  return labels;
}

std::string ClassificationLoadMessage(const std::string& fileName, const std::string* classifyError) {
  if (classifyError) return *classifyError + " loading classification file \"" + fileName + "\"";
  return "Unknown error loading classification file \"" + fileName + "\"";
}

TCatalogue::TCatalogue(TCatalogueSetup setup) : setup_(std::move(setup)) {
  if (!setup_.editorMolecule) setup_.editorMolecule = NewMolecule();
  input_ = NewStructureInput();
  LoadClassifications();

  // The weighted chains: every loaded classification, the charges and the bond properties built from them.
  AddTopsMode("TOPS-MODE", false, false, "TOPS-MODE", "TOPS-MODE.txt", false);
  AddTopsMode("TOPS-MODE Fragment Contributions", true, false, "TOPS-MODE Contribution", "TOPS-MContr.txt", false);
  AddTopsMode("TOPS-MODE Local Contributions", false, true, "Bond contributions", "TOPS-MBContr.txt", true);
  AddPhysicoChemical();
  AddTopological();
  AddQuantumChemical("Topographic Indices", std::make_shared<TTopographicIndexes>(), "TopogrInd.txt");
  AddQuantumChemical("Quantum-Chemical descriptors", std::make_shared<TMolecularDescriptors>(), "Quan-Chem.txt");
  AddSphereTest();
}

void TCatalogue::LoadClassifications() {
  if (const TCatalogue* other = setup_.classificationsOf) {
    for (const auto& shared : other->classifications_) {
      const auto loaded = std::dynamic_pointer_cast<TSMILESClassification>(shared);
      classifications_.push_back(loaded ? loaded->Sibling() : shared);
    }
    return;
  }
  for (const TCatalogueFile& file : ClassificationFiles()) {
    Ptr<IClassification> loaded;
    try {
      loaded = std::make_shared<TSMILESClassification>(file.propertyNames, file.fileName, file.elementKind, 1);
    } catch (const EClassifyError& e) {
      std::string what = e.what();
      if (setup_.reportLoadError) setup_.reportLoadError(ClassificationLoadMessage(file.fileName, &what));
    } catch (const std::exception& e) {
      // The reason names the path tried, so that a missing file is looked for in the right folder.
      if (setup_.reportLoadError)
        setup_.reportLoadError(ClassificationLoadMessage(file.fileName, nullptr) + " (" + e.what() + ")");
    } catch (...) {
      if (setup_.reportLoadError) setup_.reportLoadError(ClassificationLoadMessage(file.fileName, nullptr));
    }
    classifications_.push_back(loaded);
  }
}

Ptr<IClassification> TCatalogue::Classification(size_t order) const {
  return order < classifications_.size() ? classifications_[order] : nullptr;
}

Ptr<TPackage> TCatalogue::FindPackage(const std::string& name) const {
  for (const auto& p : packages_)
    if (p->GetName() == name) return p;
  return nullptr;
}

Ptr<TPackage> TCatalogue::NewPackage(const std::string& name) {
  auto package = std::make_shared<TPackage>(name, setup_.dispatcher);
  // Procedures run without showing structures until a view asks for them: the batch tool has no views.
  return package;
}

void TCatalogue::AddEditor(TPackage& package) {
  package.AddBlock(std::make_shared<TGraphEditorBlock>(setup_.editorMolecule, setup_.editorHost), {kPort});
}

void TCatalogue::AddWeightingChain(TPackage& package, const std::vector<size_t>& classifications,
                                   const std::vector<size_t>& bondSources) {
  package.AddBlock(input_, {kPort});
  package.AddBlock(std::make_shared<TGeometryTransformation>(), {kPort});
  package.AddBlock(std::make_shared<TStdClassification>(), {kPort});
  for (size_t order : classifications)
    if (auto c = Classification(order)) package.AddBlock(std::dynamic_pointer_cast<IBlock>(c), {kPort});
  auto charges = std::make_shared<TGasteigerChargesClassification>();
  package.AddBlock(charges, {kPort});
  std::vector<Ptr<IClassification>> sources;
  for (size_t order : bondSources) sources.push_back(Classification(order)); // none when it failed: skipped
  sources.push_back(charges);
  package.AddBlock(std::make_shared<TBondPropClassification>(sources), {kPort});
  AddEditor(package);
}

void TCatalogue::AddTopsMode(const std::string& packageName, bool contributions, bool local,
                             const std::string& resultName, const std::string& dataFile, bool rowLines) {
  auto package = NewPackage(packageName);
  AddWeightingChain(*package, {0, 1, 2, 3, 4, 5, 6, 7, 8},
                    {kHydrophobicity, kPolarSurface, kPolarizability, kVdWRadius, kRefractivity, kAbraham});
  package->AddBlock(std::make_shared<TSpectralMoments>(TopsModeWeights(), TopsModeLabels(), contributions, local),
                    {kPort, kFragmentsPort});
  package->AddBlock(std::make_shared<TVectorOutput>(std::vector<std::string>{resultName}, dataFile, kResultsFile,
                                                    rowLines, true),
                    {kPort});
  packages_.push_back(package);
}

void TCatalogue::AddDescriptor(TPackage& package, const Ptr<IBlock>& descriptor, const std::string& dataFile) {
  package.AddBlock(descriptor, {kPort});
  auto& source = dynamic_cast<const IClassification&>(*descriptor);
  package.AddBlock(std::make_shared<TVectorOutput>(source, dataFile, kResultsFile), {kPort});
}

void TCatalogue::AddPhysicoChemical() {
  auto package = NewPackage("Physicochemical descriptors");
  // Classifications 1 to 8: the Abraham values are not physicochemical descriptors of this family.
  AddWeightingChain(*package, {0, 1, 2, 3, 4, 5, 6, 7}, {kHydrophobicity, kPolarSurface, kPolarizability, kVdWRadius});
  AddDescriptor(*package, std::make_shared<TPhysicoChemProperties>(), "PhysChem.txt");
  packages_.push_back(package);
}

void TCatalogue::AddTopological() {
  auto package = NewPackage("Topological Indices");
  package->AddBlock(input_, {kPort});
  package->AddBlock(std::make_shared<TMoleculeCompletion>(), {kPort});
  package->AddBlock(std::make_shared<TGeometryTransformation>(), {kPort});
  package->AddBlock(std::make_shared<TStdClassification>(), {kPort});
  AddEditor(*package);
  AddDescriptor(*package, std::make_shared<TTopologicalIndexes>(), "TopolInd.txt");
  packages_.push_back(package);
}

void TCatalogue::AddQuantumChemical(const std::string& packageName, const Ptr<IBlock>& descriptor,
                                    const std::string& dataFile) {
  auto package = NewPackage(packageName);
  package->AddBlock(input_, {kPort});
  package->AddBlock(std::make_shared<TStdClassification>(), {kPort});
  AddEditor(*package);
  AddDescriptor(*package, descriptor, dataFile);
  packages_.push_back(package);
}

void TCatalogue::AddSphereTest() {
  auto package = NewPackage("Sphere TEST");
  package->AddBlock(input_, {kPort});
  AddEditor(*package);
  package->AddBlock(std::make_shared<TMatrixTest>(), {kPort});
  const std::pair<const char*, const char*> outputs[] = {{"SphereVertexMatrix", "Sphere (vertex) matrix.txt"},
                                                         {"SphereVertexMatrixInv", "Sphere (vertex inv) matrix.txt"},
                                                         {"ExpMatrix", "Sphere (exp) matrix.txt"}};
  for (const auto& [name, file] : outputs)
    package->AddBlock(
        std::make_shared<TVectorOutput>(std::vector<std::string>{name}, file, kResultsFile, true, false), {kPort});
  packages_.push_back(package);
}

} // namespace corvatin
