#pragma once
// Named, typed parameters: every processing object (graph, vertex, edge, block) is an ordered container of them,
// and one process-wide container, the shared data space, carries the structures blocks hand to each other.

#include "core/matrix.h"
#include "core/notifier.h"
#include "core/object.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <typeindex>
#include <utility>
#include <vector>

namespace corvatin {

class IParamEdit;
class IParameters;
class INumberParameter;
class IBoolParameter;
class IStringParameter;

/// Parameter kind codes (4, 5 and 7 are not used).
enum class ParamKind : std::uint8_t { Base = 0, Number = 1, Bool = 2, String = 3, Matrix = 6, Interface = 8 };

/// Event codes of parameter containers and editors.
enum ParamEvent : int {
  peValueEdited = 0,       ///< an editor finished an edit (sent on the editor's notifier)
  peParametersChanged = 1, ///< entries added or removed, or a value edited (sent on the container's notifier)
};

/// One named, typed value.
class IParameter : public virtual IObject {
public:
  virtual ParamKind GetKind() const = 0;
  virtual std::string GetText() const = 0;
  virtual bool GetReadOnly() const = 0;
  /// false attaches the kind's default editor when none is attached; without an editor it stays read-only.
  virtual void SetReadOnly(bool flag) = 0;
  virtual Ptr<IParamEdit> GetEditor() const = 0;
  /// Detaches the previous editor and attaches edit (ignored when read-only and edit is none).
  virtual void SetEditor(const Ptr<IParamEdit>& edit) = 0;
  virtual std::string GetShortCaption() const = 0;
  virtual void SetShortCaption(const std::string& text) = 0;
  virtual std::string GetName() const = 0;
  virtual int GetGroupSize() const = 0;
  /// A copy holding the same value (matrices deep-copied, interface values shared); editor not copied.
  virtual Ptr<IParameter> Clone() const = 0;
  /// This parameter's typed face, none for other kinds: the containers' by-name reads and writes use these
  /// instead of a cross-cast, which dominated classification and output time.
  virtual INumberParameter* AsNumber() { return nullptr; }
  virtual IBoolParameter* AsBool() { return nullptr; }
  virtual IStringParameter* AsString() { return nullptr; }
};

class INumberParameter : public virtual IParameter {
public:
  virtual double GetValue() const = 0;
  virtual void SetValue(double value) = 0;
};

class IBoolParameter : public virtual IParameter {
public:
  virtual bool GetValue() const = 0;
  virtual void SetValue(bool value) = 0;
};

class IStringParameter : public virtual IParameter {
public:
  virtual std::string GetValue() const = 0;
  virtual void SetValue(const std::string& value) = 0;
};

class IMatrixParameter : public virtual IParameter {
public:
  virtual Ptr<IDoubleMatrix> GetMatrix() const = 0;
  /// The j-th column label, or the decimal text of j beyond the labels.
  virtual std::string GetColumnLabel(int j) const = 0;
  /// The i-th row label; beyond the labels the row-label format applied to n, or the decimal text of n.
  virtual std::string GetRowLabel(int i, int n) const = 0;
  /// Whether element (i, j) is hidden from the data file; false beyond the mask.
  virtual bool GetMask(int i, int j) const = 0;
};

class IInterfaceParameter : public virtual IParameter {
public:
  virtual bool HasIdentifier(std::type_index id) const = 0;
  virtual Ptr<IObject> GetValue() const = 0;
  virtual Ptr<IParameters> GetAsParameters() const = 0;
};

/// The link of an interactive editor (the shell's editors implement it).
class IParamEdit : public virtual IObject, public INotifierHost {
public:
  virtual IParameter* GetParam() const = 0;
  /// Stores a plain link (none detaches).
  virtual void SetParam(IParameter* param) = 0;
};

/// Creates the default editor of a parameter kind; the shell installs one. Without it, no editor is created and
/// parameters stay read-only.
using DefaultEditorFactory = Ptr<IParamEdit> (*)(IParameter& param);
void SetDefaultEditorFactory(DefaultEditorFactory factory);

/// Observer of a parameter container (found among the container's listeners).
class IParamObserver {
public:
  virtual ~IParamObserver() = default;
  virtual void ParametersChanged() = 0;
  virtual void ParameterChanged(IParameter* param) = 0;
};

/// Base of the parameter kinds.
class TParameter : public virtual IParameter {
public:
  TParameter(ParamKind kind, std::string name, std::string shortCaption = {}, int groupSize = 0);
  ~TParameter() override;

