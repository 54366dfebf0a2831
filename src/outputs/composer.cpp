#include "outputs/composer.h"

#include "chem/molecule.h"
#include "core/numtext.h"

namespace corvatin {

namespace {

// The row-label cell of row-line matrices stands under the header cell of three blanks.
const std::string kRowLabelColumn = "   ";
const std::string kNameColumn = "Name";

class TComposer {
public:
  TComposer(const Ptr<IObject>& structure, const TOutputOptions& options)
      : options_(options), params_(std::dynamic_pointer_cast<IParameters>(structure)),
        graph_(std::dynamic_pointer_cast<IGraph>(structure)) {
    if (auto molecule = std::dynamic_pointer_cast<IMolecule>(structure))
      name_ = molecule->GetName();
    else if (params_)
      name_ = params_->GetString("Name");
    name_ = CleanCell(name_);
  }

  bool Valid() const { return params_ != nullptr; }

  TComposedStructure Compose(const std::vector<TParamObject>& records) {
    out_.header.push_back(kNameColumn);
    for (const TParamObject& r : records)
      if (r.level == olMolecule && params_->HasParam(r.name)) HeaderCells(r.name, *params_->GetParam(r.name));
    out_.lines.push_back({{kNameColumn, name_.empty() ? "     " : name_, kNameColumn}});
    Log(name_, 4);
    ResultsLine("Molecule name: " + name_);
    ResultsLine("");
    for (const TParamObject& r : records)
      Section(r);
    return std::move(out_);
  }

private:
  void Log(const std::string& text, int kind) { out_.log.push_back({text, kind}); }
  void ResultsLine(const std::string& text) { out_.results += text + "\r\n"; }
  void Cell(std::string column, std::string text, const std::string& record) {
    // Cleaned in place: a cell is made for every value of every structure.
    for (std::string* s : {&column, &text})
      for (char& ch : *s)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) ch = ' ';
    out_.lines.back().push_back({std::move(column), std::move(text), record});
  }

  // The header cell of matrix element (i, j) (row lines off) or of column j (row lines on).
  std::string MatrixColumn(const IMatrixParameter& p, int rows, int i, int j) const {
    if (options_.rowLines) return p.GetColumnLabel(j);
    if (rows == 1) return ElementLabel(p, j);
    return FormatWithText(p.GetColumnLabel(j), p.GetShortCaption()) + "(" + p.GetRowLabel(i, i + 1) + ")";
  }

  static std::string NumberColumn(const std::string& record, const IParameter& p) {
    return p.GetShortCaption().empty() ? record : p.GetShortCaption();
  }

  void HeaderCells(const std::string& record, const IParameter& param) {
    if (param.GetKind() == ParamKind::Number) {
      out_.header.push_back(CleanCell(NumberColumn(record, param)));
      return;
    }
    const auto* p = dynamic_cast<const IMatrixParameter*>(&param);
    if (!p || !p->GetMatrix()) return;
    const IDoubleMatrix& m = *p->GetMatrix();
    if (options_.rowLines) {
      out_.header.push_back(kRowLabelColumn);
      for (int j = 0; j < m.GetColumnCount(); ++j)
        out_.header.push_back(CleanCell(p->GetColumnLabel(j)));
      return;
    }
    for (int i = 0; i < m.GetRowCount(); ++i)
      for (int j = 0; j < m.GetColumnCount(); ++j)
        if (!p->GetMask(i, j)) out_.header.push_back(CleanCell(MatrixColumn(*p, m.GetRowCount(), i, j)));
  }

  void ValueLines(const std::string& record, const IParameter& param, const std::string& prefix, bool toData) {
    const int precision = options_.precision;
    std::string text;
    if (const auto* number = dynamic_cast<const INumberParameter*>(&param)) {
      const double v = number->GetValue();
      if (toData) Cell(NumberColumn(record, param), FormatFixed(v, precision), record);
      text = FloatToText(v, precision);
    } else if (const auto* matrix = dynamic_cast<const IMatrixParameter*>(&param)) {
      MatrixLines(record, *matrix, prefix, toData);
      return;
    } else {
      text = param.GetText();
    }
    if (!param.GetShortCaption().empty()) text = param.GetShortCaption() + "=" + text;
    Log(prefix + text, 3);
    ResultsLine("\t" + prefix + text);
  }

