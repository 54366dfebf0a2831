#include "procedures/columns.h"

#include "chem/molecule.h"
#include "chem/smiles.h"
#include "core/errors.h"
#include "descriptors/quantum_names.h"
#include "descriptors/spectral_moments.h"
#include "descriptors/topsmode.h"
#include "outputs/composer.h"
#include "outputs/vector_output.h"
#include "procedures/column_notes.h"

#include <algorithm>
#include <ostream>

namespace corvatin {

namespace {

// The model structure the descriptor blocks run on. Its labels do not depend on the molecule, only on its having
// every value: a branched chain with a hetero atom has heavy-atom bonds, terminal atoms and two-bond paths, and
// the results of a semi-empirical calculation are laid on it so that the topographic and quantum-chemical blocks
// store theirs. The numbers are placeholders; nothing of them reaches the reference.
Ptr<IMolecule> ModelStructure() {
  Ptr<IMolecule> molecule = NewMolecule();
  ParseSMILES("CC(C)CO", *molecule);
  auto& params = dynamic_cast<IParameters&>(*molecule);
  const int atoms = molecule->VertexCount();
  for (int i = 0; i < atoms; ++i) {
    IVertex* atom = molecule->GetVertex(i);
    atom->SetFloat(quantum::kElectronDensity, 1.0);
    atom->SetFloat(quantum::kNetAtomicCharge, i % 2 == 0 ? 0.1 : -0.1);
    Ptr<IDoubleMatrix> coefficients = NewMatrix(2, 1);
    coefficients->Set(0, 0, 0.5);
    coefficients->Set(0, 1, 0.5);
    atom->AddParam(quantum::kEigenvectors, std::make_shared<TMatrixParameter>(coefficients), nullptr, true);
  }
  for (int i = 0; i < molecule->EdgeCount(); ++i) molecule->GetEdge(i)->SetFloat(quantum::kBondOrder, 1.0);
  params.SetFloat(quantum::kFilledLevels, 1.0);
  Ptr<IDoubleMatrix> energies = NewMatrix(2, 1);
  energies->Set(0, 0, -11.0);
  energies->Set(0, 1, 2.0);
  params.AddParam(quantum::kOrbitalEnergies, std::make_shared<TMatrixParameter>(energies), nullptr, true);
  return molecule;
}

std::string Replace(std::string text, const std::string& what, const std::string& with) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

// The TOPS-MODE block's present choices: the weights switched on, in order, and the maximum order.
struct TMomentChoice {
  std::vector<std::string> weights;
  int maxOrder = 1;
  std::string graph = "hydrogen-suppressed graph";
};

TMomentChoice MomentChoice(const TSpectralMoments* moments) {
  TMomentChoice choice;
  if (!moments) return choice;
  for (const auto& w : moments->Weights())
    if (moments->GetBool(w)) choice.weights.push_back(w);
  choice.maxOrder = static_cast<int>(moments->GetInt(kParamMaxOrder));
  if (moments->GetBool(kParamIncludeHydrogens)) choice.graph = "molecular graph with its hydrogens";
  return choice;
}

// Where a value comes from: its classification file (atom values spread over the bonds when a bond value is
// wanted), or the note's own text for values no file gives.
std::string ValueSource(const std::string& value, bool asBondValue, const char* fallback) {
  for (const TCatalogueFile& file : ClassificationFiles())
    for (const auto& name : file.propertyNames)
      if (name == value) {
        std::string text = std::string(file.fileName) + ": " + value;
        if (asBondValue && file.elementKind == 0) text += " (atom values, v1/d1 + v2/d2 on each bond)";
        return text;
      }
  return fallback ? fallback : "";
}

class TColumnLister {
public:
  explicit TColumnLister(const TPackage& package) : package_(package) {
    for (int b = 0; b < package.GetBlockCount(); ++b)
      if (auto m = std::dynamic_pointer_cast<TSpectralMoments>(package.GetBlock(b))) moments_ = m.get();
    choice_ = MomentChoice(moments_);
  }

