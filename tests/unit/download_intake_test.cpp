#include "viewer/download_intake.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "output/auto_print.h"
#include "platform/platform.h"
#include "tiff_fixture.h"
#include "viewer/page_view.h"
#include "viewer_fixture.h"

namespace {

std::vector<uint8_t> GreyTiff(uint32_t width = 16, uint32_t height = 12) {
  TestPage page;
  page.width = width;
  page.height = height;
  page.rows.assign(1, std::vector<std::vector<uint8_t>>(height, std::vector<uint8_t>(width)));
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) page.rows[0][y][x] = static_cast<uint8_t>(x * 16 + y);
  }
  return WriteTestTiff(page);
}

class Intake : public ViewerTest {
 protected:
  int32_t Begin(uint32_t announced) {
    return BeginDownload(viewer_, &stream_, u"http://127.0.0.1/a.tif", u"image/tiff", announced);
  }

  // Offers the bytes in blocks; answers the first refusal (-1) or the count of the last block.
  int32_t Send(const std::vector<uint8_t>& bytes, size_t block, size_t from = 0) {
    int32_t answer = 0;
    for (size_t at = from; at < bytes.size(); at += block) {
      const size_t n = std::min(block, bytes.size() - at);
      answer = ReceiveData(viewer_, static_cast<int32_t>(at), static_cast<int32_t>(n), bytes.data() + at);
      if (answer < 0) return answer;
    }
    return answer;
  }

  std::u16string TempName() const { return TextOf(&viewer_->download.tempFileName); }

  int stream_ = 0;
};

TEST_F(Intake, AnnouncedLengthChoosesMemoryOrTemporaryFile) {
  struct Case {
    uint32_t announced;
    int32_t source;
  };
  for (Case c : {Case{1, kSourceMemory}, Case{2097151, kSourceMemory}, Case{2097152, kSourceFile},
                 Case{0, kSourceFile}}) {
    Recreate();
    ASSERT_EQ(Begin(c.announced), kBeginAccepted) << c.announced;
    EXPECT_EQ(viewer_->download.document.sourceKind, c.source) << c.announced;
    EXPECT_EQ(viewer_->download.loadState, kLoadDownloading);
    EXPECT_EQ(Status(viewer_), "  Downloading\u2026");
    if (c.source == kSourceMemory) {
      EXPECT_NE(viewer_->download.memoryBuffer, nullptr);
      EXPECT_EQ(viewer_->download.document.size, c.announced);
      EXPECT_TRUE(viewer_->download.document.sizeKnown);
      EXPECT_TRUE(TempName().empty());
    } else {
      EXPECT_EQ(viewer_->download.memoryBuffer, nullptr);
      EXPECT_FALSE(viewer_->download.document.sizeKnown);
      EXPECT_TRUE(FileExists(TempName())) << c.announced;
    }
  }
}

TEST_F(Intake, DocumentInMemoryIsReadAndShown) {
  const std::vector<uint8_t> tiff = GreyTiff();
  viewer_->prefs.allowScript = 1;
  ASSERT_EQ(Begin(static_cast<uint32_t>(tiff.size())), kBeginAccepted);
  ASSERT_EQ(Send(tiff, 100), static_cast<int32_t>(tiff.size() % 100 ? tiff.size() % 100 : 100));
  EXPECT_EQ(viewer_->status.progressPercent, 100);
  EXPECT_EQ(EndDownload(viewer_, kReasonDone), 0);
  EXPECT_EQ(viewer_->download.loadState, kLoadDone);
  EXPECT_TRUE(viewer_->download.hasPages);
  EXPECT_EQ(viewer_->download.document.pageCount, 1);
  ASSERT_NE(viewer_->view.pageBitmap.block, nullptr);
  EXPECT_EQ(HeaderOf(&viewer_->view.pageBitmap)->width, 16);
  EXPECT_EQ(Status(viewer_), "");
  EXPECT_EQ(viewer_->status.progressPercent, -1);
  EXPECT_EQ(Record().statuses.back(), "");
  EXPECT_NE(std::find(Record().statuses.begin(), Record().statuses.end(), "  Processing\u2026"),
            Record().statuses.end());
  EXPECT_EQ(viewer_->logs.documentLog.errorCount + viewer_->logs.documentLog.warningCount, 0)
      << LogText(viewer_->logs.documentLog);
  EXPECT_TRUE(Record().boxes.empty());
}

