// The download's temporary file against the real Windows file system: while
// the intake writes it, others may read it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "viewer/download_intake.h"
#include "viewer_fixture.h"

namespace {

class IntakeFile : public ViewerTest {};

TEST_F(IntakeFile, TemporaryFileCanBeReadWhileTheDownloadWritesIt) {
  int stream = 0;
  ASSERT_EQ(BeginDownload(viewer_, &stream, u"http://127.0.0.1/a.tif", u"image/tiff", 0), kBeginAccepted);
  const std::string block = "II*\0 some bytes";
  ASSERT_EQ(ReceiveData(viewer_, 0, static_cast<int32_t>(block.size()), block.data()),
            static_cast<int32_t>(block.size()));
  ASSERT_NE(viewer_->download.tempFile, nullptr) << "the intake still holds the file";

  // A reader that tolerates a writer asks for write sharing; the intake must grant read sharing.
  const auto* name = reinterpret_cast<const wchar_t*>(TextOf(&viewer_->download.tempFileName));
  HANDLE reader = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE) << "error " << GetLastError();
  char seen[64] = {};
  DWORD count = 0;
  EXPECT_TRUE(ReadFile(reader, seen, sizeof seen, &count, nullptr));
  EXPECT_EQ(std::string(seen, count), block);
  CloseHandle(reader);

  // Nobody else may write into the download meanwhile.
  HANDLE writer = CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EndDownload(viewer_, kReasonNetworkError);
}

}  // namespace
