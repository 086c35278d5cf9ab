#include "FontMatcher.h"

#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>

#include "CodePage.h"
#include "TextHelpers.h"

namespace azuz {

namespace {

// Default families by pitch and family, first installed wins.
const char* const kModernDefaults[] = {"Courier New", "Liberation Mono",
                                       "Bitstream Vera Sans Mono"};
const char* const kRomanDefaults[] = {"Times New Roman", "Liberation Serif",
                                      "Bitstream Vera Serif"};
const char* const kSwissDefaults[] = {"Arial", "Liberation Sans", "Bitstream Vera Sans"};

constexpr unsigned kFixedPitch = 0x01;
constexpr unsigned kFamilyMask = 0xF0;
constexpr unsigned kFamilyRoman = 0x10;
constexpr unsigned kFamilyModern = 0x30;
constexpr int kBoldAbove = 550;
constexpr std::size_t kMaxRemembered = 1024;

std::string Utf16BeToUtf8(const FT_Byte* data, FT_UInt length) {
  std::string out;
  for (FT_UInt i = 0; i + 1 < length; i += 2) {
    char32_t c = static_cast<char32_t>((data[i] << 8) | data[i + 1]);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < length) {
      const char32_t low = static_cast<char32_t>((data[i + 2] << 8) | data[i + 3]);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string Lower(const std::string& text) {
  FcChar8* down = FcStrDowncase(reinterpret_cast<const FcChar8*>(text.c_str()));
  if (down == nullptr) {
    return text;
  }
  std::string out(reinterpret_cast<const char*>(down));
  FcStrFree(down);
  return out;
}

bool SameName(const std::string& a, const std::string& b) {
  return FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(a.c_str()),
                            reinterpret_cast<const FcChar8*>(b.c_str())) == 0;
}

}  // namespace

FontMatcher::FontMatcher(FT_Library library) : library_(library) {}

FontMatcher::~FontMatcher() {
  if (config_ != nullptr) {
    FcConfigDestroy(config_);
  }
}

std::string FontMatcher::FamilyOf(FT_Face face) {
  const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
  for (FT_UInt i = 0; i < count; ++i) {
    FT_SfntName name;
    if (FT_Get_Sfnt_Name(face, i, &name) == 0 && name.platform_id == TT_PLATFORM_MICROSOFT &&
        name.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES &&
        name.name_id == TT_NAME_ID_FONT_FAMILY) {
      return Utf16BeToUtf8(name.string, name.string_len);
    }
  }
  return face->family_name != nullptr ? face->family_name : "";
}

void FontMatcher::ListFonts() {
  listed_ = true;
  config_ = FcInitLoadConfigAndFonts();
  if (config_ == nullptr) {
    return;
  }
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_SCALABLE, nullptr);
  FcFontSet* set = FcFontList(config_, pattern, objects);
  if (set != nullptr) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* file = nullptr;
      int index = 0;
      if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch) {
        continue;
      }
      FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
      FcBool scalable = FcFalse;
      FcPatternGetBool(set->fonts[i], FC_SCALABLE, 0, &scalable);
      ListedFont font{reinterpret_cast<const char*>(file), index, {}, scalable == FcTrue};
      FcChar8* family = nullptr;
      for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &family) == FcResultMatch;
           ++n) {
        font.families.emplace_back(reinterpret_cast<const char*>(family));
      }
      fonts_.push_back(std::move(font));
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
}

// Fontconfig lists a file under every family its name table has (typographic families and
// other languages too); only the face's own family counts, so each candidate is opened.
const std::vector<FontMatcher::InstalledFace>& FontMatcher::FacesOfFamily(
    const std::string& family) {
  const std::string key = Lower(family);
  const auto known = families_.find(key);
  if (known != families_.end()) {
    return known->second;
  }
  if (!listed_) {
    ListFonts();
  }
  std::vector<InstalledFace> faces;
  for (const ListedFont& font : fonts_) {
    if (std::none_of(font.families.begin(), font.families.end(),
                     [&](const std::string& f) { return SameName(f, family); })) {
      continue;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library_, font.file.c_str(), font.index, &face) != 0) {
      continue;
    }
    if (SameName(FamilyOf(face), family)) {
      const auto* head = static_cast<const TT_Header*>(FT_Get_Sfnt_Table(face, FT_SFNT_HEAD));
      faces.push_back({font.file, font.index, (face->style_flags & FT_STYLE_FLAG_BOLD) != 0,
                       (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0,
                       head != nullptr ? head->Font_Revision : 0});
    }
    FT_Done_Face(face);
  }
  return families_.emplace(key, std::move(faces)).first->second;
}