  ParamKind GetKind() const override { return kind_; }
  std::string GetText() const override { return {}; }
  bool GetReadOnly() const override { return readOnly_; }
  void SetReadOnly(bool flag) override;
  Ptr<IParamEdit> GetEditor() const override { return editor_; }
  void SetEditor(const Ptr<IParamEdit>& edit) override;
  std::string GetShortCaption() const override { return shortCaption_; }
  void SetShortCaption(const std::string& text) override { shortCaption_ = text; }
  std::string GetName() const override { return name_; }
  int GetGroupSize() const override { return groupSize_; }
  Ptr<IParameter> Clone() const override;

protected:
  /// The kind's default editor (none for the base, matrices and interfaces).
  virtual Ptr<IParamEdit> CreateDefaultEditor();
  void CopyCommonTo(TParameter& other) const;

private:
  ParamKind kind_;
  bool readOnly_ = true;
  Ptr<IParamEdit> editor_;
  std::string shortCaption_;
  int groupSize_;
  std::string name_;
};

class TNumberParameter : public TParameter, public virtual INumberParameter {
public:
  TNumberParameter(const std::string& name, double value, const std::string& shortCaption = {});
  std::string GetText() const override;
  double GetValue() const override { return value_; }
  void SetValue(double value) override { value_ = value; }
  Ptr<IParameter> Clone() const override;
  INumberParameter* AsNumber() override { return this; }

protected:
  Ptr<IParamEdit> CreateDefaultEditor() override;

private:
  double value_;
};

class TBoolParameter : public TParameter, public virtual IBoolParameter {
public:
  /// attribute: the number of following parameters that form this switch's group.
  TBoolParameter(const std::string& name, bool value, int attribute = 0);
  std::string GetText() const override { return value_ ? "yes" : "no"; }
  bool GetValue() const override { return value_; }
  void SetValue(bool value) override { value_ = value; }
  Ptr<IParameter> Clone() const override;
  IBoolParameter* AsBool() override { return this; }

protected:
  Ptr<IParamEdit> CreateDefaultEditor() override;

private:
  bool value_;
};

class TStringParameter : public TParameter, public virtual IStringParameter {
public:
  TStringParameter(const std::string& name, const std::string& value, const std::string& shortCaption = {});
  std::string GetText() const override { return value_; }
  std::string GetValue() const override { return value_; }
  void SetValue(const std::string& value) override { value_ = value; }
  Ptr<IParameter> Clone() const override;
  IStringParameter* AsString() override { return this; }

protected:
  Ptr<IParamEdit> CreateDefaultEditor() override;

private:
  std::string value_;
};

class TMatrixParameter : public TParameter, public virtual IMatrixParameter {
public:
  TMatrixParameter(Ptr<IDoubleMatrix> matrix, const std::string& shortCaption = {},
                   const std::string& rowLabelFormat = {});
  TMatrixParameter(Ptr<IDoubleMatrix> matrix, const std::string& shortCaption, const std::string& rowLabelFormat,
                   std::vector<std::string> columnLabels, std::vector<std::string> rowLabels);
  TMatrixParameter(Ptr<IDoubleMatrix> matrix, const std::string& shortCaption, const std::string& rowLabelFormat,
                   std::vector<std::string> columnLabels, std::vector<std::string> rowLabels,
                   std::vector<bool> mask);
  std::string GetText() const override;
  Ptr<IDoubleMatrix> GetMatrix() const override { return matrix_; }
  std::string GetColumnLabel(int j) const override;
  std::string GetRowLabel(int i, int n) const override;
  bool GetMask(int i, int j) const override;
  Ptr<IParameter> Clone() const override;

private:
  Ptr<IDoubleMatrix> matrix_;
  std::vector<std::string> columnLabels_;
  std::vector<std::string> rowLabels_;
  std::string rowLabelFormat_;
  std::vector<bool> mask_;
};

class TInterfaceParameter : public TParameter, public virtual IInterfaceParameter {
public:
  TInterfaceParameter(std::type_index id, Ptr<IObject> value);
  bool HasIdentifier(std::type_index id) const override { return id == id_; }
  Ptr<IObject> GetValue() const override { return value_; }
  Ptr<IParameters> GetAsParameters() const override;
  Ptr<IParameter> Clone() const override;

private:
  std::type_index id_;
  Ptr<IObject> value_;
};

/// An interface parameter storing value under the identifier of interface T.
template <class T> Ptr<TInterfaceParameter> MakeInterfaceParam(const Ptr<T>& value) {
  return std::make_shared<TInterfaceParameter>(std::type_index(typeid(T)), std::static_pointer_cast<IObject>(value));
}

/// The flat, indexable view of a container (inspector, packages).
class IParamList : public virtual IObject {
public:
  virtual int Count() const = 0;
  virtual Ptr<IParameter> GetParamAt(int index) const = 0; ///< throws std::out_of_range
  virtual std::string GetNameAt(int index) const = 0;       ///< throws std::out_of_range
};

/// An ordered container of named parameters; reads of missing names return 0, false, "" or none.
class IParameters : public virtual IObject {
public:
  virtual void Clear() = 0;
  virtual bool HasParam(std::string_view name) const = 0;
  virtual Ptr<IParameter> GetParam(std::string_view name) const = 0;
  virtual Ptr<INumberParameter> GetNumberParam(std::string_view name) const = 0;
  virtual double GetFloat(std::string_view name) const = 0;
  virtual void SetFloat(std::string_view name, double value) = 0;
  /// The number rounded to the nearest integer, ties to even.
  virtual std::int64_t GetInt(std::string_view name) const = 0;
  virtual bool GetBool(std::string_view name) const = 0;
  virtual void SetBool(std::string_view name, bool value) = 0;
  virtual std::string GetString(std::string_view name) const = 0;
  virtual void SetString(std::string_view name, const std::string& value) = 0;
  virtual Ptr<IDoubleMatrix> GetMatrix(std::string_view name) const = 0;
  /// The object stored in the interface parameter name (none when missing).
  virtual Ptr<IObject> GetInterfaceObject(std::string_view name) const = 0;
  virtual std::string GetShortCaptionOf(std::string_view name) const = 0;
  virtual void SetShortCaptionOf(std::string_view name, const std::string& text) = 0;
  /// Adds (or replaces in place) the entry, attaches editor, sets read-only, notifies parameters changed.
  virtual void AddParam(const std::string& name, const Ptr<IParameter>& param, const Ptr<IParamEdit>& editor,
                        bool readOnly) = 0;
  virtual void DeleteParam(std::string_view name) = 0;

