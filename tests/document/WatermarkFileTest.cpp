#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include <chrono>
#include <fstream>
#include <sstream>

#include "Archive.h"
#include "CORVELIXImageToolDoc.h"
#include "ChildProcess.h"
#include "TestData.h"
#include "WatermarkFile.h"

namespace azuz {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Write(CORVELIXImageToolDoc& doc) {
  std::stringbuf buffer;
  ArchiveWriter writer(buffer);
  EXPECT_TRUE(doc.Serialize(writer, nullptr));
  const std::string s = buffer.str();
  return {s.begin(), s.end()};
}

bool Read(const Bytes& bytes, CORVELIXImageToolDoc& doc, std::string* error = nullptr) {
  std::stringbuf buffer(std::string(bytes.begin(), bytes.end()));
  ArchiveReader reader(buffer);
  return doc.Serialize(reader, error);
}

void Le32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
}

Bytes Header(std::uint32_t count, std::uint32_t fade = 50) {
  Bytes b{17};
  const std::string name = "ORVELIX Watermark";
  b.insert(b.end(), name.begin(), name.end());
  Le32(b, 100);
  Le32(b, count);
  Le32(b, fade);
  return b;
}

DrawObject* AddLine(CORVELIXImageToolDoc& doc, int l, int t, int r, int b) {
  DrawObject* o = doc.FindOrCreateObject(-1);
  o->kind = 2;
  o->left = l;
  o->top = t;
  o->right = r;
  o->bottom = b;
  o->penWidth = 2;
  o->penColour = 0;
  doc.AppendAtTail(o);
  return o;
}

TEST(WatermarkFileBytes, EmptyDesignIsThirtyBytes) {
  CORVELIXImageToolDoc doc;
  EXPECT_EQ(Write(doc), Header(0));
}

