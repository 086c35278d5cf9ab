#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <fontconfig/fontconfig.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "FontRecord.h"

namespace azuz {

// The installed face that stands for a FontRecord, and the styles it lacks.
struct FaceChoice {
  std::string file;  // empty: no usable face is installed
  int index = 0;
  bool fakeBold = false;
  bool fakeItalic = false;
};

// Maps a LOGFONT's face name, weight, italic flag and pitch-and-family to an installed face the
// way the Windows font mapper on FreeType does: the family must be the face's own (name ID 1)
// family, else a fixed default list picks one; fontconfig's own substitutions never apply.
// Works on a private fontconfig configuration, released with the matcher.
class FontMatcher {
 public:
  explicit FontMatcher(FT_Library library);
  ~FontMatcher();
  FontMatcher(const FontMatcher&) = delete;
  FontMatcher& operator=(const FontMatcher&) = delete;

  FaceChoice Match(const FontRecord& font);

  // The families a face name can pick: each installed scalable face's own family, as Match
  // compares it, once each (the first spelling met), sorted case-insensitively. UTF-8.
  const std::vector<std::string>& ScalableFamilies();

  // The face's family as the mapper sees it: the Windows US English name ID 1, else FreeType's.
  static std::string FamilyOf(FT_Face face);

 private:
  struct InstalledFace {
    std::string file;
    int index = 0;
    bool bold = false;
    bool italic = false;
    FT_Fixed version = 0;  // head table fontRevision
  };
  struct ListedFont {
    std::string file;
    int index = 0;
    std::vector<std::string> families;  // every family name fontconfig knows the file by
    bool scalable = false;
  };

  const std::vector<InstalledFace>& FacesOfFamily(const std::string& family);
  void ListFonts();

  FT_Library library_;
  FcConfig* config_ = nullptr;
  bool listed_ = false;
  std::vector<ListedFont> fonts_;
  bool familiesListed_ = false;
  std::vector<std::string> scalableFamilies_;
  std::map<std::string, std::vector<InstalledFace>> families_;  // by lower-cased family
  std::map<std::tuple<std::string, int, bool, bool>, FaceChoice> choices_;
};

}  // namespace azuz
