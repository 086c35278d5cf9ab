// The .bwi format: no magic, no version; little-endian fields and length-prefixed strings.
#include "CORVELIXImageToolDoc.h"

#include <new>

#include "Archive.h"
#include "LittleEndian.h"

namespace azuz {

namespace {

void ReadObjectFields(ArchiveReader& ar, DesignPictures& pictures, DrawObject& object,
                      std::int32_t kind) {
  switch (kind) {
    case 0: {
      const std::string path = ar.ReadString();
      if (!object.SetPictureFromFile(path, pictures)) {
        // Keep the reference so that saving again does not lose it; there is still no picture.
        object.picturePath = path;
      }
      break;
    }
    case 1: {
      const std::string text = ar.ReadString();
      ar.Skip(4, "the text colour");  // the first of two copies; the second one counts
      std::uint8_t fontBytes[FontRecord::kSize];
      ar.ReadBytes(fontBytes, sizeof fontBytes, "a font record");
      const auto colour = static_cast<Colour>(ar.ReadU32());
      const std::int32_t rotation = ar.ReadI32();
      object.SetText(text, FontRecord::FromBytes(fontBytes), colour, rotation, 10);
      break;
    }
    case 2:
    case 3:
    case 4:
      object.penWidth = ar.ReadI32();
      object.penColour = ar.ReadU32();
      object.fillColour = ar.ReadU32();
      object.kind = kind;
      break;
    default:
      // Kept as read, so that a save writes it back; such an object draws nothing.
      object.kind = kind;
      break;
  }
}

}  // namespace

bool CORVELIXImageToolDoc::ReadFailed(DrawObject* reading, const char* why,
                                      std::string* error) noexcept {
  // The object being read is discarded; what was listed before it stays.
  if (reading != nullptr) {
    DestroyObject(reading);
  }
  if (error != nullptr) {
    try {
      *error = why;
    } catch (const std::bad_alloc&) {
      error->clear();
    }
  }
  return false;
}

bool CORVELIXImageToolDoc::Serialize(ArchiveReader& ar, std::string* error) {
  history.Clear();
  DeleteAllObjects();
  DrawObject* reading = nullptr;
  try {
    DesignPictures pictures(PicturePixelsInUse());
    designName = ar.ReadString();
    headerValue = ar.ReadI32();
    objectCount = ar.ReadI32();
    fadeLevel = ar.ReadI32();
    const std::uint32_t count = static_cast<std::uint32_t>(objectCount);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::int32_t kind = ar.ReadI32();
      std::uint8_t edges[16];
      ar.ReadBytes(edges, sizeof edges, "the edges of an object");
      reading = FindOrCreateObject(-1);
      if (reading == nullptr) {
        throw std::bad_alloc();
      }
      ReadObjectFields(ar, pictures, *reading, kind);
      std::int32_t e[4];
      for (std::size_t k = 0; k < 4; ++k) {
        e[k] = ReadLe32s(edges + 4 * k);
      }
      reading->left = e[0];
      reading->top = e[1];
      reading->right = e[2];
      reading->bottom = e[3];
      AppendAtTail(reading);
      reading = nullptr;
    }
  } catch (const ArchiveError& formatError) {
    return ReadFailed(reading, formatError.what(), error);
  } catch (const std::bad_alloc&) {
    return ReadFailed(reading, "not enough memory to read the design", error);
  } catch (const std::exception& other) {
    // A length or conversion failure ends the read as a format error does.
    return ReadFailed(reading, other.what(), error);
  }
  Notify(RefreshObjectList);
  Notify(RedrawPage);
  return true;
}

bool CORVELIXImageToolDoc::Serialize(ArchiveWriter& ar, std::string* error) {
  objectCount = static_cast<std::int32_t>(objects.size());
  ar.WriteString(designName);
  ar.WriteI32(headerValue);
  ar.WriteI32(objectCount);
  ar.WriteI32(fadeLevel);
  for (const auto& object : objects) {
    ar.WriteI32(object->kind);
    ar.WriteI32(object->left);
    ar.WriteI32(object->top);
    ar.WriteI32(object->right);
    ar.WriteI32(object->bottom);
    switch (object->kind) {
      case 0:
        ar.WriteString(object->picturePath);
        break;
      case 1: {
        ar.WriteString(object->text);
        ar.WriteU32(object->textColour);
        std::uint8_t fontBytes[FontRecord::kSize];
        object->font.ToBytes(fontBytes);
        ar.WriteBytes(fontBytes, sizeof fontBytes);
        ar.WriteU32(object->textColour);
        ar.WriteI32(object->rotation);
        break;
      }
      case 2:
      case 3:
      case 4:
        ar.WriteI32(object->penWidth);
        ar.WriteU32(object->penColour);
        ar.WriteU32(object->fillColour);
        break;
      default:
        break;
    }
  }
  if (!ar.Good()) {
    if (error != nullptr) {
      *error = "write error";
    }
    return false;
  }
  return true;
}

}  // namespace azuz
