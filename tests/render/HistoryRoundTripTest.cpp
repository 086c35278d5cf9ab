// Undo and redo give back exactly the design of each side of a step: the same file, the same
// printer image.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Archive.h"
#include "DesignRenderer.h"
#include "EditGeometry.h"
#include "EditingOperations.h"
#include "TestData.h"
#include "UserPrompts.h"
#include "document/picture/PictureTestBytes.h"

namespace azuz {
namespace {

struct DesignState {
  std::string file;
  WatermarkImage image;
  bool operator==(const DesignState&) const = default;
};

DesignState StateOf(CORVELIXImageToolDoc& doc) {
  std::stringbuf buffer;
  ArchiveWriter writer(buffer);
  std::string why;
  EXPECT_TRUE(doc.Serialize(writer, &why)) << why;
  return {buffer.str(), RenderWatermarkImage(doc).value_or(WatermarkImage{})};
}

std::string WriteBmp(const test::TempDir& dir, const std::string& name, std::uint8_t shade,
                     int width) {
  test::BmpParts parts{.width = width, .height = 3, .bitsPerPixel = 24};
  const test::Bytes row(static_cast<std::size_t>(3 * width), shade);
  parts.pixels = test::PaddedRows({row, row, row});
  const test::Bytes bytes = test::MakeBmp(parts);
  const std::string path = dir / name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

class HistoryRoundTrip : public ::testing::Test {
 protected:
  CORVELIXImageToolDoc doc;
  test::TempDir dir;
  std::string nextPicture;
  FigureDialogValues figure{3, false, 0x00000000, 0x0000A0FF, 3};
  TextDialogValues text;

  void SetUp() override {
    doc.pageWidth = 576;
    Prompts().ChooseFileToOpen = [this](const std::string&, const std::string&,
                                        const std::string&) { return nextPicture; };
    Dialogs().RunFigureDialog = [this](FigureDialogValues& v) {
      v.penColour = figure.penColour;
      v.fillColour = figure.fillColour;
      v.penWidth = figure.penWidth;
      return true;
    };
    Dialogs().RunTextDialog = [this](TextDialogValues& v) {
      v.text = text.text;
      v.rotation = text.rotation;
      v.textColour = text.textColour;
      v.font.height = -24;
      return true;
    };
  }
  void TearDown() override {
    Prompts() = UserPrompts{};
    Dialogs() = DialogRunners{};
  }

  // The view's gestures, as the view opens and closes their steps.
  void Gesture(const char* name, int index, const std::function<void(DrawObject&)>& moves) {
    DrawObject& o = *doc.objects[static_cast<std::size_t>(index)];
    doc.selectedObject = &o;
    o.selectState = 1;
    doc.history.BeginStep(doc, name);
    moves(o);
    doc.history.EndStep(doc);
  }
};

TEST_F(HistoryRoundTrip, EveryKindOfStepComesBackByteForByte) {
  const std::string grey = WriteBmp(dir, "grey.bmp", 0x80, 40);
  const std::string pale = WriteBmp(dir, "pale.bmp", 0xF0, 25);
  const std::vector<std::pair<std::string, std::function<void()>>> steps = {
      {"Add Rectangle", [&] { AddObjectOfKind(doc, 3); }},
      {"Add Ellipse",
       [&] {
         figure.fillColour = kNoColour;
         AddObjectOfKind(doc, 4);
       }},
      {"Add Text",
       [&] {
         text.text = "UNDO";
         AddObjectOfKind(doc, 1);
       }},
      {"Add Bitmap",
       [&] {
         nextPicture = grey;
         AddObjectOfKind(doc, 0);
       }},
      {"Move", [&] { Gesture("Move", 0, [](DrawObject& o) { MoveRect(o, 130, 60); }); }},
      {"Resize",
       [&] {
         Gesture("Resize", 3, [](DrawObject& o) {
           for (int i = 0; i < 50; ++i) {
             MoveHandleEdges(o, 8, 2, 1);
           }
         });
       }},
      {"Move",
       [&] {
         Gesture("Move", 2, [](DrawObject& o) {
           for (int i = 0; i < 7; ++i) {
             MoveRect(o, 1, 0);
           }
           MoveRect(o, 0, -1);
         });
       }},
      {"Modify Rectangle",
       [&] {
         figure.penWidth = 8;
         ModifyObjectAt(doc, 3);
       }},
      {"Modify Text",
       [&] {
         text.text = "REDO";
         text.rotation = 1;
         ModifyObjectAt(doc, 1);
       }},
      {"Modify Bitmap",
       [&] {
         nextPicture = pale;
         ModifyObjectAt(doc, 0);
       }},
      {"Send Backward", [&] { MoveObject(doc, 0, +1); }},
      {"Bring Forward", [&] { MoveObject(doc, 3, -1); }},
      {"Fade Level", [&] { SetFadePattern(doc, 0, 0); }},
      {"Paper Size", [&] { SetPageSize(doc, 300, 200); }},
      {"Delete Ellipse", [&] { DeleteObjectAt(doc, 3); }},
      {"Delete All", [&] { ClearDesign(doc); }},
  };

  std::vector<DesignState> states{StateOf(doc)};
  for (const auto& [name, step] : steps) {
    step();
    ASSERT_EQ(doc.history.UndoName(), name);
    states.push_back(StateOf(doc));
    ASSERT_NE(states.back(), states[states.size() - 2]) << name << " changed nothing";
  }
  ASSERT_EQ(doc.history.UndoCount(), steps.size());
  // The pictures' files are gone: undo must not need them.
  std::filesystem::remove(grey);
  std::filesystem::remove(pale);

  for (std::size_t k = steps.size(); k-- > 0;) {
    ASSERT_TRUE(UndoStep(doc));
    EXPECT_EQ(doc.history.RedoName(), steps[k].first);
    EXPECT_TRUE(StateOf(doc) == states[k]) << "undo of " << steps[k].first;
  }
  EXPECT_FALSE(doc.history.CanUndo());
  for (std::size_t k = 0; k < steps.size(); ++k) {
    ASSERT_TRUE(RedoStep(doc));
    EXPECT_TRUE(StateOf(doc) == states[k + 1]) << "redo of " << steps[k].first;
  }
  EXPECT_FALSE(doc.history.CanRedo());
}

}  // namespace
}  // namespace azuz