TEST_F(Intake, DocumentOfUnknownLengthGoesThroughAFileThatDestructionDeletes) {
  const std::vector<uint8_t> tiff = GreyTiff(40, 30);
  ASSERT_EQ(Begin(0), kBeginAccepted);
  const std::u16string name = TempName();
  ASSERT_EQ(Send(tiff, 333), static_cast<int32_t>(tiff.size() % 333));
  EXPECT_EQ(Status(viewer_), "  Downloading\u2026 " + std::to_string(tiff.size() / 1024) + "K of (unknown)");
  EXPECT_EQ(viewer_->status.progressPercent, -1) << "no bar without a length";
  EXPECT_EQ(EndDownload(viewer_, kReasonDone), 0);
  EXPECT_TRUE(viewer_->download.hasPages) << LogText(viewer_->logs.documentLog);
  EXPECT_EQ(viewer_->download.document.size, tiff.size());
  EXPECT_EQ(TextOf(&viewer_->download.localFileName), name);
  ASSERT_NE(viewer_->view.pageBitmap.block, nullptr);
  EXPECT_EQ(HeaderOf(&viewer_->view.pageBitmap)->height, 30);
  EXPECT_TRUE(FileExists(name)) << "the shown document is read from it";
  DestroyInstance(&viewer_);
  EXPECT_FALSE(FileExists(name));
}

TEST_F(Intake, ProgressTextCountsPercentOfTheAnnouncedKilobytes) {
  std::vector<uint8_t> bytes(3000, 0x41);
  ASSERT_EQ(Begin(3000), kBeginAccepted);
  ASSERT_EQ(ReceiveData(viewer_, 0, 1000, bytes.data()), 1000);
  EXPECT_EQ(Status(viewer_), "  Downloading\u2026 33% of 2K");
  EXPECT_EQ(viewer_->status.progressPercent, 33);
  ASSERT_EQ(ReceiveData(viewer_, 1000, 2000, bytes.data()), 2000);
  EXPECT_EQ(Status(viewer_), "  Downloading\u2026 100% of 2K");
  EXPECT_EQ(ReceiveData(viewer_, 3000, 0, bytes.data()), 0) << "an empty block is answered with its length";
  EXPECT_EQ(ReceiveData(viewer_, 3000, -5, bytes.data()), -5);
}

TEST_F(Intake, MoreThanAnnouncedInMemoryAbortsWithTheInconsistencyMessage) {
  const std::vector<uint8_t> tiff = GreyTiff();
  const size_t announced = tiff.size() - 10;
  // The first block of 64 that reaches past the announced end is refused.
  const size_t firstEnd = std::min(tiff.size(), (announced / 64 + 1) * 64);
  ASSERT_EQ(Begin(static_cast<uint32_t>(announced)), kBeginAccepted);
  EXPECT_EQ(Send(tiff, 64), -1);
  EXPECT_EQ(viewer_->download.bytesReceived, firstEnd);
  ASSERT_EQ(Record().boxes.size(), 1u);
  EXPECT_EQ(Record().boxes[0], "Inconsistent amount of data received (expected " +
                                   std::to_string(tiff.size() - 10) + " bytes, received at least " +
                                   std::to_string(firstEnd) +
                                   "). This probably indicates a malfunctioning web server.");
  EXPECT_EQ(Record().boxFlags[0], kIconWarning);
  EXPECT_EQ(ReceiveData(viewer_, 0, 4, tiff.data()), -1) << "every later block is refused";
  EXPECT_EQ(EndDownload(viewer_, kReasonDone), 0);
  EXPECT_EQ(Status(viewer_), "  Download failed");
  EXPECT_FALSE(viewer_->download.hasPages);
  EXPECT_EQ(viewer_->download.memoryBuffer, nullptr);
  EXPECT_EQ(Record().boxes.size(), 1u);
}

