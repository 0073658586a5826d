// One viewer instance over an in-memory settings store, with every window
// hook and page event recorded, and the message boxes caught.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "common/text_format.h"
#include "viewer/library.h"
#include "viewer/settings_store.h"
#include "viewer/viewer_instance.h"

struct ViewerRecord {
  std::vector<std::string> boxes;  // message box texts
  std::vector<uint32_t> boxFlags;
  std::vector<std::string> calls;     // hooks and events, as "name(args)"
  std::vector<std::string> statuses;  // the status text each time it changed
};

inline ViewerRecord& Record() {
  static ViewerRecord record;
  return record;
}

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Record() = ViewerRecord{};
    SetMessageBoxHook([](void*, const std::u16string& text, const std::u16string&, uint32_t flags) {
      Record().boxes.push_back(Utf16ToUtf8(text));
      Record().boxFlags.push_back(flags);
      return 1;
    });
    auto owned = std::make_unique<MemoryStore>();
    store_ = owned.get();
    StartLibrary(kLibraryPlugin, std::move(owned));
    FillHooks(&Library().hooks, &Library().events);
    Recreate();
  }
  void TearDown() override {
    if (viewer_) DestroyInstance(&viewer_);
    StopLibrary();
    SetMessageBoxHook(nullptr);
  }

  void Recreate() {
    if (viewer_) DestroyInstance(&viewer_);
    ASSERT_EQ(CreateInstance(&viewer_, kModeEmbedded, nullptr, 0, nullptr, nullptr), kStatusDone);
    Record().calls.clear();
  }

  std::vector<std::string> TakeCalls() {
    std::vector<std::string> calls;
    calls.swap(Record().calls);
    return calls;
  }

  static std::string Status(const ViewerInstance* viewer) {
    return Utf16ToUtf8(TextOf(&viewer->status.statusText));
  }
  static std::string LogText(const MessageLog& log) { return Utf16ToUtf8(TextOf(&log.text)); }

  ViewerInstance* viewer_ = nullptr;
  MemoryStore* store_ = nullptr;

 private:
  static void Add(const std::string& call) { Record().calls.push_back(call); }
  static void FillHooks(ViewerHooks* hooks, ViewerEvents* events) {
    hooks->invalidate = [](ViewerInstance*, int erase) { Add("invalidate(" + std::to_string(erase) + ")"); };
    hooks->layoutMainView = [](ViewerInstance*, int keep) { Add("layout(" + std::to_string(keep) + ")"); };
    hooks->rebuildMainView = [](ViewerInstance*) { Add("rebuild()"); };
    hooks->postAutoPrint = [](ViewerInstance*) { Add("autoprint()"); };
    hooks->statusChanged = [](ViewerInstance* v) {
      std::string text = Utf16ToUtf8(TextOf(&v->status.statusText));
      if (Record().statuses.empty() || Record().statuses.back() != text) Record().statuses.push_back(text);
    };
    events->pageChange = [](ViewerInstance*, int32_t page) { Add("page(" + std::to_string(page) + ")"); };
    events->mouseModeChange = [](ViewerInstance*, int32_t mode) {
      Add("mouse(" + std::to_string(mode) + ")");
    };
    events->sizeModeChange = [](ViewerInstance*, int32_t mode, int32_t percent) {
      Add("size(" + std::to_string(mode) + "," + std::to_string(percent) + ")");
    };
    events->orientationChange = [](ViewerInstance*, int32_t o) {
      Add("orientation(" + std::to_string(o) + ")");
    };
    events->negativeChange = [](ViewerInstance*, int32_t n) { Add("negative(" + std::to_string(n) + ")"); };
  }
};