  /// The entry's parameter as interface T (none when missing or of another kind).
  template <class T> Ptr<T> QueryParam(std::string_view name) const {
    return std::dynamic_pointer_cast<T>(GetParam(name));
  }
  /// The interface stored in the interface parameter name, as T (none when missing or unsupported).
  template <class T> Ptr<T> GetInterface(std::string_view name) const {
    return std::dynamic_pointer_cast<T>(GetInterfaceObject(name));
  }
};

/// The container implementation; graphs, vertices, edges and blocks derive from it.
class TParameters : public virtual IParameters, public virtual IParamList, public INotifierHost, public IListener {
public:
  TParameters();
  ~TParameters() override;
  TParameters(const TParameters&) = delete;
  TParameters& operator=(const TParameters&) = delete;

  void Clear() override;
  bool HasParam(std::string_view name) const override { return Find(name) >= 0; }
  Ptr<IParameter> GetParam(std::string_view name) const override;
  Ptr<INumberParameter> GetNumberParam(std::string_view name) const override;
  double GetFloat(std::string_view name) const override;
  void SetFloat(std::string_view name, double value) override;
  std::int64_t GetInt(std::string_view name) const override;
  bool GetBool(std::string_view name) const override;
  void SetBool(std::string_view name, bool value) override;
  std::string GetString(std::string_view name) const override;
  void SetString(std::string_view name, const std::string& value) override;
  Ptr<IDoubleMatrix> GetMatrix(std::string_view name) const override;
  Ptr<IObject> GetInterfaceObject(std::string_view name) const override;
  std::string GetShortCaptionOf(std::string_view name) const override;
  void SetShortCaptionOf(std::string_view name, const std::string& text) override;
  void AddParam(const std::string& name, const Ptr<IParameter>& param, const Ptr<IParamEdit>& editor,
                bool readOnly) override;
  void DeleteParam(std::string_view name) override;

