#include "classify/classifier.h"

#include "core/parameters.h"

#include <algorithm>
#include <exception>

namespace corvatin {

namespace {

/// Sets a flag for a scope and restores its previous value however the scope ends.
struct FlagGuard {
  bool& flag;
  bool saved;
  explicit FlagGuard(bool& f) : flag(f), saved(f) { flag = true; }
  ~FlagGuard() { flag = saved; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;
};

} // namespace

TClassifier::TClassifier() : notifier_(this) {}

TClassifier::~TClassifier() {
  // Listeners are plain links in the molecule's notifier: leave it before going away.
  Observe(false);
}

void TClassifier::Observe(bool flag) {
  auto* host = dynamic_cast<INotifierHost*>(molecule_.get());
  if (!host) return;
  if (flag)
    host->Notifier().Subscribe(geGraphChanged, this);
  else
    host->Notifier().RemoveListener(this);
}

void TClassifier::AddClassification(const Ptr<IClassification>& c) {
  if (!c || std::find(classifications_.begin(), classifications_.end(), c) != classifications_.end()) return;
  classifications_.push_back(c);
  if (molecule_) {
    FlagGuard guard(updating_);
    c->Classify(std::dynamic_pointer_cast<ISubGraph>(molecule_));
  }
  RebuildNames();
}

void TClassifier::SetClassifications(const std::vector<Ptr<IObject>>& blocks) {
  classifications_.clear();
  for (const Ptr<IObject>& block : blocks) {
    auto c = std::dynamic_pointer_cast<IClassification>(block);
    if (!c) continue;
    classifications_.push_back(c);
    if (molecule_) {
      FlagGuard guard(updating_);
      c->Classify(std::dynamic_pointer_cast<ISubGraph>(molecule_));
    }
  }
  RebuildNames();
}

void TClassifier::Refresh() {
  Update(ulComputed);
  notifier_.Notify(ceClassifierChanged);
}

void TClassifier::Select(const Ptr<IObject>& source, int kind) {
  if (source == selection_) return;
  const bool notify = !selection_ || kind != kind_;
  selection_ = source;
  kind_ = kind;
  RebuildNames();
  if (notify) notifier_.Notify(ceClassifierChanged);
}

void TClassifier::GetValueNames(int kind, std::vector<std::string>& list) const {
  for (const Ptr<IClassification>& c : classifications_) {
    const int count = c->GetValueCount(kind);
    for (int i = 0; i < count; ++i) {
      std::string name = c->GetValueName(kind, i);
      // The bond kind is edited with the bond itself; it is never a weight.
      if (name != "Bond Type") list.push_back(std::move(name));
    }
  }
}

void TClassifier::ClearSelection() {
  selection_.reset();
  kind_ = -1;
  RebuildNames();
}

void TClassifier::SetGraph(const Ptr<IGraph>& molecule) {
  Observe(false);
  molecule_ = molecule;
  Invalidate();
  if (molecule_) {
    Update(ulComputed);
    Observe(true);
  }
  ClearSelection();
}

void TClassifier::RebuildNames() {
  names_.clear();
  if (kind_ >= 0) GetValueNames(kind_, names_);
}

void TClassifier::RemoveValues(IClassification& c) {
  for (int kind = ekAtoms; kind <= ekMolecule; ++kind) {
    const int count = c.GetValueCount(kind);
    for (int i = 0; i < count; ++i) {
      const std::string name = c.GetValueName(kind, i);
      if (kind == ekAtoms)
        molecule_->RemoveVertexParam(name);
      else if (kind == ekBonds)
        molecule_->RemoveEdgeParam(name);
      else
        molecule_->DeleteParam(name);
    }
  }
}

void TClassifier::Update(int level) {
  if (!molecule_) return;
  if (valid_ && level_ <= level) return;
  FlagGuard guard(updating_);
  // Invalid until every classification has run, so that an error leaves the values marked stale.
  valid_ = false;
  const Ptr<ISubGraph> structure = std::dynamic_pointer_cast<ISubGraph>(molecule_);
  for (const Ptr<IClassification>& c : classifications_) {
    const int own = c->GetUpdateLevel();
    if (own >= level)
      c->Classify(structure);
    else if (own == ulComputed)
      RemoveValues(*c); // values that would be wrong for the changed structure go until the next Refresh
  }
  valid_ = true;
  level_ = level;
}

void TClassifier::Notify(int eventCode, IObject* /*sender*/, const std::any& data) {
  // The classifications write values onto the molecule; the changes that causes are our own.
  if (eventCode != geGraphChanged || updating_) return;
  const int* kind = std::any_cast<int>(&data);
  if (!kind) return;
  int level;
  if (*kind >= gcCleared)
    level = ulReader;
  else if (*kind >= gcIdentity)
    level = ulStandard;
  else
    return;
  Invalidate();
  // This runs inside the code that changed the molecule (an editor command, a reader); an error here must not
  // unwind through it, so it is kept for the caller to show and the values stay marked stale.
  try {
    Update(level);
    lastError_.clear();
  } catch (const std::exception& e) {
    lastError_ = e.what();
  }
}

} // namespace corvatin