TEST_F(Intake, SizeMismatchesKeepTheDataReceivedAndWarn) {
  const std::vector<uint8_t> tiff = GreyTiff();
  const std::string warning = "Warning: Expected " + std::to_string(tiff.size() + 10) + " bytes, received " +
                              std::to_string(tiff.size()) +
                              ". Possible web site or web browser malfunction.\r\n";
  // Fewer than announced, in memory.
  ASSERT_EQ(Begin(static_cast<uint32_t>(tiff.size() + 10)), kBeginAccepted);
  ASSERT_GT(Send(tiff, 50), 0);
  EndDownload(viewer_, kReasonDone);
  EXPECT_EQ(viewer_->download.document.size, tiff.size());
  EXPECT_TRUE(viewer_->download.hasPages);
  EXPECT_EQ(LogText(viewer_->logs.documentLog), warning);

  // More than announced, in a file: everything is kept.
  Recreate();
  std::vector<uint8_t> padded = tiff;
  padded.resize(kMemoryIntakeLimit + 5, 0);
  ASSERT_EQ(Begin(kMemoryIntakeLimit), kBeginAccepted);
  ASSERT_GT(Send(padded, 65536), 0);
  EndDownload(viewer_, kReasonDone);
  EXPECT_EQ(viewer_->download.document.size, padded.size());
  EXPECT_TRUE(viewer_->download.hasPages);
  EXPECT_NE(LogText(viewer_->logs.documentLog).find("Warning: Expected 2097152 bytes, received 2097157."),
            std::string::npos);
  EXPECT_TRUE(Record().boxes.empty());
}

TEST_F(Intake, BlocksSentTwiceInMemoryNeverLetTheDocumentPastItsBuffer) {
  // The page is read from the buffer; a size beyond it would read freed or
  // foreign memory.
  const std::vector<uint8_t> tiff = GreyTiff();
  ASSERT_EQ(Begin(static_cast<uint32_t>(tiff.size())), kBeginAccepted);
  ASSERT_GT(Send(tiff, 64), 0);
  ASSERT_GT(Send(tiff, 64), 0);
  EXPECT_EQ(viewer_->download.bytesReceived, 2 * tiff.size());
  EndDownload(viewer_, kReasonDone);
  EXPECT_EQ(viewer_->download.document.size, tiff.size());
  EXPECT_TRUE(viewer_->download.hasPages);
  EXPECT_TRUE(viewer_->view.pageInfo.valid);
}

TEST_F(Intake, DownloadsOverTwoGigabytesAreRefusedAndLeaveNoFile) {
  EXPECT_EQ(Begin(3000000000u), kBeginRefused);
  ASSERT_EQ(Record().boxes.size(), 1u);
  EXPECT_EQ(Record().boxes[0],
            "TIFF file too large (3000000000 bytes). Downloads over 2GB are not supported.");
  const uint8_t block[4] = {'I', 'I', 42, 0};
  EXPECT_EQ(ReceiveData(viewer_, 0, 4, block), -1);
  EXPECT_EQ(ReceiveData(viewer_, 4, 4, block), -1);
  EXPECT_TRUE(TempName().empty());
  EXPECT_NE(viewer_->download.loadState, kLoadDownloading)
      << "a refused stream does not block the next request";
  EXPECT_EQ(Status(viewer_), "  Download failed");
  EXPECT_EQ(UnloadDocument(viewer_, kRefreshView), 1);
}

TEST_F(Intake, ReceivedBytesBeyondTwoGigabytesFailTheStream) {
  ASSERT_EQ(Begin(0), kBeginAccepted);
  const uint8_t block[4] = {'I', 'I', 42, 0};
  ASSERT_EQ(ReceiveData(viewer_, 0, 4, block), 4);
  viewer_->download.bytesReceived = 0x7FFFFFFE;  // as after two gigabytes of blocks
  EXPECT_EQ(ReceiveData(viewer_, 4, 4, block), -1);
  EXPECT_EQ(LogText(viewer_->logs.documentLog),
            "Error: File is too large to handle (>=2147483650 bytes)\r\n");
  EXPECT_EQ(ReceiveData(viewer_, 8, 4, block), -1);
  const std::u16string name = TempName();
  EndDownload(viewer_, kReasonDone);
  EXPECT_FALSE(FileExists(name));
}

