#pragma once
// The classifier keeps the values of a set of classifications current on one molecule being edited (the editor's
// molecule) and publishes the value names of the element kind the property inspector shows.

#include "classify/classification.h"
#include "core/notifier.h"

#include <string>
#include <vector>

namespace corvatin {

/// Event code on the classifier's notifier: the selection's value names or the values were refreshed.
enum ClassifierEvent : int { ceClassifierChanged = 0 };

/// Keeps classification values current on a molecule.
class IClassifier : public virtual IObject {
public:
  /// Appends c when not yet listed, classifies the molecule with it (when one is set) and rebuilds the names.
  virtual void AddClassification(const Ptr<IClassification>& c) = 0;
  /// Replaces the list by every block of blocks that is a classification, classifying the molecule with each.
  virtual void SetClassifications(const std::vector<Ptr<IObject>>& blocks) = 0;
  /// Brings file and charge values back (update at level 2), then notifies.
  virtual void Refresh() = 0;
  /// The object whose values are shown (an atom, a bond or the molecule), or none.
  virtual Ptr<IObject> GetSelection() const = 0;
  /// Selects source and its element kind; a new source rebuilds the names, notifying when nothing was selected
  /// before or the kind changed.
  virtual void Select(const Ptr<IObject>& source, int kind) = 0;
  /// Appends every value name of kind, classification by classification, except "Bond Type".
  virtual void GetValueNames(int kind, std::vector<std::string>& list) const = 0;
  virtual void ClearSelection() = 0;
  virtual Ptr<IGraph> GetGraph() const = 0;
  /// Observes molecule instead of the previous one; its values are brought up to date (level 2).
  virtual void SetGraph(const Ptr<IGraph>& molecule) = 0;
};

/// The classifier. Reacts to the molecule's changes: a cleared molecule is classified anew at level 1 (every
/// classification), a changed element, bond kind or topology at level 3 (standard values recomputed, file and
/// charge values removed until the next Refresh); value and coordinate changes are ignored.
class TClassifier : public virtual IClassifier, public IListener, public INotifierHost {
public:
  TClassifier();
  ~TClassifier() override;
  TClassifier(const TClassifier&) = delete;
  TClassifier& operator=(const TClassifier&) = delete;

  void AddClassification(const Ptr<IClassification>& c) override;
  void SetClassifications(const std::vector<Ptr<IObject>>& blocks) override;
  void Refresh() override;
  Ptr<IObject> GetSelection() const override { return selection_; }
  void Select(const Ptr<IObject>& source, int kind) override;
  void GetValueNames(int kind, std::vector<std::string>& list) const override;
  void ClearSelection() override;
  Ptr<IGraph> GetGraph() const override { return molecule_; }
  void SetGraph(const Ptr<IGraph>& molecule) override;

  /// The value names of the selected element kind (empty without a selection).
  const std::vector<std::string>& GetNames() const { return names_; }
  /// The selected element kind, -1 without a selection.
  int GetSelectedKind() const { return kind_; }
  const std::vector<Ptr<IClassification>>& GetClassifications() const { return classifications_; }
  /// Whether the values are current, and the level they were computed at (0 when not current).
  bool IsValid() const { return valid_; }
  int GetValidLevel() const { return valid_ ? level_ : 0; }
  /// The message of the last error a molecule change caused (an update run from a change notification cannot
  /// raise into the code that changed the molecule); empty when the last such update succeeded.
  const std::string& GetLastError() const { return lastError_; }

  /// Recomputes or removes values as level asks (see the class comment); nothing when the values are current
  /// at this level or a lower one.
  void Update(int level);

  TNotifier& Notifier() override { return notifier_; }
  void Notify(int eventCode, IObject* sender, const std::any& data) override;

private:
  void Invalidate() { valid_ = false; }
  void RebuildNames();
  void RemoveValues(IClassification& c);
  void Observe(bool flag);

  TNotifier notifier_;
  Ptr<IGraph> molecule_;
  Ptr<IObject> selection_;
  int kind_ = -1;
  bool valid_ = false;
  int level_ = 0;
  bool updating_ = false;
  std::vector<Ptr<IClassification>> classifications_;
  std::vector<std::string> names_;
  std::string lastError_;
};

} // namespace corvatin