  std::vector<TColumnInfo> List() {
    Ptr<IMolecule> model = ModelStructure();
    auto structure = std::dynamic_pointer_cast<ISubGraph>(model);
    // Every block after the editor that computes values for the output computes them on the model.
    for (int b = package_.GetEditorIndex() + 1; b < package_.GetBlockCount(); ++b)
      if (auto c = std::dynamic_pointer_cast<IClassification>(package_.GetBlock(b))) c->Classify(structure);
    for (int b = 0; b < package_.GetBlockCount(); ++b)
      if (auto output = std::dynamic_pointer_cast<TVectorOutput>(package_.GetBlock(b))) AddFile(*output, model);
    return std::move(columns_);
  }

private:
  void AddFile(const TVectorOutput& output, const Ptr<IMolecule>& model) {
    file_ = output.GetString(kParamOutputDataFile);
    const TOutputOptions options{output.RowLines(), output.LabelledValues(), 6};
    // The name column, as the output heads it.
    Add(ComposeStructure(model, {}, options).header.front(), kNameColumnNote, "", "", "");
    auto& params = dynamic_cast<IParameters&>(*model);
    for (const TParamObject& record : output.Records()) {
      if (record.level != olMolecule) continue; // atom and bond values go to the results file only
      const TRecordNote* note = FindRecordNote(record.name);
      if (!params.HasParam(record.name)) {
        // Values read with the structure (the sphere reader's matrices) are not computed by any block: the
        // columns are one per point, as the reader's unlabelled matrices give them.
        if (note && note->shape == NoteShape::Points) AddPoints(*note);
        continue;
      }
      std::vector<std::string> header = ComposeStructure(model, {record}, options).header;
      header.erase(header.begin()); // "Name"
      AddRecord(note, *params.GetParam(record.name), header, options.rowLines);
    }
  }

  void AddPoints(const TRecordNote& note) {
    Add("   ", note.rowLabel, "", note.source, "");
    Add(kPointColumnsLabel, Replace(note.definition, "{order}", "j + 1 (column j)"), note.unit, note.source,
        note.reference);
  }

  void AddRecord(const TRecordNote* note, const IParameter& param,
                 const std::vector<std::string>& header, bool rowLines) {
    size_t cell = 0;
    if (rowLines && !header.empty()) {
      Add(header[cell++], note ? Fill(note->rowLabel, "", 0) : "", "", "", "");
    }
    // The matrix elements the header cells stand for, in the order the output writes them.
    std::vector<std::pair<int, int>> elements;
    if (const auto* matrix = dynamic_cast<const IMatrixParameter*>(&param); matrix && matrix->GetMatrix()) {
      const IDoubleMatrix& m = *matrix->GetMatrix();
      const int rows = rowLines ? 1 : m.GetRowCount();
      for (int i = 0; i < rows; ++i)
        for (int j = 0; j < m.GetColumnCount(); ++j)
          if (rowLines || !matrix->GetMask(i, j)) elements.emplace_back(i, j);
    } else {
      elements.emplace_back(0, 0);
    }
    for (size_t e = 0; cell < header.size(); ++cell, ++e) {
      const auto [i, j] = e < elements.size() ? elements[e] : std::pair<int, int>{0, 0};
      // A record without a note is listed with an empty definition, which the tests refuse.
      if (note)
        Describe(header[cell], *note, i, j);
      else
        Add(header[cell], "", "", "", "");
    }
  }

  void Describe(const std::string& label, const TRecordNote& note, int i, int j) {
    std::string definition = note.definition, weight;
    int order = 0;
    switch (note.shape) {
    case NoteShape::Number: break;
    case NoteShape::Connectivity:
      order = i + 1;
      definition = Replace(definition, "{type}", kSubgraphTypes[j % 4]);
      break;
    case NoteShape::Kappa: order = j + 1; break;
    case NoteShape::Contributions:
      if (j < static_cast<int>(choice_.weights.size())) weight = choice_.weights[static_cast<size_t>(j)];
      break;
    case NoteShape::Moments:
      if (j == 0) {
        definition = note.first;
        break;
      }
      order = (j - 1) % std::max(choice_.maxOrder, 1) + 1;
      if (size_t w = static_cast<size_t>((j - 1) / std::max(choice_.maxOrder, 1)); w < choice_.weights.size())
        weight = choice_.weights[w];
      break;
    case NoteShape::Points: order = j + 1; break;
    }
    std::string source = ValueSource(note.value, false, note.source), reference = note.reference;
    if (!weight.empty()) {
      const TWeightNote* w = FindWeightNote(weight);
      source = ValueSource(weight, true, w ? w->source : "");
      if (w && *w->reference) reference += std::string("; weights: ") + w->reference;
    } else if (note.shape == NoteShape::Moments && j > 0) {
      source = "none (no weight selected: unweighted moments)";
    }
    Add(label, Fill(definition, weight, order), note.unit, source, reference);
  }

