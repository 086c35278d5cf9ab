#include <gtest/gtest.h>

#include <algorithm>

#include "EditingOperations.h"
#include "UserPrompts.h"

namespace azuz {
namespace {

// Installs scripted dialogs and prompts for one test and removes them afterwards.
class EditingOperations : public ::testing::Test {
 protected:
  CORVELIXImageToolDoc doc;
  std::vector<std::string> messages;
  int refreshes = 0;
  int redraws = 0;
  int selectedIndex = -99;
  bool answerOk = true;
  FigureDialogValues figureAnswer{3, false, 0x000000FF, 0x00FF0000, 4};
  std::vector<FigureDialogValues> figureSeen;

  void SetUp() override {
    Prompts().ShowMessage = [this](const std::string& text, const std::string&) {
      messages.push_back(text);
    };
    Dialogs().RunFigureDialog = [this](FigureDialogValues& v) {
      figureSeen.push_back(v);
      v.kind = figureAnswer.kind;  // the dialog's kind never decides the object's
      v.penColour = figureAnswer.penColour;
      v.fillColour = figureAnswer.fillColour;
      v.penWidth = figureAnswer.penWidth;
      return answerOk;
    };
    doc.RefreshObjectList = [this] { ++refreshes; };
    doc.RedrawPage = [this] { ++redraws; };
    doc.SetSelectedIndex = [this](int i) { selectedIndex = i; };
  }
  void TearDown() override {
    Prompts() = UserPrompts{};
    Dialogs() = DialogRunners{};
  }
};

TEST_F(EditingOperations, NewObjectsEnterAtTheHeadAndMoveBack) {
  AddObjectOfKind(doc, 2);
  AddObjectOfKind(doc, 3);
  ASSERT_EQ(doc.ObjectCount(), 2u);
  EXPECT_EQ(doc.objects[0]->kind, 3);
  EXPECT_EQ(doc.objects[0]->penWidth, 4);
  EXPECT_FALSE(figureSeen[0].existing);

  MoveObject(doc, 0, +1);
  EXPECT_EQ(doc.objects[0]->kind, 2);
  EXPECT_EQ(doc.objects[1]->kind, 3);
  EXPECT_EQ(selectedIndex, 1);
}

TEST_F(EditingOperations, MovesAtTheEndsChangeNothingButRefresh) {
  AddObjectOfKind(doc, 2);
  AddObjectOfKind(doc, 4);
  const DrawObject* head = doc.objects[0].get();
  const int before = refreshes;
  MoveObject(doc, 0, -1);
  MoveObject(doc, 1, +1);
  MoveObject(doc, 7, +1);
  MoveObject(doc, -1, -1);
  EXPECT_EQ(doc.objects[0].get(), head);
  EXPECT_EQ(selectedIndex, -99);
  EXPECT_EQ(refreshes, before + 4);
}

TEST_F(EditingOperations, CancelledNewFigureLeavesTheList) {
  answerOk = false;
  AddObjectOfKind(doc, 2);
  EXPECT_EQ(doc.ObjectCount(), 0u);
}

TEST_F(EditingOperations, ModifyGivesTheDialogTheObjectsValuesAndKeepsItsKind) {
  AddObjectOfKind(doc, 3);
  figureAnswer = {0, false, 0x00123456, kNoColour, 9};
  ModifyObjectAt(doc, 0);
  ASSERT_EQ(figureSeen.size(), 2u);
  EXPECT_TRUE(figureSeen[1].existing);
  EXPECT_EQ(figureSeen[1].kind, 3);
  EXPECT_EQ(figureSeen[1].penColour, 0x000000FFu);
  EXPECT_EQ(figureSeen[1].fillColour, 0x00FF0000u);
  EXPECT_EQ(figureSeen[1].penWidth, 4);
  EXPECT_EQ(doc.objects[0]->kind, 3);
  EXPECT_EQ(doc.objects[0]->penColour, 0x00123456u);
  EXPECT_EQ(doc.objects[0]->penWidth, 9);
  EXPECT_EQ(doc.objects[0]->fillColour, kNoColour);
}

TEST_F(EditingOperations, CancelledEditOfAnExistingFigureChangesNothing) {
  AddObjectOfKind(doc, 4);
  answerOk = false;
  figureAnswer = {2, false, 0x00ABCDEF, 0x00000000, 7};
  ModifyObjectAt(doc, 0);
  ASSERT_EQ(doc.ObjectCount(), 1u);
  EXPECT_EQ(figureSeen.size(), 2u);
  EXPECT_EQ(doc.objects[0]->kind, 4);
  EXPECT_EQ(doc.objects[0]->penColour, 0x000000FFu);
  EXPECT_EQ(doc.objects[0]->fillColour, 0x00FF0000u);
  EXPECT_EQ(doc.objects[0]->penWidth, 4);
}

TEST_F(EditingOperations, ModifyPastTheEndOpensNothingButRefreshes) {
  AddObjectOfKind(doc, 2);
  const int before = refreshes;
  const int redrawsBefore = redraws;
  ModifyObjectAt(doc, 1);
  EXPECT_EQ(figureSeen.size(), 1u);
  EXPECT_EQ(refreshes, before + 1);
  EXPECT_EQ(redraws, redrawsBefore + 1);
  ModifyObjectAt(doc, -1);  // nothing selected: not even a refresh
  EXPECT_EQ(refreshes, before + 1);
}

TEST_F(EditingOperations, MoveTowardsTheHeadSwapsWithTheFrontNeighbour) {
  AddObjectOfKind(doc, 2);
  AddObjectOfKind(doc, 3);
  AddObjectOfKind(doc, 4);  // list: ellipse, rectangle, line
  const DrawObject* line = doc.objects[2].get();
  MoveObject(doc, 2, -1);
  ASSERT_EQ(doc.ObjectCount(), 3u);
  EXPECT_EQ(doc.objects[0]->kind, 4);
  EXPECT_EQ(doc.objects[1].get(), line);
  EXPECT_EQ(doc.objects[2]->kind, 3);
  EXPECT_EQ(selectedIndex, 1);
  MoveObject(doc, 1, -1);
  EXPECT_EQ(doc.objects[0].get(), line);
  EXPECT_EQ(selectedIndex, 0);
}

TEST_F(EditingOperations, ClearDesignRemovesEverythingAndRebuildsTheListBeforeThePage) {
  std::vector<std::string> order;
  doc.RefreshObjectList = [&] { order.push_back("list of " + std::to_string(doc.ObjectCount())); };
  doc.RedrawPage = [&] { order.push_back("page"); };
  AddObjectOfKind(doc, 2);
  AddObjectOfKind(doc, 3);
  doc.selectedObject = doc.objects[1].get();
  order.clear();
  ClearDesign(doc);
  EXPECT_EQ(doc.ObjectCount(), 0u);
  EXPECT_EQ(doc.selectedObject, nullptr);
  // DeleteAllObjects repaints by itself; the refresh then lists before it draws.
  ASSERT_GE(order.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(order.end() - 2, order.end()),
            (std::vector<std::string>{"list of 0", "page"}));
  EXPECT_EQ(std::count(order.begin(), order.end(), "list of 0"), 1);
}

TEST_F(EditingOperations, EditTextMovesTheBoxBetweenUprightAndTurned) {
  std::int32_t nextRotation = 0;
  Dialogs().RunTextDialog = [&](TextDialogValues& v) {
    v.text = "HELLO";
    v.rotation = nextRotation;
    v.pointSize = 12;
    return true;
  };
  AddObjectOfKind(doc, 1);  // new, upright: 5 x 12 wide, 50 high
  ASSERT_EQ(doc.ObjectCount(), 1u);
  DrawObject& text = *doc.objects[0];
  EXPECT_EQ(text.right, 160);
  EXPECT_EQ(text.bottom, 150);
  nextRotation = 1;  // turned: width and height trade places
  ModifyObjectAt(doc, 0);
  EXPECT_EQ(text.rotation, 1);
  EXPECT_EQ(text.right, 150);
  EXPECT_EQ(text.bottom, 160);
  nextRotation = 2;  // still turned: the box stays
  ModifyObjectAt(doc, 0);
  EXPECT_EQ(text.right, 150);
  EXPECT_EQ(text.bottom, 160);
  nextRotation = 3;  // upright again
  ModifyObjectAt(doc, 0);
  EXPECT_EQ(text.rotation, 3);
  EXPECT_EQ(text.right, 160);
  EXPECT_EQ(text.bottom, 150);
}

TEST_F(EditingOperations, DeletePastTheEndRemovesNothingButClearsSelection) {
  AddObjectOfKind(doc, 2);
  doc.selectedObject = doc.objects[0].get();
  DeleteObjectAt(doc, 1);
  EXPECT_EQ(doc.ObjectCount(), 1u);
  EXPECT_EQ(doc.selectedObject, nullptr);
  DeleteObjectAt(doc, 0);
  EXPECT_EQ(doc.ObjectCount(), 0u);
}

TEST_F(EditingOperations, MissingObjectShowsTheMessageAndChangesNothing) {
  EditFigure(doc, 3, 2);
  EditText(doc, 0);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "Error : Can't find a object!");
  EXPECT_TRUE(figureSeen.empty());
}

TEST_F(EditingOperations, TextDialogOkWithEmptyTextIsCancel) {
  Dialogs().RunTextDialog = [](TextDialogValues& v) {
    v.text.clear();
    return true;
  };
  AddObjectOfKind(doc, 1);
  EXPECT_EQ(doc.ObjectCount(), 0u);

  Dialogs().RunTextDialog = [](TextDialogValues& v) {
    v.text = v.existing ? "a much longer text" : "TEXT";
    v.rotation = 0;
    v.pointSize = 10;
    return true;
  };
  AddObjectOfKind(doc, 1);
  ASSERT_EQ(doc.ObjectCount(), 1u);
  EXPECT_EQ(doc.objects[0]->right, 140);
  ModifyObjectAt(doc, 0);  // same rotation: the box stays whatever the text
  EXPECT_EQ(doc.objects[0]->text, "a much longer text");
  EXPECT_EQ(doc.objects[0]->right, 140);
}

TEST_F(EditingOperations, NewBitmapIsListedEvenWithoutAPicture) {
  std::string filter;
  Prompts().ChooseFileToOpen = [&](const std::string& f, const std::string&, const std::string&) {
    filter = f;
    return std::string("/nonexistent/not-a-picture.jpg");
  };
  AddObjectOfKind(doc, 0);
  EXPECT_EQ(filter, "Image File(*.bmp)|*.bmp|Image File(*.jpg)|*.jpg|Image File(*.gif)|*.gif||");
  ASSERT_EQ(doc.ObjectCount(), 1u);
  EXPECT_EQ(doc.objects[0]->kind, 0);
  EXPECT_EQ(doc.objects[0]->picturePath, "");
  EXPECT_EQ(doc.objects[0]->right, 100);

  Prompts().ChooseFileToOpen = [](const std::string&, const std::string&, const std::string&) {
    return std::string();
  };
  AddObjectOfKind(doc, 0);  // cancelled dialog: nothing happens
  EXPECT_EQ(doc.ObjectCount(), 1u);
}

}  // namespace
}  // namespace azuz
