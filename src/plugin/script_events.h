// Telling the page: the viewer calls global functions of the page named
// "mvtf_On..." with the element's id first. The page chooses what it hears with
// the event mask; a handler never triggers a second event of the same viewer.
#pragma once

#include <cstdint>

#include "plugin/npapi.h"

struct ViewerInstance;

enum EventBit : uint32_t {
  kEventReady = 1,
  kEventFileReady = 2,
  kEventPageChange = 4,
  kEventMouseModeChange = 8,
  kEventSizeModeChange = 16,
  kEventOrientationChange = 32,
  kEventNegativeChange = 64,
  kEventPrintComplete = 128,
  kEventUpload = 1024,
  kEventUploadHeader = 2048,
  kEventAnnotationChange = 4096,
  kEventCropSelect = 8192,
};

enum DeliveryResult : int32_t {
  kNotDelivered = 0,  // scripting services, window object or function missing
  kCallFailed = 1,    // the function exists but the call failed
  kDelivered = 2,
};

// Calls the page function `name` with `args`, whose first slot is filled here
// with the element's id (an empty string when it has none). `count` counts
// that slot.
int32_t DeliverEvent(NPP npp, const char* name, NPVariant* args, uint32_t count);

// Whether an event of `bit` may be fired now: scripting allowed, no handler
// running, and every bit of `bit` set in the mask.
int EventGateOpen(ViewerInstance* viewer, uint32_t bit);

// The firing operations. Pages are 1-based.
void FireReady(ViewerInstance* viewer);
void FireFileReady(ViewerInstance* viewer);
void FirePageChange(ViewerInstance* viewer, int32_t page);
void FireMouseModeChange(ViewerInstance* viewer, int32_t mouseMode);
void FireSizeModeChange(ViewerInstance* viewer, int32_t sizeMode, int32_t zoomPercent);
// 1 upright, 2 rotated right, 3 upside down, 4 rotated left.
void FireOrientationChange(ViewerInstance* viewer, int32_t orientation);
void FireNegativeChange(ViewerInstance* viewer, int32_t negative);
void FirePrintComplete(ViewerInstance* viewer, int32_t printed);
void FireUploadStart(ViewerInstance* viewer, int32_t tag);
void FireUploadComplete(ViewerInstance* viewer, int32_t tag, int32_t errorCode, const char16_t* message);
void FireUploadHttpHeader(ViewerInstance* viewer, int32_t tag, const char16_t* name, const char16_t* value);
void FireAnnotationChange(ViewerInstance* viewer, int32_t page);
// State 1 set (the rectangle in image pixels), 0 cleared.
void FireCropSelect(ViewerInstance* viewer, int32_t state, int32_t page, int32_t left, int32_t top,
                    int32_t width, int32_t height);
