#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "Picture.h"

namespace azuz {

// The pictures one design loads. A path named several times is read and decoded once, and its
// picture shared, read-only, by every object that names it; all the design's pictures together
// hold at most kDesignPicturePixels decoded pixels, and the picture that would pass that is
// refused with the reason while the others stay.
class DesignPictures {
 public:
  // `pixelsInUse`: what the design's pictures already hold.
  explicit DesignPictures(std::int64_t pixelsInUse = 0) : used_(pixelsInUse) {}

  // The picture at `path`, or nullptr with `why` set; a path asked for again gets the same
  // answer without being read again.
  std::shared_ptr<const Picture> Load(const std::string& path, std::string* why = nullptr);

  std::int64_t PixelsInUse() const { return used_; }

 private:
  struct Outcome {
    std::shared_ptr<const Picture> picture;
    std::string why;
  };
  std::unordered_map<std::string, Outcome> byPath_;
  std::int64_t used_;
};

}  // namespace azuz
