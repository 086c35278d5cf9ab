#include "DesignHistory.h"

#include <new>
#include <utility>

#include "CORVELIXImageToolDoc.h"

namespace azuz {

namespace {

// What the allocator adds to every block it hands out, near enough for a bound.
constexpr std::size_t kBlockOverhead = 16;

std::size_t HeapBytes(const std::string& s) {
  // Short strings live inside the object.
  return s.capacity() > 15 ? s.capacity() + 1 + kBlockOverhead : 0;
}

std::size_t ObjectBytes(const DrawObject& o) {
  return sizeof(std::unique_ptr<DrawObject>) + sizeof(DrawObject) + kBlockOverhead +
         HeapBytes(o.text) + HeapBytes(o.picturePath) + HeapBytes(o.pictureError);
}

std::size_t PictureBytes(const Picture& p) {
  return sizeof(Picture) + p.pixels.capacity() * sizeof(std::uint32_t) +
         p.rowSlots.capacity() * sizeof(std::int32_t);
}

bool SameObject(const DrawObject& a, const DrawObject& b) {
  return a.kind == b.kind && a.left == b.left && a.top == b.top && a.right == b.right &&
         a.bottom == b.bottom && a.picture == b.picture && a.picturePath == b.picturePath &&
         a.text == b.text && a.font == b.font && a.textColour == b.textColour &&
         a.rotation == b.rotation && a.penWidth == b.penWidth && a.penColour == b.penColour &&
         a.fillColour == b.fillColour;
}

}  // namespace

DesignSnapshot CopyDesign(const CORVELIXImageToolDoc& doc) {
  DesignSnapshot snapshot;
  snapshot.objects.reserve(doc.objects.size());
  for (const auto& object : doc.objects) {
    snapshot.objects.push_back(std::make_unique<DrawObject>(*object));
  }
  snapshot.pageWidth = doc.pageWidth;
  snapshot.pageHeight = doc.pageHeight;
  snapshot.fadeLevel = doc.fadeLevel;
  snapshot.patternMethod = doc.patternMethod;
  return snapshot;
}

bool SameDesign(const DesignSnapshot& snapshot, const CORVELIXImageToolDoc& doc) {
  if (snapshot.pageWidth != doc.pageWidth || snapshot.pageHeight != doc.pageHeight ||
      snapshot.fadeLevel != doc.fadeLevel || snapshot.patternMethod != doc.patternMethod ||
      snapshot.objects.size() != doc.objects.size()) {
    return false;
  }
  for (std::size_t i = 0; i < doc.objects.size(); ++i) {
    if (!SameObject(*snapshot.objects[i], *doc.objects[i])) {
      return false;
    }
  }
  return true;
}

void DesignHistory::SetLimits(std::size_t maxSteps, std::size_t maxBytes) {
  maxSteps_ = maxSteps;
  maxBytes_ = maxBytes;
  Bound();
  Notify();
}

std::uint64_t DesignHistory::BeginStep(const CORVELIXImageToolDoc& doc, std::string name) {
  EndStep(doc);
  try {
    auto step = std::make_unique<Step>();
    step->name = std::move(name);
    step->design = CopyDesign(doc);
    open_ = std::move(step);
  } catch (const std::bad_alloc&) {
    open_.reset();
    return 0;
  }
  return ++openNumber_;
}

bool DesignHistory::EndStep(const CORVELIXImageToolDoc& doc, std::uint64_t step) noexcept {
  return IsOpen(step) && EndStep(doc);
}

bool DesignHistory::EndStep(const CORVELIXImageToolDoc& doc) noexcept {
  if (!open_) {
    return false;
  }
  const std::unique_ptr<Step> step = std::move(open_);
  if (SameDesign(step->design, doc)) {
    return false;
  }
  try {
    undo_.reserve(undo_.size() + 1);
    Hold(*step);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (const Step& undone : redo_) {
    Release(undone);
  }
  redo_.clear();
  undo_.push_back(std::move(*step));
  Bound();
  Notify();
  return true;
}

std::string DesignHistory::UndoName() const {
  return undo_.empty() ? std::string() : undo_.back().name;
}

std::string DesignHistory::RedoName() const {
  return redo_.empty() ? std::string() : redo_.back().name;
}

bool DesignHistory::Undo(CORVELIXImageToolDoc& doc) {
  EndStep(doc);
  return Swap(doc, undo_, redo_);
}

bool DesignHistory::Redo(CORVELIXImageToolDoc& doc) {
  EndStep(doc);
  return Swap(doc, redo_, undo_);
}

// The step's design goes into the document and the document's present design into the step,
// which moves to the other list: no object is copied either way.
bool DesignHistory::Swap(CORVELIXImageToolDoc& doc, std::vector<Step>& from,
                         std::vector<Step>& to) {
  if (from.empty()) {
    return false;
  }
  try {
    to.reserve(to.size() + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  Step step = std::move(from.back());
  from.pop_back();
  Release(step);

  DesignSnapshot present;
  present.objects = std::move(doc.objects);
  present.pageWidth = doc.pageWidth;
  present.pageHeight = doc.pageHeight;
  present.fadeLevel = doc.fadeLevel;
  present.patternMethod = doc.patternMethod;

  doc.selectedObject = nullptr;
  doc.objects = std::move(step.design.objects);
  doc.pageWidth = step.design.pageWidth;
  doc.pageHeight = step.design.pageHeight;
  doc.fadeLevel = step.design.fadeLevel;
  doc.patternMethod = step.design.patternMethod;
  for (auto& object : doc.objects) {
    object->selectState = 0;
  }

  step.design = std::move(present);
  try {
    Hold(step);
  } catch (const std::bad_alloc&) {
    // Without room to count it the step cannot be kept; the design is restored all the same.
    Notify();
    return true;
  }
  to.push_back(std::move(step));
  Bound();
  Notify();
  return true;
}

void DesignHistory::Clear() {
  open_.reset();
  undo_.clear();
  redo_.clear();
  pictures_.clear();
  objectBytes_ = 0;
  pictureBytes_ = 0;
  Notify();
}

void DesignHistory::Hold(Step& step) {
  std::size_t bytes = sizeof(Step) + HeapBytes(step.name);
  for (const auto& object : step.design.objects) {
    bytes += ObjectBytes(*object);
  }
  for (const auto& object : step.design.objects) {
    if (object->picture && ++pictures_[object->picture.get()] == 1) {
      pictureBytes_ += PictureBytes(*object->picture);
    }
  }
  step.bytes = bytes;
  objectBytes_ += bytes;
}

void DesignHistory::Release(const Step& step) {
  objectBytes_ -= step.bytes;
  for (const auto& object : step.design.objects) {
    if (!object->picture) {
      continue;
    }
    const auto it = pictures_.find(object->picture.get());
    if (it != pictures_.end() && --it->second == 0) {
      pictureBytes_ -= PictureBytes(*object->picture);
      pictures_.erase(it);
    }
  }
}

void DesignHistory::Bound() {
  // The newest step stays even when it alone is over the memory bound: a design with one huge
  // picture can still take back its last change.
  const auto over = [this] {
    const std::size_t steps = undo_.size() + redo_.size();
    return steps > 1 && (steps > maxSteps_ || BytesHeld() > maxBytes_);
  };
  while (over()) {
    std::vector<Step>& oldest = undo_.size() > 1 || redo_.empty() ? undo_ : redo_;
    Release(oldest.front());
    oldest.erase(oldest.begin());
  }
}

}  // namespace azuz
