#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "DesignHistory.h"
#include "DocumentCommands.h"
#include "EditGeometry.h"
#include "EditingOperations.h"
#include "TestData.h"
#include "UserPrompts.h"
#include "WatermarkFile.h"
#include "document/picture/PictureTestBytes.h"

namespace azuz {
namespace {

DrawObject& AddRect(CORVELIXImageToolDoc& doc, std::int32_t left, std::int32_t top) {
  DrawObject* o = doc.FindOrCreateObject(-1);
  o->kind = static_cast<std::int32_t>(ObjectKind::Rectangle);
  o->left = left;
  o->top = top;
  o->right = left + 20;
  o->bottom = top + 10;
  doc.InsertAtHead(o);
  return *o;
}

std::vector<std::int32_t> Lefts(const CORVELIXImageToolDoc& doc) {
  std::vector<std::int32_t> lefts;
  for (const auto& o : doc.objects) {
    lefts.push_back(o->left);
  }
  return lefts;
}

class DesignHistoryTest : public ::testing::Test {
 protected:
  CORVELIXImageToolDoc doc;
  int changes = 0;
  int refreshes = 0;
  int redrawAlls = 0;
  bool answerOk = true;

  void SetUp() override {
    doc.history.Changed = [this] { ++changes; };
    doc.RefreshObjectList = [this] { ++refreshes; };
    doc.RedrawAll = [this] { ++redrawAlls; };
    Dialogs().RunFigureDialog = [this](FigureDialogValues& v) {
      v.penColour = 0x000000FF;
      v.penWidth = 3;
      return answerOk;
    };
  }
  void TearDown() override {
    Prompts() = UserPrompts{};
    Dialogs() = DialogRunners{};
  }

