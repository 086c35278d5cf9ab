#include <iostream>
#include <nlohmann/json.hpp>

#include "CodePage.h"
#include "Verbs.h"
#include "WatermarkFile.h"

namespace azuz::cli {

namespace {

using nlohmann::ordered_json;

std::int32_t Signed(Colour c) {
  return static_cast<std::int32_t>(c);
}

ordered_json FontJson(const FontRecord& f) {
  return {{"height", f.height},
          {"width", f.width},
          {"escapement", f.escapement},
          {"orientation", f.orientation},
          {"weight", f.weight},
          {"italic", f.italic},
          {"underline", f.underline},
          {"strikeOut", f.strikeOut},
          {"charSet", f.charSet},
          {"outPrecision", f.outPrecision},
          {"clipPrecision", f.clipPrecision},
          {"quality", f.quality},
          {"pitchAndFamily", f.pitchAndFamily},
          {"faceName", SystemToUtf8(f.FaceName())}};
}

ordered_json ObjectJson(const DrawObject& o) {
  ordered_json j = {
      {"kind", o.kind}, {"left", o.left}, {"top", o.top}, {"right", o.right}, {"bottom", o.bottom}};
  switch (o.kind) {
    case 0:
      j["picturePath"] = SystemToUtf8(o.picturePath);
      j["hasPicture"] = o.picture != nullptr;
      if (o.picture) {
        j["pictureWidth"] = o.picture->width;
        j["pictureHeight"] = o.picture->height;
      } else if (!o.pictureError.empty()) {
        j["pictureError"] = o.pictureError;
      }
      break;
    case 1:
      j["text"] = SystemToUtf8(o.text);
      j["textColour"] = Signed(o.textColour);
      j["font"] = FontJson(o.font);
      j["rotation"] = o.rotation;
      break;
    case 2:
    case 3:
    case 4:
      j["penWidth"] = o.penWidth;
      j["penColour"] = Signed(o.penColour);
      j["fillColour"] = Signed(o.fillColour);
      break;
    default:
      break;
  }
  return j;
}

std::string ColourText(Colour c) {
  if (c == kNoColour) {
    return "none";
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
  return buf;
}

void PrintText(const CORVELIXImageToolDoc& doc) {
  std::cout << "designName: " << SystemToUtf8(doc.designName) << "\n"
            << "headerValue: " << doc.headerValue << "\n"
            << "objectCount: " << static_cast<std::uint32_t>(doc.objectCount) << "\n"
            << "fadeLevel: " << doc.fadeLevel << "\n";
  int index = 0;
  for (const auto& o : doc.objects) {
    const char* name = ObjectKindName(o->kind);
    std::cout << "[" << index++ << "] " << (*name != '\0' ? name : "unknown") << " (kind "
              << o->kind << ") " << o->left << "," << o->top << "," << o->right << "," << o->bottom;
    switch (o->kind) {
      case 0:
        std::cout << " path=\"" << SystemToUtf8(o->picturePath) << "\""
                  << (o->picture
                          ? " picture " + std::to_string(o->picture->width) + "x" +
                                std::to_string(o->picture->height)
                          : std::string(" no picture") +
                                (o->pictureError.empty() ? "" : " (" + o->pictureError + ")"));
        break;
      case 1:
        std::cout << " text=\"" << SystemToUtf8(o->text)
                  << "\" colour=" << ColourText(o->textColour) << " font=\""
                  << SystemToUtf8(o->font.FaceName()) << "\" height=" << o->font.height
                  << " weight=" << o->font.weight << " escapement=" << o->font.escapement
                  << " rotation=" << o->rotation;
        break;
      case 2:
      case 3:
      case 4:
        std::cout << " pen=" << o->penWidth << " " << ColourText(o->penColour)
                  << " fill=" << ColourText(o->fillColour);
        break;
      default:
        break;
    }
    std::cout << "\n";
  }
}

}  // namespace

void AddInfoVerb(CLI::App& app, int& status) {
  auto* verb = app.add_subcommand("info", "Show a design's header and objects");
  auto path = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  verb->add_option("design", *path, "the .bwi file")->required();
  verb->add_flag("--json", *json, "print JSON");
  verb->callback([path, json, &status] {
    CORVELIXImageToolDoc doc;
    std::string error;
    const LoadResult result = LoadWatermarkFile(*path, doc, &error);
    if (result == LoadResult::CannotOpen) {
      std::cerr << "azuz: " << error << "\n";
      status = 1;
      return;
    }
    if (*json) {
      ordered_json j = {{"designName", SystemToUtf8(doc.designName)},
                        {"headerValue", doc.headerValue},
                        {"objectCount", static_cast<std::uint32_t>(doc.objectCount)},
                        {"fadeLevel", doc.fadeLevel},
                        {"objects", ordered_json::array()}};
      for (const auto& o : doc.objects) {
        j["objects"].push_back(ObjectJson(*o));
      }
      if (result == LoadResult::FormatError) {
        j["error"] = error;
      }
      std::cout << j.dump(2, ' ', false, ordered_json::error_handler_t::replace) << "\n";
    } else {
      PrintText(doc);
      if (result == LoadResult::FormatError) {
        std::cout << "error: " << error << "\n";
      }
    }
    status = result == LoadResult::Loaded ? 0 : 2;
  });
}

}  // namespace azuz::cli
