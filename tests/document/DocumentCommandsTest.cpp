#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include "ChildProcess.h"
#include "DocumentCommands.h"
#include "EditingOperations.h"
#include "TestData.h"
#include "UserPrompts.h"

namespace azuz {
namespace {

class DocumentCommands : public ::testing::Test {
 protected:
  test::TempDir dir;
  CORVELIXImageToolDoc doc;
  std::string title = "Vurodadud Azuz - [New]";
  std::vector<std::string> messages;
  std::vector<std::string> details;
  std::vector<std::string> questions;
  std::string openAnswer, saveAnswer;
  int saveDialogs = 0;
  bool yes = false;

  void SetUp() override {
    doc.SetWindowTitle = [this](const std::string& t) { title = t; };
    Prompts().ShowMessage = [this](const std::string& text, const std::string& detail) {
      messages.push_back(text);
      details.push_back(detail);
    };
    Prompts().AskYesNo = [this](const std::string& text, const std::string& caption) {
      questions.push_back(caption + ": " + text);
      return yes;
    };
    Prompts().ChooseFileToOpen = [this](const std::string& filter, const std::string& ext,
                                        const std::string&) {
      EXPECT_EQ(filter, "Watermark Filese(*.bwi)|*.bwi||");
      EXPECT_EQ(ext, "*.bwi");
      return openAnswer;
    };
    Prompts().ChooseFileToSave = [this](const std::string&, const std::string&,
                                        const std::string&) {
      ++saveDialogs;
      return saveAnswer;
    };
  }
  void TearDown() override { Prompts() = UserPrompts{}; }

  void AddLine() {
    DrawObject* o = doc.FindOrCreateObject(-1);
    o->kind = 2;
    doc.InsertAtHead(o);
  }
};

TEST_F(DocumentCommands, SaveWithoutAFileAsksForOneThenSavesThereSilently) {
  AddLine();
  OnFileSave(doc);  // cancelled dialog
  EXPECT_EQ(saveDialogs, 1);
  EXPECT_EQ(doc.filePath, "NONE");

  saveAnswer = dir / "logo.bwi";
  OnFileSave(doc);
  EXPECT_EQ(saveDialogs, 2);
  EXPECT_EQ(title, "Vurodadud Azuz - [logo.bwi]");
  EXPECT_EQ(doc.fileTitle, "logo.bwi");
  OnFileSave(doc);
  EXPECT_EQ(saveDialogs, 2);
  EXPECT_TRUE(std::filesystem::exists(saveAnswer));
}

TEST_F(DocumentCommands, OpenFillsTheDesignAndTitleThenNewResets) {
  AddLine();
  ASSERT_TRUE(SaveToFile(doc, dir / "one.bwi"));
  doc.DeleteAllObjects();
  openAnswer = dir / "one.bwi";
  OnFileOpen(doc);
  EXPECT_EQ(doc.ObjectCount(), 1u);
  EXPECT_EQ(title, "Vurodadud Azuz - [one.bwi]");

  OnFileNew(doc);
  EXPECT_EQ(doc.ObjectCount(), 0u);
  EXPECT_EQ(doc.filePath, "NONE");
  EXPECT_EQ(title, "Vurodadud Azuz - [New]");
  AskToSaveBeforeExit(doc);
  EXPECT_TRUE(questions.empty());
}

TEST_F(DocumentCommands, ExitAsksOnlyWithAFileAndYesRewritesIt) {
  const std::string path = dir / "exit.bwi";
  AddLine();
  ASSERT_TRUE(SaveToFile(doc, path));
  doc.filePath = path;
  AddLine();
  AskToSaveBeforeExit(doc);  // No: file untouched
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "Watermark: Do you want to save?");
  CORVELIXImageToolDoc check;
  LoadFromFile(check, path);
  EXPECT_EQ(check.ObjectCount(), 1u);

  yes = true;
  AskToSaveBeforeExit(doc);
  LoadFromFile(check, path);
  EXPECT_EQ(check.ObjectCount(), 2u);
}

TEST_F(DocumentCommands, AReadOnlyFileIsNeitherOpenedNorReplaced) {
  const std::string path = dir / "ro.bwi";
  ASSERT_TRUE(SaveToFile(doc, path));
  chmod(path.c_str(), 0444);
  const std::string before =
      std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {});
  test::HandToUnprivileged(dir.Path());
  test::AsUnprivileged([&] {
    AddLine();
    title = "before";
    openAnswer = path;
    OnFileOpen(doc);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Verify that the file exist and that you can't access it!");
    EXPECT_EQ(doc.ObjectCount(), 1u);
    EXPECT_EQ(title, "before");
    EXPECT_EQ(doc.filePath, path);  // the chosen file stays the design's file

    // Save then tries that file, shows the message again and leaves the file as it was.
    OnFileSave(doc);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Verify that the file exist and that you can't access it!");
    EXPECT_NE(details[1].find(std::strerror(EACCES)), std::string::npos) << details[1];
    EXPECT_EQ(title, "before");
  });
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}), before);
}

TEST_F(DocumentCommands, AFullDiskShowsTheMessageWithItsReason) {
  const std::string disk = dir / "disk";
  std::filesystem::create_directory(disk);
  doc.designName = std::string(60000, 'x');
  const bool ran = test::WithSmallDisk(disk, 16 * 1024, [&] {
    title = "before";
    EXPECT_FALSE(SaveToFile(doc, disk + "/full.bwi"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Verify that the file exist and that you can't access it!");
    EXPECT_NE(details[0].find(std::strerror(ENOSPC)), std::string::npos) << details[0];
    EXPECT_EQ(title, "before");
  });
  if (!ran) {
    GTEST_SKIP() << "this kernel gives this user no private mounts";
  }
}

TEST_F(DocumentCommands, MissingFileShowsTheMessageAndKeepsTheDesign) {
  AddLine();
  openAnswer = dir / "missing.bwi";
  OnFileOpen(doc);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Verify that the file exist and that you can't access it!");
  EXPECT_EQ(doc.ObjectCount(), 1u);
  EXPECT_EQ(doc.fileTitle, "missing.bwi");
}

TEST_F(DocumentCommands, DamagedFileReportsAndKeepsWhatWasRead) {
  const std::string path = dir / "short.bwi";
  {
    std::ofstream(path, std::ios::binary) << std::string(
        "\x03"
        "abc\x64\0\0\0\x05\0\0\0",
        12);
  }
  title = "before";
  openAnswer = path;
  OnFileOpen(doc);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(doc.designName, "abc");
  EXPECT_EQ(title, "before");
}

}  // namespace
}  // namespace azuz