TEST_F(Intake, SecondStreamIsRefusedWhileTheFirstArrives) {
  const std::vector<uint8_t> tiff = GreyTiff();
  ASSERT_EQ(Begin(static_cast<uint32_t>(tiff.size())), kBeginAccepted);
  ASSERT_GT(ReceiveData(viewer_, 0, 10, tiff.data()), 0);
  int other = 0;
  EXPECT_EQ(BeginDownload(viewer_, &other, u"http://127.0.0.1/b.tif", u"image/tiff", 100), kBeginRefused);
  EXPECT_EQ(viewer_->download.streamsAccepted, 1);
  EXPECT_EQ(UnloadDocument(viewer_, kRefreshView), 0) << "refused while downloading";
  EXPECT_EQ(OpenLocalFile(viewer_, u"/nonexistent.tif"), 0);
  ASSERT_GT(Send(tiff, 100, 10), 0);
  EndDownload(viewer_, kReasonDone);
  EXPECT_TRUE(viewer_->download.hasPages);
  EXPECT_EQ(TextOf(&viewer_->download.documentUrl), std::u16string(u"http://127.0.0.1/a.tif"));
}

TEST_F(Intake, FirstTwoBytesAreCapturedAcrossBlocks) {
  const std::vector<uint8_t> tiff = GreyTiff();
  ASSERT_EQ(Begin(0), kBeginAccepted);
  ASSERT_EQ(ReceiveData(viewer_, 0, 1, tiff.data()), 1);
  EXPECT_FALSE(viewer_->download.document.headerCaptured);
  ASSERT_EQ(ReceiveData(viewer_, 1, 1, tiff.data() + 1), 1);
  EXPECT_TRUE(viewer_->download.document.headerCaptured);
  EXPECT_EQ(viewer_->download.document.header[0], tiff[0]);
  EXPECT_EQ(viewer_->download.document.header[1], tiff[1]);
  const uint8_t other[2] = {'M', 'M'};
  ASSERT_EQ(ReceiveData(viewer_, 2, 2, other), 2);
  EXPECT_EQ(viewer_->download.document.header[0], 'I') << "later blocks do not touch them";
}

TEST_F(Intake, FailedEndsLogTheirReasonAndDeleteTheFile) {
  struct Case {
    int32_t reason;
    const char* log;
  };
  for (Case c : {Case{kReasonNetworkError, "Error: Download failed (network error)\r\n"},
                 Case{kReasonUserBreak, "Warning: Download failed (user break)\r\n"},
                 Case{7, "Error: Download failed (reason 7)\r\n"}}) {
    Recreate();
    const std::vector<uint8_t> tiff = GreyTiff();
    ASSERT_EQ(Begin(0), kBeginAccepted);
    const std::u16string name = TempName();
    ASSERT_GT(Send(tiff, 100), 0);
    EXPECT_EQ(EndDownload(viewer_, c.reason), 0);
    EXPECT_EQ(LogText(viewer_->logs.documentLog), c.log);
    EXPECT_EQ(Status(viewer_), "  Download failed");
    EXPECT_EQ(viewer_->download.loadState, kLoadDone);
    EXPECT_FALSE(viewer_->download.hasPages);
    EXPECT_FALSE(FileExists(name)) << c.reason;
    EXPECT_TRUE(TempName().empty());
  }
  EXPECT_EQ(EndDownload(nullptr, 0), 2);
  EXPECT_EQ(ReceiveData(nullptr, 0, 1, "x"), -1);
  EXPECT_EQ(BeginDownload(nullptr, nullptr, nullptr, nullptr, 0), kBeginRefused);
}

TEST_F(Intake, DataThatIsNotTiffEndsWithoutAPicture) {
  const std::vector<uint8_t> text(100, 'x');
  ASSERT_EQ(Begin(100), kBeginAccepted);
  ASSERT_EQ(Send(text, 100), 100);
  EndDownload(viewer_, kReasonDone);
  EXPECT_FALSE(viewer_->download.hasPages);
  EXPECT_EQ(Status(viewer_), "  Unable to display image");
  EXPECT_EQ(viewer_->logs.documentLog.errorCount, 1) << LogText(viewer_->logs.documentLog);
  EXPECT_EQ(viewer_->view.pageBitmap.block, nullptr);
}