  // The moves of one drag from press to release, each as the view makes it.
  void Drag(DrawObject& object, int moves) {
    doc.history.BeginStep(doc, "Move");
    for (int i = 0; i < moves; ++i) {
      MoveRect(object, 1, i % 2);
    }
    doc.history.EndStep(doc);
  }
};

TEST_F(DesignHistoryTest, ADragOfFiftyMovesIsOneStep) {
  DrawObject& o = AddRect(doc, 10, 10);
  Drag(o, 50);
  EXPECT_EQ(doc.history.UndoCount(), 1u);
  EXPECT_EQ(doc.history.UndoName(), "Move");
  EXPECT_EQ(o.left, 60);
  ASSERT_TRUE(UndoStep(doc));
  EXPECT_EQ(Lefts(doc), std::vector<std::int32_t>{10});
  EXPECT_EQ(doc.objects[0]->top, 10);
  EXPECT_FALSE(doc.history.CanUndo());
  EXPECT_EQ(doc.history.RedoName(), "Move");
  ASSERT_TRUE(RedoStep(doc));
  EXPECT_EQ(doc.objects[0]->left, 60);
  EXPECT_EQ(doc.objects[0]->top, 35);
}

TEST_F(DesignHistoryTest, StepsThatChangeNothingAreNotRecorded) {
  AddObjectOfKind(doc, 3);
  ASSERT_EQ(doc.history.UndoName(), "Add Rectangle");
  answerOk = false;
  AddObjectOfKind(doc, 2);   // cancelled
  ModifyObjectAt(doc, 0);    // cancelled
  MoveObject(doc, 0, -1);    // already the head
  DeleteObjectAt(doc, 5);    // past the end
  Drag(*doc.objects[0], 0);  // a click without a move
  SetFadePattern(doc, doc.fadeLevel, doc.patternMethod);
  EXPECT_EQ(doc.history.UndoCount(), 1u);
  // A press that changes only the selection is no change of the design either.
  doc.history.BeginStep(doc, "Resize");
  doc.objects[0]->selectState = 2;
  EXPECT_FALSE(doc.history.EndStep(doc));
}

TEST_F(DesignHistoryTest, CaptionsNameEachKindOfStep) {
  AddObjectOfKind(doc, 4);
  EXPECT_EQ(doc.history.UndoName(), "Add Ellipse");
  ModifyObjectAt(doc, 0);  // the dialog answers with the same values
  EXPECT_EQ(doc.history.UndoCount(), 1u);
  Dialogs().RunFigureDialog = [](FigureDialogValues& v) {
    v.penWidth = 9;
    return true;
  };
  ModifyObjectAt(doc, 0);
  EXPECT_EQ(doc.history.UndoName(), "Modify Ellipse");
  AddObjectOfKind(doc, 2);
  MoveObject(doc, 0, +1);
  EXPECT_EQ(doc.history.UndoName(), "Send Backward");
  MoveObject(doc, 1, -1);
  EXPECT_EQ(doc.history.UndoName(), "Bring Forward");
  SetFadePattern(doc, 20, 0);
  EXPECT_EQ(doc.history.UndoName(), "Fade Level");
  SetPageSize(doc, 576, 200);
  EXPECT_EQ(doc.history.UndoName(), "Paper Size");
  DeleteObjectAt(doc, 1);
  EXPECT_EQ(doc.history.UndoName(), "Delete Ellipse");
  ClearDesign(doc);
  EXPECT_EQ(doc.history.UndoName(), "Delete All");
  EXPECT_EQ(doc.history.UndoCount(), 9u);

  ASSERT_TRUE(UndoStep(doc));
  EXPECT_EQ(doc.history.UndoName(), "Delete Ellipse");
  EXPECT_EQ(doc.history.RedoName(), "Delete All");
  // A new step ends what could be redone.
  SetFadePattern(doc, 30, 0);
  EXPECT_FALSE(doc.history.CanRedo());
  EXPECT_FALSE(RedoStep(doc));
}

TEST_F(DesignHistoryTest, UndoLeavesNothingSelectedAndRefreshesPanelAndView) {
  DrawObject& o = AddRect(doc, 10, 10);
  doc.selectedObject = &o;
  o.selectState = 1;
  Drag(o, 3);
  const int refreshesBefore = refreshes;
  const int redrawsBefore = redrawAlls;
  ASSERT_TRUE(UndoStep(doc));
  EXPECT_EQ(doc.selectedObject, nullptr);
  EXPECT_EQ(doc.objects[0]->selectState, 0);
  EXPECT_EQ(refreshes, refreshesBefore + 1);
  EXPECT_EQ(redrawAlls, redrawsBefore + 1);
  ASSERT_TRUE(RedoStep(doc));
  EXPECT_EQ(doc.objects[0]->selectState, 0);
  const int changesBefore = changes;
  EXPECT_TRUE(UndoStep(doc));
  EXPECT_FALSE(UndoStep(doc));  // only the drag was recorded
  EXPECT_EQ(changes, changesBefore + 1);
}

TEST_F(DesignHistoryTest, AnOpenStepIsClosedByTheNextOneAndByUndo) {
  DrawObject& o = AddRect(doc, 10, 10);
  // A drag whose release never came, then an arrow-key run.
  doc.history.BeginStep(doc, "Move");
  MoveRect(o, 5, 0);
  doc.history.BeginStep(doc, "Move");
  MoveRect(o, 0, 1);
  ASSERT_TRUE(doc.history.StepOpen());
  ASSERT_TRUE(UndoStep(doc));  // closes the run, then takes it back
  EXPECT_FALSE(doc.history.StepOpen());
  EXPECT_EQ(doc.objects[0]->left, 15);
  EXPECT_EQ(doc.objects[0]->top, 10);
  ASSERT_TRUE(UndoStep(doc));
  EXPECT_EQ(doc.objects[0]->left, 10);
  EXPECT_FALSE(doc.history.EndStep(doc));  // nothing open: harmless
}

TEST_F(DesignHistoryTest, TheStepBoundDropsTheOldestSteps) {
  doc.history.SetLimits(5, DesignHistory::kMaxBytes);
  DrawObject& o = AddRect(doc, 0, 0);
  for (int i = 0; i < 8; ++i) {
    Drag(o, 1);
  }
  EXPECT_EQ(doc.history.UndoCount(), 5u);
  while (UndoStep(doc)) {
  }
  EXPECT_EQ(doc.objects[0]->left, 3);  // the three oldest moves are gone for good
  EXPECT_EQ(doc.history.RedoCount(), 5u);
  // Undo and redo together stay within the bound.
  RedoStep(doc);
  RedoStep(doc);
  EXPECT_EQ(doc.history.UndoCount() + doc.history.RedoCount(), 5u);
}

TEST_F(DesignHistoryTest, TheMemoryBoundDropsTheOldestButKeepsTheNewest) {
  for (int i = 0; i < 200; ++i) {
    AddRect(doc, i, i);
  }
  Drag(*doc.objects[0], 1);
  const std::size_t oneStep = doc.history.BytesHeld();
  EXPECT_GT(oneStep, 200 * sizeof(DrawObject));
  EXPECT_LT(oneStep, 200 * (sizeof(DrawObject) + 64) + 1024);
  doc.history.SetLimits(DesignHistory::kMaxSteps, 3 * oneStep + oneStep / 2);
  for (int i = 0; i < 10; ++i) {
    Drag(*doc.objects[0], 1);
  }
  EXPECT_EQ(doc.history.UndoCount(), 3u);
  EXPECT_LE(doc.history.BytesHeld(), 3 * oneStep + oneStep / 2);
  doc.history.SetLimits(DesignHistory::kMaxSteps, 1);
  EXPECT_EQ(doc.history.UndoCount(), 1u);  // over the bound alone, and kept
  ASSERT_TRUE(UndoStep(doc));
  EXPECT_EQ(doc.objects[0]->left, 199 + 10);
}

TEST_F(DesignHistoryTest, PicturesComeBackWithoutTheirFiles) {
  test::TempDir dir;
  const std::string path = dir / "logo.bmp";
  {
    test::BmpParts parts{.width = 3, .height = 2, .bitsPerPixel = 24};
    parts.pixels = test::PaddedRows({test::Bytes(9, 0x40), test::Bytes(9, 0x80)});
    const test::Bytes bytes = test::MakeBmp(parts);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  Prompts().ChooseFileToOpen = [&path](const std::string&, const std::string&, const std::string&) {
    return path;
  };
  AddObjectOfKind(doc, 0);
  ASSERT_TRUE(doc.objects[0]->picture);
  const Picture* picture = doc.objects[0]->picture.get();
  EXPECT_EQ(doc.history.UndoName(), "Add Bitmap");
  DeleteObjectAt(doc, 0);
  EXPECT_EQ(doc.history.UndoName(), "Delete Bitmap");
  std::filesystem::remove(path);

  ASSERT_TRUE(UndoStep(doc));
  ASSERT_EQ(doc.ObjectCount(), 1u);
  EXPECT_EQ(doc.objects[0]->picture.get(), picture);
  EXPECT_EQ(doc.objects[0]->picturePath, path);
  ASSERT_TRUE(UndoStep(doc));
  EXPECT_EQ(doc.ObjectCount(), 0u);
  ASSERT_TRUE(RedoStep(doc));
  EXPECT_EQ(doc.objects[0]->picture.get(), picture);
}

TEST_F(DesignHistoryTest, NewAndReadingADesignStartAFreshHistory) {
  AddObjectOfKind(doc, 3);
  AddObjectOfKind(doc, 3);
  UndoStep(doc);
  ASSERT_TRUE(doc.history.CanUndo() && doc.history.CanRedo());
  OnFileNew(doc);
  EXPECT_FALSE(doc.history.CanUndo());
  EXPECT_FALSE(doc.history.CanRedo());

  test::TempDir dir;
  AddObjectOfKind(doc, 3);
  ASSERT_TRUE(SaveWatermarkFile(dir / "a.bwi", doc));
  AddObjectOfKind(doc, 4);
  ASSERT_EQ(LoadWatermarkFile(dir / "a.bwi", doc), LoadResult::Loaded);
  EXPECT_FALSE(doc.history.CanUndo());
  // A file that cannot be opened changes nothing, the history included.
  AddObjectOfKind(doc, 4);
  ASSERT_EQ(LoadWatermarkFile(dir / "missing.bwi", doc), LoadResult::CannotOpen);
  EXPECT_EQ(doc.history.UndoName(), "Add Ellipse");
}

}  // namespace
}  // namespace azuz
