// Optical mark reading: four solid registration marks near the corners of a
// scanned bilevel form calibrate a mapping from the blank form's coordinates
// to page pixels; answer boxes are then measured through that mapping.
#pragma once

#include <cstdint>

#include "analysis/omr_mapping.h"
#include "common/message_log.h"
#include "document/page_bitmap.h"

// One per viewer instance, replaced by every OMRInit; the triangles are made
// by MakeTriangles from the reference rectangle and the marks' corners.
struct OmrCalibration {
  int32_t exists = 0;   // made from a bilevel page
  int32_t found = 0;    // four marks found in a plausible shape
  OmrPoint corners[4];  // the marks' corners on the page; (-1, -1) where none was found
  OmrTriangle reference[4];
  OmrTriangle page[4];
  int32_t debug = 0;  // made with the debug trace on: checks show their samples on the page
};

// Calibrates from `page`, whose corners of the four marks span the reference
// rectangle (x, y, w, h) on the blank form. Non-bilevel pages leave no
// calibration. With the debug trace on, the page is changed to show what the
// search saw.
void OMRInit(OmrCalibration* calibration, PageBitmap* page, int32_t x, int32_t y, int32_t w, int32_t h,
             MessageLog* log);
// A box is sampled at every reference point, so a script's absurd box would
// hold the window for hours; boxes with more samples than this read 0.
constexpr int64_t kOmrMaximumSamples = int64_t{1} << 26;

// The dark fraction of the reference box (x, y, w, h), both ends included,
// sampled through the mapping; 0 without a usable calibration, when no
// sample lands on the page, or for a box of more than kOmrMaximumSamples
// samples inside the form.
double OMRCheck(const OmrCalibration* calibration, PageBitmap* page, int32_t x, int32_t y, int32_t w,
                int32_t h);
// The page pixel for a reference point; zero when the point lies in none of
// the triangles.
int MapReferencePoint(const OmrCalibration* calibration, int64_t x, int64_t y, OmrPoint* pagePoint);