  void MatrixLines(const std::string& record, const IMatrixParameter& p, const std::string& prefix, bool toData) {
    if (!p.GetMatrix()) return;
    const IDoubleMatrix& m = *p.GetMatrix();
    const int rows = m.GetRowCount();
    const bool hasBonds = graph_ && graph_->EdgeCount() > 0;
    for (int i = 0; i < rows; ++i) {
      if (toData && options_.rowLines && hasBonds) Cell(kRowLabelColumn, p.GetRowLabel(i, i + 1), record);
      std::string elements;
      for (int j = 0; j < m.GetColumnCount(); ++j) {
        const double v = m.Get(i, j);
        // A one-row matrix's column is headed by the element's label, which a labelled value shows too: made once.
        std::string label;
        const bool labelShared = options_.labelledValues && !options_.rowLines && rows == 1;
        if (labelShared) label = ElementLabel(p, j);
        if (toData && !p.GetMask(i, j))
          Cell(labelShared ? label : MatrixColumn(p, rows, i, j), FormatFixed(v, options_.precision), record);
        std::string text = FloatToText(v, options_.precision, true);
        if (options_.labelledValues) text = (labelShared ? label : ElementLabel(p, j)) + "=" + text;
        elements += (j > 0 ? "  \t" : "") + text;
      }
      const std::string line =
          (rows >= 2 ? CleanCell(p.GetRowLabel(i, i + 1)) + "\t" : std::string()) + prefix + elements;
      Log(line, 3);
      ResultsLine("\t" + line);
      if (toData && options_.rowLines && i + 1 < rows) out_.lines.push_back({{kNameColumn, "", record}});
    }
  }

  static std::string Symbol(const IVertex& vertex) {
    if (const IAtom* atom = AsAtom(&vertex)) return atom->GetSymbol();
    return vertex.GetString("Symbol");
  }

  void Section(const TParamObject& r) {
    if (r.level == olMolecule) {
      if (!params_->HasParam(r.name)) return;
      Heading(r.name);
      ValueLines(r.name, *params_->GetParam(r.name), "", true);
      ResultsLine("");
      return;
    }
    if (!graph_) return;
    const bool atoms = r.level == olAtom;
    const int count = atoms ? graph_->VertexCount() : graph_->EdgeCount();
    bool headed = false;
    for (int i = 0; i < count; ++i) {
      const IParameters& item = atoms ? static_cast<const IParameters&>(*graph_->GetVertex(i))
                                      : static_cast<const IParameters&>(*graph_->GetEdge(i));
      if (!item.HasParam(r.name)) continue;
      if (!headed) Heading(r.name);
      headed = true;
      std::string prefix;
      if (atoms) {
        prefix = std::to_string(i + 1) + " " + Symbol(*graph_->GetVertex(i)) + "\t";
      } else {
        const IEdge* bond = graph_->GetEdge(i);
        // Appended piece by piece: g++ 12 at -O3 reports a false -Wrestrict on "[" + std::string.
        prefix.append(1, '[').append(std::to_string(bond->GetVertex1()->GetIndex() + 1)).append(", ");
        prefix.append(std::to_string(bond->GetVertex2()->GetIndex() + 1)).append("]  \t");
      }
      ValueLines(r.name, *item.GetParam(r.name), prefix, false);
    }
    if (headed) ResultsLine("");
  }

  void Heading(const std::string& name) {
    Log(name + ":", 0);
    ResultsLine("\t" + name + ":");
  }

  const TOutputOptions& options_;
  Ptr<IParameters> params_;
  Ptr<IGraph> graph_;
  std::string name_;
  TComposedStructure out_;
};

} // namespace

TComposedStructure ComposeStructure(const Ptr<IObject>& structure, const std::vector<TParamObject>& records,
                                    const TOutputOptions& options) {
  TComposer composer(structure, options);
  if (!composer.Valid()) return {};
  return composer.Compose(records);
}

} // namespace corvatin
