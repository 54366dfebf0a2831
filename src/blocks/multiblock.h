#pragma once
// A block made of child blocks: runs either one selected child or every child in order (the file input, for
// example, selects the reader for the file's extension).

#include "blocks/block.h"

#include <cstdint>
#include <vector>

namespace corvatin {

/// Modes of a multi-block.
enum MultiBlockMode : std::uint8_t {
  mbSelected = 0, ///< run the selected child only
  mbAll = 1,      ///< run every child in list order
};

class TMultiBlock : public TBlock {
public:
  /// children: entries that are not blocks (or are none) are skipped.
  TMultiBlock(int portCount, const std::vector<Ptr<IObject>>& children, std::uint8_t mode);

  /// Renames the port here and the same port of every child that has it.
  void SetPortName(int index, const std::string& name) override;
  void Execute(bool& more) override;
  void Start(IWorkerThread* thread) override;
  void Stop() override;
  void SetProgress(const Ptr<IProgressCallback>& callback) override;
  void SetLog(const Ptr<IProgressLog>& log) override;

  /// index >= 0 selects that child (std::out_of_range beyond the children); a negative index clears the selection.
  void SelectChild(int index);
  Ptr<IBlock> GetSelected() const { return selected_; }
  int GetChildCount() const { return static_cast<int>(children_.size()); }
  /// Throws std::out_of_range.
  Ptr<IBlock> GetChild(int index) const;
  std::uint8_t GetMode() const { return mode_; }

private:
  std::vector<Ptr<IBlock>> children_;
  Ptr<IBlock> selected_;
  std::uint8_t mode_;
};

} // namespace corvatin
