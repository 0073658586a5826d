// The methods a page's scripts call on the viewer: one table of records
// (name, argument count, handler) in the order of the identifiers the object
// fetches, the conversions of the browser's values, and the dispatch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/npapi.h"

struct ViewerInstance;

constexpr int32_t kScriptMethodCount = 28;
// Longer UTF-8 texts from the page are not read: a number is 0, a text absent.
constexpr uint32_t kScriptTextLimit = 1048576;
// The operations write their texts into a buffer of this many UTF-16 units.
constexpr size_t kScriptResultUnits = 2048;

// One call: the viewer, the arguments (as many as the table says) and where
// the result goes, preset to the integer 0.
struct ScriptCall {
  ViewerInstance* viewer;
  const NPVariant* args;
  NPVariant* result;
};
using ScriptHandler = void (*)(const ScriptCall& call);

struct ScriptMethod {
  const char* name;
  uint32_t argCount;
  ScriptHandler handler;
};
extern const ScriptMethod kScriptMethods[kScriptMethodCount];

// A number from any value: Bool 0 or 1, Int32 itself, Double plus 1e-8
// truncated toward zero (NaN 0, beyond the range held at its limit), String
// read as a decimal (ReadDecimal), anything else 0.
int32_t ScriptInteger(const NPVariant& value);
// Text from a String value; nullopt when the value is not a string. A text
// over kScriptTextLimit bytes is present but absent (`*absent` set, empty).
std::optional<std::u16string> ScriptText(const NPVariant& value, bool* absent);

void SetIntResult(NPVariant* result, int32_t value);
void SetDoubleResult(NPVariant* result, double value);
void SetVoidResult(NPVariant* result);
// The text (cut to the result buffer) in browser memory; Null when the browser
// gives none.
void SetTextResult(NPVariant* result, std::u16string_view text);

// The table index of `name`, or -1.
int32_t FindScriptMethod(std::string_view name);
// Runs method `index` with `argCount` arguments; 0, doing nothing, when the
// index is unknown or the count is not the method's (a script error).
int RunScriptMethod(ViewerInstance* viewer, int32_t index, const NPVariant* args, uint32_t argCount,
                    NPVariant* result);