  int Count() const override { return static_cast<int>(entries_.size()); }
  Ptr<IParameter> GetParamAt(int index) const override;
  std::string GetNameAt(int index) const override;

  TNotifier& Notifier() override { return notifier_; }
  void Notify(int eventCode, IObject* sender, const std::any& data) override;

  /// Copies every entry of source (values cloned, so the two containers never share a value).
  void AssignParams(const IParamList& source);

  /// SetFloat and SetString for a caller that writes the same entry over and over (an atom's coordinates, a
  /// molecule's completion tags after every change): the entry at hint, an index the call keeps up to date, is
  /// tried before the search. The effect is that of SetFloat and SetString.
  void SetFloatAt(int& hint, std::string_view name, double value) {
    // Inline for the usual case, a number written by name before and found at the hint under the interned name
    // the caller passes (every change of a molecule rewrites its two completion tags this way).
    if (hint >= 0 && static_cast<size_t>(hint) < entries_.size()) {
      TEntry& e = entries_[static_cast<size_t>(hint)];
      if (!e.param && e.kind == ParamKind::Number && e.name->data() == name.data() && e.name->size() == name.size()) {
        e.number = value;
        return;
      }
    }
    SetFloatFrom(hint, name, value);
  }
  void SetStringAt(int& hint, std::string_view name, const std::string& value);

protected:
  /// Whether the entry at hint (a position kept by the caller) is the one named name.
  bool HasEntryAt(int hint, std::string_view name) const;
  /// Tells the observers that entries were added or removed.
  void NotifyParametersChanged();
  /// Called after the string entry name was written through SetString, and after an editor attached to the
  /// entry name reported an edit (before the observers hear of it). The default does nothing; a container
  /// whose fields mirror a parameter (a bond's kind and its "Bond Type" text) takes the new value from here.
  virtual void ParamValueSet(const std::string& name);

private:
  // An entry: its interned name, and either the parameter object it was given (or that a caller asked for) or,
  // for the number, switch and text values written by name, the value itself. Descriptor runs write tens of
  // values on every atom and bond; an object (with its editor link, caption and name) per value cost more than
  // the chemistry, so the object is made only when someone asks for it, and then replaces the inline value.
  struct TEntry {
    const std::string* name;
    ParamKind kind = ParamKind::Number; // of the inline value; of no meaning once param is set
    bool flag = false;
    double number = 0.0;
    std::string text;
    mutable Ptr<IParameter> param;
  };

  int Find(std::string_view name) const;
  /// Find, trying the entry at hint first.
  int FindFrom(int hint, std::string_view name) const;
  /// SetFloatAt past its inline case.
  void SetFloatFrom(int& hint, std::string_view name, double value);
  /// The entry named name, appended (as an inline number 0) when missing.
  TEntry& Slot(std::string_view name, bool& added);
  /// Slot with the entry's position already searched for (i, or -1 when missing).
  TEntry& SlotAt(int i, std::string_view name, bool& added);
  /// Makes the entry an inline value of kind, letting go of a parameter object of another kind.
  void MakeInline(TEntry& entry, ParamKind kind);
  /// The entry's parameter object, made from its inline value on first request.
  const Ptr<IParameter>& Materialise(const TEntry& entry) const;
  void Detach(const Ptr<IParameter>& param);

  TNotifier notifier_;
  std::vector<TEntry> entries_;
  std::uint64_t nameBits_ = 0; // NameBit of every name entered since the last Clear (deleted ones stay)
};

/// The one stored copy of a parameter name: equal names give the same object, which lives as long as the
/// process (parameter entries hold names this way instead of a copy each). Safe from any thread.
const std::string& InternParamName(std::string_view name);

/// The process-wide shared data space (created on first request).
Ptr<TParameters> SharedDataSpace();

} // namespace corvatin
