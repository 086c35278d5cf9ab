#include "DocumentCommands.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "EditingOperations.h"
#include "UserPrompts.h"
#include "WatermarkFile.h"

namespace azuz {

namespace {

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void UpdateTitle(CORVELIXImageToolDoc& doc) {
  if (doc.SetWindowTitle) {
    doc.SetWindowTitle(WindowTitleFor(doc.fileTitle));
  }
}

// The chosen file becomes the design's file before it is touched, as the dialogs always did.
bool ChooseFile(CORVELIXImageToolDoc& doc, bool forSaving) {
  const auto& chooser = forSaving ? Prompts().ChooseFileToSave : Prompts().ChooseFileToOpen;
  if (!chooser) {
    return false;
  }
  const std::string path = chooser(kWatermarkFileFilter, kWatermarkDefaultExtension, "");
  if (path.empty()) {
    return false;
  }
  doc.filePath = path;
  doc.fileTitle = FileNameOf(path);
  return true;
}

}  // namespace

std::string WindowTitleFor(const std::string& fileTitle) {
  return "Vurodadud Azuz - [" + fileTitle + "]";
}

void OnFileNew(CORVELIXImageToolDoc& doc) {
  ClearDesign(doc);
  doc.history.Clear();
  doc.fileTitle = "New";
  doc.filePath = "NONE";
  UpdateTitle(doc);
}

void OnFileOpen(CORVELIXImageToolDoc& doc) {
  if (ChooseFile(doc, false)) {
    LoadFromFile(doc, doc.filePath);
  }
}

void OnFileSave(CORVELIXImageToolDoc& doc) {
  if (doc.filePath != "NONE") {
    SaveToFile(doc, doc.filePath);
  } else {
    OnFileSaveAs(doc);
  }
}

void OnFileSaveAs(CORVELIXImageToolDoc& doc) {
  if (ChooseFile(doc, true)) {
    SaveToFile(doc, doc.filePath);
  }
}

bool SaveToFile(CORVELIXImageToolDoc& doc, const std::string& path) {
  std::string why;
  if (!SaveWatermarkFile(path, doc, &why)) {
    Prompts().Message(kFileAccessMessage, why);
    return false;
  }
  UpdateTitle(doc);
  return true;
}

bool LoadFromFile(CORVELIXImageToolDoc& doc, const std::string& path) {
  // Opening asks for read and write access, so a read-only file is refused before reading.
  const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    Prompts().Message(kFileAccessMessage, path + ": " + std::strerror(errno));
    return false;
  }
  close(fd);
  std::string why;
  switch (LoadWatermarkFile(path, doc, &why)) {
    case LoadResult::Loaded:
      UpdateTitle(doc);
      return true;
    case LoadResult::CannotOpen:
      Prompts().Message(kFileAccessMessage, why);
      return false;
    case LoadResult::FormatError:
      Prompts().Message("The file is damaged or not a watermark file: " + FileNameOf(path), why);
      // The objects read before the error stay; the panel shows them, the title keeps its text.
      RefreshDesign(doc);
      return false;
  }
  return false;
}

void AskToSaveBeforeExit(CORVELIXImageToolDoc& doc) {
  if (doc.filePath != "NONE" && Prompts().YesNo("Do you want to save?", "Watermark")) {
    OnFileSave(doc);
  }
}

}  // namespace azuz
