#pragma once
// The standard procedures: the shared structure input, the classification blocks loaded from their files and the
// packages that chain them into the descriptor families. Built once at start-up by the workbench and by the batch
// tool; no window code here.

#include "blocks/dispatcher.h"
#include "blocks/editor.h"
#include "blocks/package.h"
#include "chem/molecule.h"
#include "classify/classification.h"

#include <functional>
#include <string>
#include <vector>

namespace corvatin {

/// One classification file of the catalogue (loaded as a number-valued SMILES classification).
struct TCatalogueFile {
  const char* fileName;
  std::vector<std::string> propertyNames;
  int elementKind; ///< 0 atoms, 1 bonds
};

/// The nine classification files, in loading order.
const std::vector<TCatalogueFile>& ClassificationFiles();

/// The fifteen TOPS-MODE weights and their short labels (empty where none), in order.
const std::vector<std::string>& TopsModeWeights();
const std::vector<std::string>& TopsModeLabels();

/// What the catalogue needs from its host (the main window or the batch tool).
class TCatalogue;

struct TCatalogueSetup {
  Ptr<IMolecule> editorMolecule;          ///< the molecule every editor block works on
  std::weak_ptr<IEditorHost> editorHost;  ///< told when runs begin and end (may be none)
  Ptr<IDispatcher> dispatcher;            ///< the hand-over to the main thread (MainDispatcher() when none)
  /// Shows a classification file that failed to load (a message box in the GUI, a line on stderr in the batch
  /// tool); start-up goes on without that classification.
  std::function<void(const std::string& message)> reportLoadError;
  /// A catalogue whose classifications this one shares instead of loading the files again (the chain of one more
  /// worker of a run): each block shares the loaded file and its compiled fragments and matches on its own.
  const TCatalogue* classificationsOf = nullptr;
};

/// The catalogue: owns the shared blocks and the packages for the life of the program.
class TCatalogue {
public:
  explicit TCatalogue(TCatalogueSetup setup);
  TCatalogue(const TCatalogue&) = delete;
  TCatalogue& operator=(const TCatalogue&) = delete;

  /// The packages in the order the procedures window lists them.
  const std::vector<Ptr<TPackage>>& Packages() const { return packages_; }
  /// The package with this display name, none when unknown.
  Ptr<TPackage> FindPackage(const std::string& name) const;
  /// The shared structure input.
  Ptr<IInput> Input() const { return input_; }
  /// The classification loaded from file number order (0-based table order); none when it failed to load.
  Ptr<IClassification> Classification(size_t order) const;

private:
  void LoadClassifications();
  Ptr<TPackage> NewPackage(const std::string& name);
  /// Input, geometry, standard classification, the given loaded classifications, Gasteiger-Marsili charges and the
  /// bond properties of sources, then the editor block: the common head of the weighted procedures.
  void AddWeightingChain(TPackage& package, const std::vector<size_t>& classifications,
                         const std::vector<size_t>& bondSources);
  void AddEditor(TPackage& package);
  void AddTopsMode(const std::string& packageName, bool contributions, bool local, const std::string& resultName,
                   const std::string& dataFile, bool rowLines);
  /// The descriptor block, then an output whose records are the block's result names.
  void AddDescriptor(TPackage& package, const Ptr<IBlock>& descriptor, const std::string& dataFile);
  void AddPhysicoChemical();
  void AddTopological();
  /// Input, standard classification, editor, then the descriptor: the procedures on semi-empirical results.
  void AddQuantumChemical(const std::string& packageName, const Ptr<IBlock>& descriptor, const std::string& dataFile);
  void AddSphereTest();

  TCatalogueSetup setup_;
  Ptr<IInput> input_;
  std::vector<Ptr<IClassification>> classifications_;
  std::vector<Ptr<TPackage>> packages_;
};

/// The message shown when a classification file fails to load, in its two forms.
std::string ClassificationLoadMessage(const std::string& fileName, const std::string* classifyError);

} // namespace corvatin
