#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DesignHistory.h"
#include "DrawObject.h"

namespace azuz {

class ArchiveReader;
class ArchiveWriter;

// The one watermark design of a run. objects[0] is the head: the front, drawn last.
class CORVELIXImageToolDoc {
 public:
  std::vector<std::unique_ptr<DrawObject>> objects;
  std::int32_t pageHeight = 330;
  std::int32_t pageWidth = 512;  // OnNewDocument sets it from the model
  std::int32_t fadeLevel = 50;
  std::int32_t patternMethod = 0;
  std::string designName = "ORVELIX Watermark";
  std::string fileTitle = "New";
  std::string filePath = "NONE";
  std::int32_t headerValue = 100;
  std::int32_t objectCount = 0;
  DrawObject* selectedObject = nullptr;  // never owns
  // Undo and redo of the editing operations; reading a design starts it afresh.
  DesignHistory history;

  // Change hooks the view and panel install; empty where nobody listens.
  std::function<void()> RedrawPage;
  std::function<void()> RedrawAll;
  std::function<void()> RefreshObjectList;
  std::function<void(int)> SetSelectedIndex;
  std::function<void(const std::string&)> SetWindowTitle;
  // The panel's fade controls show the document's values again (after an undo or redo).
  std::function<void()> ShowFadePattern;

  bool OnNewDocument();

  // index < 0: a new object with the defaults, held unlisted by the document until the caller
  // lists it (InsertAtHead/AppendAtTail) or destroys it, or nullptr when there is no memory for
  // it; otherwise the object at that position from the head, or nullptr past the end.
  DrawObject* FindOrCreateObject(int index);
  void DeleteAllObjects();
  // Removes the object from the list, or from the unlisted ones, and frees it.
  void DestroyObject(DrawObject* object);

  // Lists an object made by FindOrCreateObject(-1); or moves a listed one (MoveObject).
  void InsertAtHead(DrawObject* object);
  void AppendAtTail(DrawObject* object);
  std::size_t ObjectCount() const { return objects.size(); }
  // Position from the head, or -1.
  int IndexOf(const DrawObject* object) const;

  // Decoded pixels the design's pictures hold, each shared picture counted once.
  std::int64_t PicturePixelsInUse() const;
  // Gives `object` the picture at `path` (SetPictureFromFile) within what the design's other
  // pictures leave of their budget.
  bool LoadObjectPicture(DrawObject& object, const std::string& path);

  // Reads a design, replacing the objects. A path named by several records is decoded once,
  // and all pictures share one budget. On a format error, or any other failure of the read
  // (no memory among them), returns false with `error` set, keeping the header values and the
  // objects read before it.
  bool Serialize(ArchiveReader& archive, std::string* error);
  bool Serialize(ArchiveWriter& archive, std::string* error);

 private:
  std::vector<std::unique_ptr<DrawObject>> unlisted_;
  std::unique_ptr<DrawObject> Detach(DrawObject* object);
  void MakeRoomForOne();
  bool ReadFailed(DrawObject* reading, const char* why, std::string* error) noexcept;
  void Notify(const std::function<void()>& hook) const {
    if (hook) {
      hook();
    }
  }
};

}  // namespace azuz
