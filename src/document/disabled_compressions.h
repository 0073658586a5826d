// The process-wide list of compression codes the administrator switched off.
// The settings fill it at library start; the page decoder consults it before
// handing a page to libtiff.
#pragma once

#include <cstdint>
#include <vector>

// Replaces the list; codes below 1 are ignored.
void SetDisabledCompressions(const std::vector<int32_t>& codes);
void ClearDisabledCompressions();
int IsCompressionDisabled(int32_t code);