TEST(WatermarkFileBytes, LineRecordLayout) {
  CORVELIXImageToolDoc doc;
  AddLine(doc, 10, 20, 110, 20);
  Bytes expected = Header(1);
  const Bytes record = {0x02, 0, 0, 0, 0x0A, 0, 0, 0, 0x14, 0, 0, 0, 0x6E, 0,    0,    0,
                        0x14, 0, 0, 0, 0x02, 0, 0, 0, 0,    0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  expected.insert(expected.end(), record.begin(), record.end());
  EXPECT_EQ(Write(doc), expected);
}

TEST(WatermarkFileBytes, StringLengthForms) {
  for (const auto& [length, prefix] : std::vector<std::pair<std::size_t, Bytes>>{
           {0, {0x00}},
           {254, {0xFE}},
           {255, {0xFF, 0xFF, 0x00}},
           {65533, {0xFF, 0xFD, 0xFF}},
           {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
           {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}}) {
    CORVELIXImageToolDoc doc;
    doc.designName = std::string(length, 'a');
    const Bytes bytes = Write(doc);
    ASSERT_GE(bytes.size(), prefix.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(prefix.size())), prefix)
        << length;
    EXPECT_EQ(bytes.size(), prefix.size() + length + 12);
    CORVELIXImageToolDoc back;
    ASSERT_TRUE(Read(bytes, back));
    EXPECT_EQ(back.designName, doc.designName);
  }
}

TEST(WatermarkFileRead, WideStringBecomesTheSystemCodePage) {
  // FF FE FF, length 4, then UTF-16LE "Café" and a character cp1252 lacks.
  Bytes b = {0xFF, 0xFE, 0xFF, 0x05, 'C', 0, 'a', 0, 'f', 0, 0xE9, 0x00, 0x3A, 0x04};
  Le32(b, 100);
  Le32(b, 0);
  Le32(b, 50);
  CORVELIXImageToolDoc doc;
  ASSERT_TRUE(Read(b, doc));
  EXPECT_EQ(doc.designName, "Caf\xE9?");
}

TEST(WatermarkFileRead, RoundTripKeepsEveryField) {
  CORVELIXImageToolDoc doc;
  doc.designName = "Shop \xA9 2026";
  doc.headerValue = -7;
  doc.fadeLevel = 90;
  DrawObject* text = doc.FindOrCreateObject(-1);
  FontRecord font;
  font.height = -24;
  font.escapement = 900;
  font.weight = 700;
  font.italic = 1;
  font.SetFaceName("Liberation Serif");
  font.faceName[30] = 'x';  // leftover byte after the terminator survives
  text->SetText("Hello", font, 0x00123456, 1, 10);
  text->left = -5;
  text->right = -50;  // reversed edges stay reversed
  doc.AppendAtTail(text);
  AddLine(doc, 100, 100, 10, 10)->fillColour = 0x0000FF00;
  DrawObject* odd = doc.FindOrCreateObject(-1);
  odd->kind = 9;
  odd->left = 1;
  doc.AppendAtTail(odd);

  const Bytes bytes = Write(doc);
  CORVELIXImageToolDoc back;
  back.pageWidth = 576;
  ASSERT_TRUE(Read(bytes, back));
  EXPECT_EQ(Write(back), bytes);
  ASSERT_EQ(back.ObjectCount(), 3u);
  const DrawObject& t = *back.objects[0];
  EXPECT_EQ(t.text, "Hello");
  EXPECT_EQ(t.font, font);
  EXPECT_EQ(t.textColour, 0x00123456u);
  EXPECT_EQ(t.rotation, 1);
  EXPECT_EQ(t.left, -5);
  EXPECT_EQ(t.right, -50);
  EXPECT_EQ(back.objects[1]->fillColour, 0x0000FF00u);
  EXPECT_EQ(back.objects[2]->kind, 9);
  EXPECT_EQ(back.designName, doc.designName);
  EXPECT_EQ(back.headerValue, -7);
  EXPECT_EQ(back.fadeLevel, 90);
  EXPECT_EQ(back.pageWidth, 576);
  for (const auto& o : back.objects) {
    EXPECT_EQ(o->selectState, 0);
  }
}

TEST(WatermarkFileRead, TextUsesTheSecondColour) {
  Bytes b = Header(1);
  Le32(b, 1);
  for (std::uint32_t e : {1u, 2u, 3u, 4u}) {
    Le32(b, e);
  }
  b.push_back(2);
  b.push_back('H');
  b.push_back('i');
  Le32(b, 0x000000FF);  // first colour: skipped
  Bytes font(60, 0);
  b.insert(b.end(), font.begin(), font.end());
  Le32(b, 0x00FF0000);
  Le32(b, 0);
  CORVELIXImageToolDoc doc;
  ASSERT_TRUE(Read(b, doc));
  ASSERT_EQ(doc.ObjectCount(), 1u);
  EXPECT_EQ(doc.objects[0]->textColour, 0x00FF0000u);
  // The stored rectangle replaces the one SetText computed.
  EXPECT_EQ(doc.objects[0]->left, 1);
  EXPECT_EQ(doc.objects[0]->bottom, 4);
}

TEST(WatermarkFileRead, ShortFileKeepsHeaderAndObjectsReadAndReportsWithoutRefresh) {
  CORVELIXImageToolDoc source;
  AddLine(source, 1, 2, 3, 4);
  AddLine(source, 5, 6, 7, 8);
  Bytes bytes = Write(source);
  bytes[18 + 4] = 3;                              // objectCount: 3 claimed, 2 present
  bytes.insert(bytes.end(), {2, 0, 0, 0, 9, 9});  // a third record cut inside its edges

  CORVELIXImageToolDoc doc;
  doc.InsertAtHead(doc.FindOrCreateObject(-1));  // replaced by the read
  int refreshes = 0;
  doc.RefreshObjectList = [&] { ++refreshes; };
  std::string error;
  EXPECT_FALSE(Read(bytes, doc, &error));
  EXPECT_NE(error.find("end of file"), std::string::npos) << error;
  EXPECT_EQ(doc.objectCount, 3);
  ASSERT_EQ(doc.ObjectCount(), 2u);
  EXPECT_EQ(doc.objects[1]->left, 5);
  EXPECT_EQ(refreshes, 0);
}

TEST(WatermarkFileRead, ObjectCutInsideItsFieldsIsDiscarded) {
  Bytes b = Header(1);
  Le32(b, 3);
  for (int i = 0; i < 4; ++i) {
    Le32(b, 0);
  }
  Le32(b, 2);  // penWidth, then nothing
  CORVELIXImageToolDoc doc;
  EXPECT_FALSE(Read(b, doc));
  EXPECT_EQ(doc.ObjectCount(), 0u);
}

TEST(WatermarkFileRead, AbsurdCountsAndLengthsFailFastWithoutAllocating) {
  std::vector<Bytes> cases;
  cases.push_back(Header(0xFFFFFFFFu));
  Bytes longName = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};  // 2^31 - 1 bytes claimed
  longName.resize(40, 'a');
  cases.push_back(longName);
  cases.push_back({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0, 0, 0, 0});
  cases.push_back({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 1, 0, 0, 0});
  for (const Bytes& bytes : cases) {
    CORVELIXImageToolDoc doc;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Read(bytes, doc, &error));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(error.empty());
  }
}

