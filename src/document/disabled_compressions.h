// Compression codes the machine's settings forbid the viewer to decode.
#pragma once

#include <cstdint>
#include <vector>

// Replaces the process-wide list; codes below 1 are ignored.
void SetDisabledCompressions(const std::vector<int32_t>& codes);
void ClearDisabledCompressions();
int IsCompressionDisabled(int32_t code);
