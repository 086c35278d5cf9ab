#include "CORVELIXImageToolDoc.h"

#include <algorithm>

#include "ModelName.h"

namespace azuz {

bool CORVELIXImageToolDoc::OnNewDocument() {
  pageWidth = PageWidthForModel(CurrentModelName());
  return true;
}

DrawObject* CORVELIXImageToolDoc::FindOrCreateObject(int index) {
  if (index < 0) {
    unlisted_.push_back(std::make_unique<DrawObject>());
    return unlisted_.back().get();
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

void CORVELIXImageToolDoc::InsertAtHead(DrawObject* object) {
  if (auto owned = Detach(object)) {
    objects.insert(objects.begin(), std::move(owned));
  }
}

void CORVELIXImageToolDoc::AppendAtTail(DrawObject* object) {
  if (auto owned = Detach(object)) {
    objects.push_back(std::move(owned));
  }
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