TEST_F(Intake, DocumentWithoutPagesCountsOnePage) {
  // The toolbar and the page count a script reads show "1 of 1" over the
  // empty view, never "0"; moving to that one page changes nothing.
  std::vector<uint8_t> noDirectory = GreyTiff();
  noDirectory.resize(8);
  for (int i = 4; i < 8; ++i) noDirectory[i] = 0;  // first directory at offset 0: none
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  for (const Case& c :
       {Case{"not TIFF", std::vector<uint8_t>(100, 'x')}, Case{"no directory", noDirectory}}) {
    Recreate();
    ASSERT_EQ(Begin(static_cast<uint32_t>(c.bytes.size())), kBeginAccepted) << c.name;
    ASSERT_GT(Send(c.bytes, 100), 0) << c.name;
    EndDownload(viewer_, kReasonDone);
    EXPECT_FALSE(viewer_->download.hasPages) << c.name;
    EXPECT_EQ(viewer_->download.document.pageCount, 1) << c.name;
    EXPECT_EQ(viewer_->download.currentPage, 0) << c.name;
    EXPECT_EQ(Status(viewer_), "  Unable to display image") << c.name;
    TakeCalls();
    EXPECT_EQ(StepPage(viewer_, kStepLast), 1) << c.name;
    EXPECT_EQ(StepPage(viewer_, kStepNext), 0) << c.name;
    EXPECT_TRUE(TakeCalls().empty()) << c.name;
  }
}

// The owner of a message box lets the browser go on delivering blocks while
// the box is open; the stream has already failed, so they are refused.
int32_t g_writeDuringBox = 0;
ViewerInstance* g_boxViewer = nullptr;

TEST_F(Intake, BlocksDeliveredWhileAFailureBoxIsOpenAreRefused) {
  SetMessageBoxHook([](void*, const std::u16string& text, const std::u16string&, uint32_t flags) {
    Record().boxes.push_back(Utf16ToUtf8(text));
    Record().boxFlags.push_back(flags);
    static const uint8_t block[4] = {'I', 'I', 42, 0};
    if (g_boxViewer) {
      ViewerInstance* viewer = g_boxViewer;
      g_boxViewer = nullptr;  // once: a second failure would open a second box
      g_writeDuringBox = ReceiveData(viewer, 0, 4, block);
    }
    return 1;
  });
  struct Case {
    const char* name;
    uint32_t announced;
    int32_t length;  // the failing block, at offset 0
    const char* box;
  };
  const std::vector<uint8_t> bytes(64, 0x41);
  for (const Case& c : {Case{"past the announced end", 16, 32,
                             "Inconsistent amount of data received (expected 16 "
                             "bytes, received at least 32). This probably "
                             "indicates a malfunctioning web server."},
                        Case{"temporary file not writable", 0, 32, "Unable to write to temporary file!"}}) {
    Recreate();
    Record().boxes.clear();
    ASSERT_EQ(Begin(c.announced), kBeginAccepted) << c.name;
    if (c.announced == 0) {
      // A handle that refuses writing stands in for a full disk.
      CloseFile(viewer_->download.tempFile);
      viewer_->download.tempFile = OpenFileForReading(TempName());
      ASSERT_NE(viewer_->download.tempFile, nullptr);
    }
    g_writeDuringBox = 0;
    g_boxViewer = viewer_;
    EXPECT_EQ(ReceiveData(viewer_, 0, c.length, bytes.data()), -1) << c.name;
    EXPECT_EQ(g_writeDuringBox, -1) << c.name;
    ASSERT_EQ(Record().boxes.size(), 1u) << c.name;
    EXPECT_EQ(Record().boxes[0], c.box);
    EXPECT_EQ(viewer_->download.bytesReceived, static_cast<uint32_t>(c.length))
        << c.name << ": the refused block is not counted";
    EndDownload(viewer_, kReasonDone);
    EXPECT_EQ(Status(viewer_), "  Download failed") << c.name;
  }
}