  std::string Fill(const std::string& text, const std::string& weight, int order) const {
    std::string filled = Replace(text, "{graph}", choice_.graph);
    filled = Replace(filled, "{weight}", weight.empty() ? "zeros" : weight);
    return Replace(filled, "{order}", std::to_string(order));
  }

  void Add(const std::string& label, const std::string& definition, const std::string& unit,
           const std::string& source, const std::string& reference) {
    columns_.push_back({package_.GetName(), file_, label, definition, unit, source, reference});
  }

  const TPackage& package_;
  const TSpectralMoments* moments_ = nullptr;
  TMomentChoice choice_;
  std::string file_;
  std::vector<TColumnInfo> columns_;
};

// A cell of the listing: tabs and line breaks would split it.
std::string Cell(const std::string& text) {
  std::string cell = text;
  for (char& c : cell)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return cell;
}

bool HasMoments(const TPackage& package) {
  for (int b = 0; b < package.GetBlockCount(); ++b)
    if (std::dynamic_pointer_cast<TSpectralMoments>(package.GetBlock(b))) return true;
  return false;
}

// --set in the listing of every procedure: applied where the parameter exists; refused only when it fits none.
void ApplyEverywhere(const std::vector<Ptr<TPackage>>& packages, const std::string& assignment) {
  std::string firstError;
  bool applied = false;
  for (const auto& package : packages) try {
      ApplyAssignment(*package, assignment);
      applied = true;
    } catch (const EUsageError& e) {
      if (firstError.empty()) firstError = e.what();
    }
  if (!applied) throw EUsageError(firstError);
}

} // namespace

std::vector<TColumnInfo> DescribeColumns(const TPackage& package) { return TColumnLister(package).List(); }

void WriteColumns(const std::vector<TColumnInfo>& columns, std::ostream& out) {
  out << "Procedure\tFile\tColumn\tDefinition\tUnit\tBuilt from\tReference\n";
  for (const TColumnInfo& c : columns)
    out << Cell(c.procedure) << '\t' << Cell(c.file) << '\t' << Cell(c.label) << '\t' << Cell(c.definition) << '\t'
        << Cell(c.unit) << '\t' << Cell(c.source) << '\t' << Cell(c.reference) << '\n';
}

int ListColumns(const TCatalogue& catalogue, const TBatchOptions& options, bool allProcedures, std::ostream& out,
                std::ostream& err) {
  std::vector<Ptr<TPackage>> packages;
  if (allProcedures)
    packages = catalogue.Packages();
  else
    packages.push_back(ChooseProcedure(catalogue, options.procedure));
  for (const auto& a : options.assignments) {
    if (allProcedures)
      ApplyEverywhere(packages, a);
    else
      ApplyAssignment(*packages.front(), a);
  }
  if (!options.weights.empty())
    for (const auto& package : packages)
      if (!allProcedures || HasMoments(*package)) SelectWeights(*package, options.weights);
  std::vector<TColumnInfo> columns;
  int status = beSuccess;
  for (const auto& package : packages) {
    try {
      for (auto& c : DescribeColumns(*package)) columns.push_back(std::move(c));
    } catch (const EFatalError& e) {
      // A run of this procedure would stop here too. The listing of every procedure goes on with the others:
      // the procedure writes nothing with these settings.
      if (!allProcedures) {
        err << "Error: " << e.what() << '\n';
        status = beRunFailed;
      } else {
        err << "Warning: " << package->GetName() << " writes no data file with these settings: " << e.what() << '\n';
      }
    }
  }
  // A single procedure that cannot run lists nothing: an empty table would read as a procedure without columns.
  if (allProcedures || status == beSuccess) WriteColumns(columns, out);
  return status;
}

} // namespace corvatin
