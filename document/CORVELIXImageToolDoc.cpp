#include "CORVELIXImageToolDoc.h"

#include <algorithm>
#include <new>
#include <unordered_set>

#include "ModelName.h"

namespace azuz {

bool CORVELIXImageToolDoc::OnNewDocument() {
  pageWidth = PageWidthForModel(CurrentModelName());
  return true;
}

DrawObject* CORVELIXImageToolDoc::FindOrCreateObject(int index) {
  if (index < 0) {
    try {
      auto object = std::make_unique<DrawObject>();
      unlisted_.push_back(std::move(object));
      return unlisted_.back().get();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
  if (static_cast<std::size_t>(index) >= objects.size()) {
    return nullptr;
  }
  return objects[static_cast<std::size_t>(index)].get();
}

void CORVELIXImageToolDoc::DeleteAllObjects() {
  selectedObject = nullptr;
  objects.clear();
  Notify(RedrawPage);
}

std::unique_ptr<DrawObject> CORVELIXImageToolDoc::Detach(DrawObject* object) {
  // Unlisted objects first: appending while reading a file must not scan the whole list.
  for (auto* list : {&unlisted_, &objects}) {
    auto it = std::find_if(list->begin(), list->end(),
                           [object](const auto& p) { return p.get() == object; });
    if (it != list->end()) {
      std::unique_ptr<DrawObject> owned = std::move(*it);
      list->erase(it);
      return owned;
    }
  }
  return nullptr;
}

void CORVELIXImageToolDoc::DestroyObject(DrawObject* object) {
  if (selectedObject == object) {
    selectedObject = nullptr;
  }
  Detach(object);
}

// Room is made first, growing as push_back would: once the object is detached, listing it
// cannot fail and lose it.
void CORVELIXImageToolDoc::MakeRoomForOne() {
  if (objects.size() == objects.capacity()) {
    objects.reserve(std::max<std::size_t>(8, 2 * objects.capacity()));
  }
}

void CORVELIXImageToolDoc::InsertAtHead(DrawObject* object) {
  MakeRoomForOne();
  if (auto owned = Detach(object)) {
    objects.insert(objects.begin(), std::move(owned));
  }
}

void CORVELIXImageToolDoc::AppendAtTail(DrawObject* object) {
  MakeRoomForOne();
  if (auto owned = Detach(object)) {
    objects.push_back(std::move(owned));
  }
}

std::int64_t CORVELIXImageToolDoc::PicturePixelsInUse() const {
  std::unordered_set<const Picture*> counted;
  std::int64_t pixels = 0;
  for (const auto* list : {&objects, &unlisted_}) {
    for (const auto& object : *list) {
      if (object->picture && counted.insert(object->picture.get()).second) {
        pixels += object->picture->StoredPixels();
      }
    }
  }
  return pixels;
}

bool CORVELIXImageToolDoc::LoadObjectPicture(DrawObject& object, const std::string& path) {
  object.picture.reset();  // the old picture no longer counts
  DesignPictures pictures(PicturePixelsInUse());
  return object.SetPictureFromFile(path, pictures);
}

int CORVELIXImageToolDoc::IndexOf(const DrawObject* object) const {
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (objects[i].get() == object) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace azuz