TEST(WatermarkFileRead, EmptyDesignWithNothingAfterFade) {
  CORVELIXImageToolDoc doc;
  doc.InsertAtHead(doc.FindOrCreateObject(-1));
  ASSERT_TRUE(Read(Header(0, 30), doc));
  EXPECT_EQ(doc.ObjectCount(), 0u);
  EXPECT_EQ(doc.fadeLevel, 30);
}

TEST(WatermarkFileRead, MissingPictureKeepsItsPathAndStoredEdges) {
  Bytes b = Header(1);
  Le32(b, 0);
  for (std::uint32_t e : {30u, 40u, 230u, 120u}) {
    Le32(b, e);
  }
  const std::string path = "/nonexistent/moved.bmp";
  b.push_back(static_cast<std::uint8_t>(path.size()));
  b.insert(b.end(), path.begin(), path.end());
  CORVELIXImageToolDoc doc;
  ASSERT_TRUE(Read(b, doc));
  const DrawObject& o = *doc.objects[0];
  EXPECT_EQ(o.kind, 0);
  EXPECT_EQ(o.picture, nullptr);
  EXPECT_EQ(o.picturePath, path);
  EXPECT_EQ(o.right, 230);
  EXPECT_EQ(Write(doc), b);  // saving again keeps the reference
}

class WatermarkFileSave : public ::testing::Test {
 protected:
  test::TempDir dir;
  CORVELIXImageToolDoc doc;
};

TEST_F(WatermarkFileSave, SaveAndLoadThroughTheFileSystem) {
  AddLine(doc, 1, 2, 3, 4);
  const std::string path = dir / "design.bwi";
  std::string error;
  ASSERT_TRUE(SaveWatermarkFile(path, doc, &error)) << error;
  CORVELIXImageToolDoc back;
  EXPECT_EQ(LoadWatermarkFile(path, back, &error), LoadResult::Loaded);
  EXPECT_EQ(back.ObjectCount(), 1u);
  EXPECT_EQ(LoadWatermarkFile(dir / "absent.bwi", back, &error), LoadResult::CannotOpen);
  EXPECT_EQ(back.ObjectCount(), 1u);  // a file that cannot be opened changes nothing
}

void ExpectOnlyPreviousFile(const test::TempDir& dir, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "previous contents");
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    EXPECT_EQ(entry.path().filename(), "keep.bwi") << "temporary file left behind";
  }
}

TEST_F(WatermarkFileSave, SaveCutShortByAFullDiskLeavesThePreviousFile) {
  const std::string path = dir / "keep.bwi";
  { std::ofstream(path, std::ios::binary) << "previous contents"; }
  doc.designName = std::string(5000, 'x');
  // A file size limit makes every write past 64 bytes fail, as a full disk does, even for root.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    const bool saved = SaveWatermarkFile(path, doc, &error);
    _exit(!saved && error.find("cannot write") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "save did not report the failure";
  ExpectOnlyPreviousFile(dir, path);
}

TEST_F(WatermarkFileSave, ANewFileInAClosedFolderIsRefusedWithTheReason) {
  test::HandToUnprivileged(dir.Path());
  chmod(dir.Path().c_str(), 0555);
  test::AsUnprivileged([&] {
    std::string error;
    EXPECT_FALSE(SaveWatermarkFile(dir / "new.bwi", doc, &error));
    EXPECT_NE(error.find(std::strerror(EACCES)), std::string::npos) << error;
  });
  chmod(dir.Path().c_str(), 0755);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST_F(WatermarkFileSave, SaveKeepsTheModeOfTheFileItReplaces) {
  const std::string path = dir / "mode.bwi";
  { std::ofstream(path) << "x"; }
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(SaveWatermarkFile(path, doc));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace azuz