TEST_F(Intake, AutomaticPrintIsAskedAfterTheFirstStreamOnly) {
  const std::vector<uint8_t> tiff = GreyTiff();
  viewer_->print.autoPrint = 1;
  ASSERT_EQ(Begin(static_cast<uint32_t>(tiff.size())), kBeginAccepted);
  Send(tiff, 1000);
  EndDownload(viewer_, kReasonDone);
  std::vector<std::string> calls = TakeCalls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "autoprint()"), 1);

  // A document a script asks for later does not print by itself.
  ASSERT_EQ(UnloadDocument(viewer_, kRefreshView), 1);
  viewer_->download.loadState = kLoadAwaiting;
  viewer_->download.acceptedStream = nullptr;
  int requested = 0;
  ASSERT_EQ(BeginDownload(viewer_, &requested, u"http://127.0.0.1/b.tif", nullptr, 0), kBeginAccepted);
  Send(tiff, 1000);
  EndDownload(viewer_, kReasonDone);
  EXPECT_TRUE(viewer_->download.hasPages);
  calls = TakeCalls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "autoprint()"), 0);
}

TEST_F(Intake, AutomaticPrintFollowsTheSettings) {
  struct Case {
    int32_t autoPrint, allowScript, allowAutoPrint, action;
  };
  for (Case c :
       {Case{0, 1, 1, kAutoPrintNone}, Case{1, 1, 0, kAutoPrintWithDialog}, Case{1, 0, 1, kAutoPrintNone},
        Case{4, 1, 1, kAutoPrintDirect}, Case{4, 1, 0, kAutoPrintNone}, Case{5, 1, 1, kAutoPrintDirect},
        Case{5, 1, 0, kAutoPrintWithDialog}, Case{3, 1, 1, kAutoPrintNone}}) {
    viewer_->print.autoPrint = c.autoPrint;
    viewer_->prefs.allowScript = c.allowScript;
    viewer_->prefs.allowAutoPrint = c.allowAutoPrint;
    EXPECT_EQ(DecideAutoPrint(viewer_), c.action) << c.autoPrint << c.allowScript << c.allowAutoPrint;
  }
}

TEST_F(Intake, AwaitedStreamIsTheOnlyOneTaken) {
  viewer_->download.loadState = kLoadAwaiting;
  int awaited = 0, stray = 0;
  viewer_->download.acceptedStream = &awaited;
  EXPECT_EQ(BeginDownload(viewer_, &stray, nullptr, nullptr, 10), kBeginRefused);
  EXPECT_EQ(viewer_->download.loadState, kLoadAwaiting);
  EXPECT_EQ(BeginDownload(viewer_, &awaited, nullptr, nullptr, 10), kBeginAccepted);
  EndDownload(viewer_, kReasonDone);
  EXPECT_EQ(BeginDownload(viewer_, &stray, nullptr, nullptr, 10), kBeginRefused)
      << "one document per request";
}

TEST_F(Intake, LocalFileIsReadInPlaceAndUnloadForgetsIt) {
  const std::vector<uint8_t> tiff = GreyTiff(24, 20);
  std::u16string name;
  ASSERT_TRUE(CreateTempFile(nullptr, &name));
  FileHandle file = CreateFileForWriting(name);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(WriteToFile(file, tiff.data(), static_cast<uint32_t>(tiff.size())),
            static_cast<int64_t>(tiff.size()));
  CloseFile(file);

  ASSERT_EQ(OpenLocalFile(viewer_, name.c_str()), 1);
  EXPECT_TRUE(viewer_->download.hasPages) << LogText(viewer_->logs.documentLog);
  EXPECT_EQ(viewer_->download.document.size, tiff.size());
  EXPECT_EQ(HeaderOf(&viewer_->view.pageBitmap)->width, 24);
  EXPECT_EQ(viewer_->download.loadState, kLoadDone);
  ASSERT_EQ(UnloadDocument(viewer_, kRefreshView), 1);
  EXPECT_EQ(viewer_->download.loadState, kLoadIdle);
  EXPECT_EQ(viewer_->view.pageBitmap.block, nullptr);
  EXPECT_EQ(viewer_->download.document.sourceKind, kSourceNone);
  EXPECT_TRUE(FileExists(name)) << "the user's file is never deleted";
  DeleteFileAt(name);

  ASSERT_EQ(OpenLocalFile(viewer_, name.c_str()), 1);
  EXPECT_FALSE(viewer_->download.hasPages);
  EXPECT_EQ(LogText(viewer_->logs.documentLog), "Error: Unable to read file\r\n");
  EXPECT_EQ(Status(viewer_), "  Unable to display image");
}

}  // namespace
