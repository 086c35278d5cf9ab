#pragma once

#include <string>

#include "CORVELIXImageToolDoc.h"

namespace azuz {

// The file commands of the designer. Messages and dialogs go through Prompts(); the window
// title through the document's SetWindowTitle hook.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_APP_EXIT = 57665;

inline constexpr const char* kWatermarkFileFilter = "Watermark Filese(*.bwi)|*.bwi||";
inline constexpr const char* kWatermarkDefaultExtension = "*.bwi";
inline constexpr const char* kFileAccessMessage =
    "Verify that the file exist and that you can't access it!";

// "Vurodadud Azuz - [title]".
std::string WindowTitleFor(const std::string& fileTitle);

void OnFileNew(CORVELIXImageToolDoc& doc);
void OnFileOpen(CORVELIXImageToolDoc& doc);
void OnFileSave(CORVELIXImageToolDoc& doc);
void OnFileSaveAs(CORVELIXImageToolDoc& doc);

// True when the design was written and the title set.
bool SaveToFile(CORVELIXImageToolDoc& doc, const std::string& path);
// True when the whole design was read and the title set.
bool LoadFromFile(CORVELIXImageToolDoc& doc, const std::string& path);

// The question Exit asks before the process ends: only for a design that has a file; Yes saves.
void AskToSaveBeforeExit(CORVELIXImageToolDoc& doc);

}  // namespace azuz
