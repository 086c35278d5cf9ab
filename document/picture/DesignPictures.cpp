#include "DesignPictures.h"

#include "PictureLoader.h"

namespace azuz {

std::shared_ptr<const Picture> DesignPictures::Load(const std::string& path, std::string* why) {
  auto known = byPath_.find(path);
  if (known == byPath_.end()) {
    Outcome outcome;
    if (std::FILE* file = OpenPictureFile(path, &outcome.why)) {
      if (std::optional<Picture> decoded =
              LoadPictureFile(file, &outcome.why, kDesignPicturePixels - used_)) {
        outcome.picture = std::make_shared<const Picture>(std::move(*decoded));
      }
    }
    const std::int64_t stored = outcome.picture ? outcome.picture->StoredPixels() : 0;
    known = byPath_.emplace(path, std::move(outcome)).first;
    used_ += stored;
  }
  if (why != nullptr) {
    *why = known->second.why;
  }
  return known->second.picture;
}

}  // namespace azuz