const std::vector<std::string>& FontMatcher::ScalableFamilies() {
  if (familiesListed_) {
    return scalableFamilies_;
  }
  familiesListed_ = true;
  if (!listed_) {
    ListFonts();
  }
  std::map<std::string, std::string> byKey;  // lower-cased family -> first spelling
  for (const ListedFont& font : fonts_) {
    if (!font.scalable || font.families.empty()) {
      continue;
    }
    // Fontconfig lists every family name the file has, the face's own among them: a file known
    // by one name needs no opening (opening them all takes a third of a second).
    const bool oneName =
        std::all_of(font.families.begin(), font.families.end(),
                    [&](const std::string& f) { return SameName(f, font.families.front()); });
    if (oneName) {
      byKey.emplace(Lower(font.families.front()), font.families.front());
      continue;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library_, font.file.c_str(), font.index, &face) != 0) {
      continue;
    }
    const std::string family = FT_IS_SCALABLE(face) ? FamilyOf(face) : std::string();
    FT_Done_Face(face);
    // Match finds a file only through the families fontconfig lists it under.
    if (!family.empty() && std::any_of(font.families.begin(), font.families.end(),
                                       [&](const std::string& f) { return SameName(f, family); })) {
      byKey.emplace(Lower(family), family);
    }
  }
  for (auto& [key, family] : byKey) {
    scalableFamilies_.push_back(std::move(family));
  }
  return scalableFamilies_;
}

FaceChoice FontMatcher::Match(const FontRecord& font) {
  const std::string name = SystemToUtf8(font.FaceName());
  const bool wantBold = font.weight > kBoldAbove;
  const bool wantItalic = font.italic != 0;
  const auto key = std::make_tuple(Lower(name), int{font.pitchAndFamily}, wantBold, wantItalic);
  const auto known = choices_.find(key);
  if (known != choices_.end()) {
    return known->second;
  }
  if (choices_.size() >= kMaxRemembered) {  // face names come from files: keep the maps bounded
    choices_.clear();
    families_.clear();
  }

  const std::vector<InstalledFace>* faces = &FacesOfFamily(name);
  if (faces->empty()) {
    const unsigned pf = font.pitchAndFamily;
    const auto& defaults = ((pf & kFixedPitch) != 0 || (pf & kFamilyMask) == kFamilyModern)
                               ? kModernDefaults
                           : (pf & kFamilyMask) == kFamilyRoman ? kRomanDefaults
                                                                : kSwissDefaults;
    for (const char* family : defaults) {
      faces = &FacesOfFamily(family);
      if (!faces->empty()) {
        break;
      }
    }
  }

  // Fewest style mismatches; between equals a matching weight goes first (a slant is the
  // milder fake), then the newest font version.
  FaceChoice choice;
  const InstalledFace* best = nullptr;
  auto rank = [&](const InstalledFace& f) {
    const int boldMiss = f.bold != wantBold ? 1 : 0;
    const int italicMiss = f.italic != wantItalic ? 1 : 0;
    return std::make_tuple(boldMiss + italicMiss, boldMiss, -f.version);
  };
  for (const InstalledFace& f : *faces) {
    if (best == nullptr || rank(f) < rank(*best)) {
      best = &f;
    }
  }
  if (best != nullptr) {
    choice = {best->file, best->index, wantBold && !best->bold, wantItalic && !best->italic};
  }
  choices_.emplace(key, choice);
  return choice;
}

}  // namespace azuz
