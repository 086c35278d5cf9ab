// Failures other than format errors while a design is read or an object is made: whichever
// allocation fails, the read ends as a format error does, keeps what was read, and leaks nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "Archive.h"
#include "CORVELIXImageToolDoc.h"
#include "EditingOperations.h"
#include "TestData.h"
#include "UserPrompts.h"
#include "picture/PictureTestBytes.h"
#include "support/AllocationFaults.h"

namespace azuz {
namespace {

using test::AllocationFault;

std::size_t OpenFiles() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

void WriteWide(ArchiveWriter& writer, const std::u16string& text) {
  writer.WriteU8(0xFF);
  writer.WriteU16(0xFFFE);
  writer.WriteU8(static_cast<std::uint8_t>(text.size()));
  for (const char16_t unit : text) {
    writer.WriteU16(unit);
  }
}

void WriteRecord(ArchiveWriter& writer, std::int32_t kind, std::int32_t left) {
  for (const std::int32_t field : {kind, left, 2, left + 30, 40}) {
    writer.WriteI32(field);
  }
}

// A design with every kind of record, a wide string, and pictures of each format, one of them
// named twice.
std::string EveryKindOfRecord(const test::TempDir& dir) {
  test::BmpParts bmp{.width = 3, .height = 2, .bitsPerPixel = 24};
  bmp.pixels = test::PaddedRows({test::Bytes(9, 0x20), test::Bytes(9, 0x80)});
  test::WriteFile(dir / "p.bmp", test::MakeBmp(bmp));
  test::GifParts gif{.screenWidth = 2, .screenHeight = 2, .globalPalette = {0, 0xFFFFFF}};
  gif.frames = {test::GifFrame{.width = 2, .height = 2, .indices = {0, 1, 1, 0}}};
  test::WriteFile(dir / "p.gif", test::MakeGif(gif));

  std::stringbuf buffer;
  ArchiveWriter writer(buffer);
  WriteWide(writer, u"Caf\u00e9 \u20ac design");
  writer.WriteI32(100);
  writer.WriteI32(7);
  writer.WriteI32(50);
  WriteRecord(writer, 1, 10);
  writer.WriteString("Thank you for your visit");
  std::uint8_t font[FontRecord::kSize];
  FontRecord{}.ToBytes(font);
  writer.WriteU32(0);
  writer.WriteBytes(font, sizeof font);
  writer.WriteU32(0xFF);
  writer.WriteI32(0);
  WriteRecord(writer, 0, 20);
  writer.WriteString(dir / "p.bmp");
  WriteRecord(writer, 3, 30);
  for (const std::int32_t field : {2, 0, 0x00FFFFFF}) {
    writer.WriteI32(field);
  }
  WriteRecord(writer, 0, 40);
  writer.WriteString(dir / "p.gif");
  WriteRecord(writer, 0, 50);
  writer.WriteString(dir / "p.bmp");
  WriteRecord(writer, 9, 60);  // a kind outside 0-4: kept as read
  WriteRecord(writer, 2, 70);
  for (const std::int32_t field : {1, 0, -1}) {
    writer.WriteI32(field);
  }
  return buffer.str();
}

// Reads the design; with `failing` > 0, that allocation of the read itself fails.
bool Read(const std::string& bytes, CORVELIXImageToolDoc& doc, std::string& error, long failing = 0,
          AllocationFault fault = AllocationFault::BadAlloc) {
  std::stringbuf buffer(bytes);
  ArchiveReader reader(buffer);
  test::FailAllocation(failing, fault);
  const bool read = doc.Serialize(reader, &error);
  test::FailAllocation(0);
  return read;
}

// What a record read into: the same object as in a whole read, save perhaps its picture.
void ExpectSameObject(const DrawObject& got, const DrawObject& whole) {
  EXPECT_EQ(got.kind, whole.kind);
  EXPECT_EQ(got.left, whole.left);
  EXPECT_EQ(got.right, whole.right);
  EXPECT_EQ(got.text, whole.text);
  EXPECT_EQ(got.picturePath, whole.picturePath);
  EXPECT_EQ(got.fillColour, whole.fillColour);
  if (got.picture) {
    EXPECT_EQ(got.picture->width, whole.picture->width);
  }
}

TEST(ReadFailure, EveryFailedAllocationEndsTheReadWithWhatWasReadAndNothingLeaked) {
  test::TempDir dir;
  const std::string bytes = EveryKindOfRecord(dir);
  CORVELIXImageToolDoc whole;
  std::string error;
  ASSERT_TRUE(Read(bytes, whole, error)) << error;
  ASSERT_EQ(whole.ObjectCount(), 7u);
  ASSERT_NE(whole.objects[1]->picture, nullptr);
  ASSERT_NE(whole.objects[3]->picture, nullptr);

  for (const AllocationFault fault : {AllocationFault::BadAlloc, AllocationFault::LengthError}) {
    int failures = 0;
    for (long n = 1;; ++n) {
      SCOPED_TRACE("allocation " + std::to_string(n) +
                   (fault == AllocationFault::BadAlloc ? " (bad_alloc)" : " (length_error)"));
      const long liveBefore = test::LiveAllocations();
      const std::size_t filesBefore = OpenFiles();
      bool failed = false;
      {
        CORVELIXImageToolDoc doc;
        std::string why;
        const bool read = Read(bytes, doc, why, n, fault);
        failed = test::AllocationFailed();
        if (!failed) {
          EXPECT_TRUE(read) << why;
          EXPECT_EQ(doc.ObjectCount(), whole.ObjectCount());
        } else if (read) {
          // Only a picture can be lost without ending the read: it is then no picture.
          EXPECT_EQ(doc.ObjectCount(), whole.ObjectCount());
        } else {
          ++failures;
          EXPECT_FALSE(why.empty());
          EXPECT_LT(doc.ObjectCount(), whole.ObjectCount());
        }
        for (std::size_t i = 0; i < doc.ObjectCount() && i < whole.ObjectCount(); ++i) {
          ExpectSameObject(*doc.objects[i], *whole.objects[i]);
        }
      }
      EXPECT_EQ(test::LiveAllocations(), liveBefore);
      EXPECT_EQ(OpenFiles(), filesBefore);
      if (!failed || HasFailure()) {
        std::printf("  %ld allocations failed in turn: %d ended the read, the others a picture\n",
                    n - 1, failures);
        break;
      }
    }
    EXPECT_GT(failures, 10);
  }
}

class ObjectCreationFailure : public ::testing::Test {
 protected:
  CORVELIXImageToolDoc doc;
  int cannotFind = 0;
  int otherMessages = 0;
  int dialogs = 0;

