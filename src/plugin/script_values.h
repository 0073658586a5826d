// The value codes a page reads and writes through GetValue, SetValue,
// GetValueString, SetValueString and GetPageValue. Codes not listed in the
// tables answer 0 (or the empty text) and change nothing.
#pragma once

#include <cstdint>
#include <string>

struct ViewerInstance;

int32_t GetViewerValue(ViewerInstance* viewer, int32_t code);
// Closes the magnifier first, as every script change of the view does.
int32_t SetViewerValue(ViewerInstance* viewer, int32_t code, int32_t value);
// `text` null: the page's text was too long to read.
int32_t SetViewerText(ViewerInstance* viewer, int32_t code, const std::u16string* text);
std::u16string GetViewerText(ViewerInstance* viewer, int32_t code);
// `page` counts from 1.
int32_t GetPageValue(ViewerInstance* viewer, int32_t page, int32_t code);

// A document finished loading and is usable.
int DocumentLoaded(const ViewerInstance* viewer);
// ... and its current page is decoded and shown.
int PageShown(const ViewerInstance* viewer);
