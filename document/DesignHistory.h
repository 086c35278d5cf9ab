#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "DrawObject.h"

namespace azuz {

class CORVELIXImageToolDoc;

// What undo gives back: the objects in their order with every field, the page size and the fade
// pattern. Pictures are shared with the design, so a snapshot never reads a file again.
struct DesignSnapshot {
  std::vector<std::unique_ptr<DrawObject>> objects;
  std::int32_t pageWidth = 0;
  std::int32_t pageHeight = 0;
  std::int32_t fadeLevel = 0;
  std::int32_t patternMethod = 0;
};

// A copy of the design as it is now. May throw std::bad_alloc.
DesignSnapshot CopyDesign(const CORVELIXImageToolDoc& doc);
// Whether the design is still as the snapshot holds it; selection states do not count.
bool SameDesign(const DesignSnapshot& snapshot, const CORVELIXImageToolDoc& doc);

// Undo and redo, one step per user action. A step opens before the design changes and is
// recorded when it closes, only if the design did change; every step keeps the whole design as
// it was on its other side. Both lists together hold at most `maxSteps` steps and about
// `maxBytes` of memory (pictures counted once); the oldest steps go first, the newest stays.
class DesignHistory {
 public:
  static constexpr std::size_t kMaxSteps = 1000;
  static constexpr std::size_t kMaxBytes = std::size_t{64} * 1024 * 1024;

  DesignHistory() = default;
  DesignHistory(const DesignHistory&) = delete;
  DesignHistory& operator=(const DesignHistory&) = delete;
  DesignHistory(DesignHistory&&) = default;
  DesignHistory& operator=(DesignHistory&&) = default;

  // Called whenever what can be undone or redone changed (captions, enabling).
  std::function<void()> Changed;

  void SetLimits(std::size_t maxSteps, std::size_t maxBytes);

  // Opens a step named for the menu ("Move", "Add Rectangle") and returns its number; a step
  // still open is closed first, so a gesture whose end was never seen cannot swallow the next
  // action. Without the memory for the copy no step opens (0): that action cannot be undone.
  std::uint64_t BeginStep(const CORVELIXImageToolDoc& doc, std::string name);
  // Closes the open step, recording it when the design changed since it opened (a new step
  // ends what could be redone); true when recorded. Nothing open: false.
  bool EndStep(const CORVELIXImageToolDoc& doc) noexcept;
  // The same, only when the open step is the one numbered `step`: a gesture closes its own.
  bool EndStep(const CORVELIXImageToolDoc& doc, std::uint64_t step) noexcept;
  bool StepOpen() const { return open_ != nullptr; }
  bool IsOpen(std::uint64_t step) const { return open_ != nullptr && step == openNumber_; }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // The name of the step Undo or Redo would take back or do again; empty when there is none.
  std::string UndoName() const;
  std::string RedoName() const;

  // Brings the design back to the other side of the newest step (an open step is closed
  // first). No object is left selected; the caller refreshes the panel and the page. False
  // when there was nothing to do.
  bool Undo(CORVELIXImageToolDoc& doc);
  bool Redo(CORVELIXImageToolDoc& doc);

  // A fresh history: a new or opened design.
  void Clear();

  std::size_t UndoCount() const { return undo_.size(); }
  std::size_t RedoCount() const { return redo_.size(); }
  // The memory the recorded steps hold, by the estimate the bound uses.
  std::size_t BytesHeld() const { return objectBytes_ + pictureBytes_; }

 private:
  struct Step {
    std::string name;
    DesignSnapshot design;  // the design on the step's other side
    std::size_t bytes = 0;
  };

  std::size_t maxSteps_ = kMaxSteps;
  std::size_t maxBytes_ = kMaxBytes;
  std::vector<Step> undo_;  // oldest first
  std::vector<Step> redo_;  // the next redo last
  std::unique_ptr<Step> open_;
  std::uint64_t openNumber_ = 0;
  std::size_t objectBytes_ = 0;
  std::size_t pictureBytes_ = 0;
  // Pictures the recorded steps hold, each with the number of objects holding it.
  std::unordered_map<const Picture*, std::size_t> pictures_;

  void Hold(Step& step);
  void Release(const Step& step);
  void Bound();
  bool Swap(CORVELIXImageToolDoc& doc, std::vector<Step>& from, std::vector<Step>& to);
  void Notify() const {
    if (Changed) {
      Changed();
    }
  }
};

}  // namespace azuz