  void SetUp() override {
    // Counted, not kept: keeping them would allocate while the allocations are being counted.
    Prompts().ShowMessage = [this](const std::string& text, const std::string&) {
      ++(text == kCantFindObjectMessage ? cannotFind : otherMessages);
    };
    // The failure is asked for once the dialog's own strings exist, so that it hits the object.
    Prompts().ChooseFileToOpen = [](const std::string&, const std::string&, const std::string&) {
      test::FailAllocation(1);
      return std::string("/tmp/p.bmp");  // short enough to need no allocation of its own
    };
    Dialogs().RunFigureDialog = [this](FigureDialogValues&) { return ++dialogs > 0; };
    Dialogs().RunTextDialog = [this](TextDialogValues&) { return ++dialogs > 0; };
  }
  void TearDown() override {
    Prompts() = UserPrompts{};
    Dialogs() = DialogRunners{};
  }
};

TEST_F(ObjectCreationFailure, NoMemoryForANewObjectSaysItCannotFindOne) {
  const std::vector<std::function<void()>> additions = {[this] {
                                                          test::FailAllocation(1);
                                                          EditFigure(doc, -1, 3);
                                                        },
                                                        [this] {
                                                          test::FailAllocation(1);
                                                          EditText(doc, -1);
                                                        },
                                                        [this] { EditBitmap(doc, -1); }};
  for (const auto& add : additions) {
    const long liveBefore = test::LiveAllocations();
    add();
    EXPECT_TRUE(test::AllocationFailed());
    test::FailAllocation(0);
    EXPECT_EQ(test::LiveAllocations(), liveBefore);
  }
  EXPECT_EQ(cannotFind, 3);
  EXPECT_EQ(otherMessages, 0);
  EXPECT_EQ(doc.ObjectCount(), 0u);
  EXPECT_EQ(dialogs, 0);

  EXPECT_EQ(doc.FindOrCreateObject(0), nullptr);
  test::FailAllocation(1);
  EXPECT_EQ(doc.FindOrCreateObject(-1), nullptr);
  test::FailAllocation(0);
  EXPECT_NE(doc.FindOrCreateObject(-1), nullptr);
}

}  // namespace
}  // namespace azuz
