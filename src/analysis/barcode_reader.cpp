#include "analysis/barcode_reader.h"

#include <algorithm>
#include <cmath>

#include "analysis/code128_table.h"
#include "analysis/ink_measure.h"
#include "common/diagnostics.h"

namespace {

// A run passes for e modules when e is its width in module estimates rounded
// either way (generous enough for print gain): floor(v) = e or ceil(v) = e
// with v = run / (firstBar / 2), that is e - 1 < v < e + 1, here in exact
// integers since every light run of the page is tried.
bool PassesWidth(uint32_t run, uint32_t firstBar, int32_t expected) {
  uint64_t twice = uint64_t{run} * 2;
  return uint64_t(expected - 1) * firstBar < twice && twice < uint64_t(expected + 1) * firstBar;
}

int32_t RoundHalfUp(double v) { return static_cast<int32_t>(std::floor(v + 0.5)); }
int32_t ClampWidth(int32_t w) { return w < 1 ? 1 : w > 4 ? 4 : w; }

// With the light run q as quiet zone, a Start B symbol and, further on, a stop
// with its own quiet zone: the number of runs from q to the stop's end plus
// one (quiet zone, start, symbols, stop), or 0.
int32_t FindSymbolSpan(const uint32_t* runs, int32_t n, int32_t q) {
  if (n <= 24 || q + 7 >= n || runs[q] == 0) return 0;
  // The module estimate is half the first bar (Start B begins with two modules).
  uint32_t firstBar = runs[q + 1];
  uint64_t quietMinimum = 5 * uint64_t{firstBar / 2};
  // A symbol at the very start of the row may have lost its quiet zone to the
  // edge of the scanned region.
  if (q >= 3 && runs[q] < quietMinimum) return 0;
  for (int32_t k = 1; k < 6; ++k) {
    if (!PassesWidth(runs[q + 1 + k], firstBar, kCode128Widths[kCode128StartB][k])) return 0;
  }
  uint64_t tooWide = 3 * uint64_t{firstBar};  // six modules
  for (int32_t i = 6; i < n - 7 && q + i + 7 < n; i += 6) {
    int32_t k = 0;
    for (; k < 7; ++k) {
      uint32_t run = runs[q + 1 + i + k];
      if (run >= tooWide) return 0;  // a gap or a blot: the symbol ended without a stop
      if (!PassesWidth(run, firstBar, kCode128Stop[k])) break;
    }
    if (k == 7 && (q + i + 8 >= n - 2 || runs[q + i + 8] >= quietMinimum)) return i + 8;
  }
  return 0;
}

// One symbol's six runs as widths in modules: plain rounding first, then with
// the rounding error carried along from run to run (and from symbol to symbol
// in `error`), which rescues symbols drawn slightly too wide or too narrow.
int32_t DecodeSymbolValue(const uint32_t* runs, double module, double* error) {
  int32_t widths[6];
  for (int k = 0; k < 6; ++k) widths[k] = ClampWidth(RoundHalfUp(runs[k] / module));
  int32_t value = Code128Lookup(widths);
  if (value >= 0) return value;
  double carry = *error;
  for (int k = 0; k < 6; ++k) {
    double w = runs[k] / module + carry;
    widths[k] = ClampWidth(RoundHalfUp(w));
    carry = w - widths[k];
  }
  value = Code128Lookup(widths);
  if (value >= 0) *error = carry;
  return value;
}

// Code sets A and B share the symbol values 96 to 102 for their function and
// switch codes, in different places; set C uses 100 to 102.
enum SymbolRole : uint8_t { kCharacter, kFunction, kShift, kToSetA, kToSetB, kToSetC, kFnc4 };
enum CodeSet : uint8_t { kSetA, kSetB, kSetC };

//                                    96 FNC3    97 FNC2    98       99       100      101      102 FNC1
constexpr SymbolRole kSetARoles[7] = {kFunction, kFunction, kShift, kToSetC, kToSetB, kFnc4, kFunction};
constexpr SymbolRole kSetBRoles[7] = {kFunction, kFunction, kShift, kToSetC, kFnc4, kToSetA, kFunction};
constexpr SymbolRole kSetCRoles[3] = {kToSetB, kToSetA, kFunction};  // 100, 101, 102

SymbolRole RoleOf(CodeSet set, int32_t value) {
  if (set == kSetC) return value < 100 ? kCharacter : kSetCRoles[value - 100];
  if (value < 96) return kCharacter;
  return set == kSetA ? kSetARoles[value - 96] : kSetBRoles[value - 96];
}

// The text of a symbol as its data symbols arrive, following the code set.
struct SymbolText {
  CodeSet set = kSetB;       // symbols that start with Start B
  bool shifted = false;      // the next symbol only is in the other of sets A and B
  bool extended = false;     // two FNC4 in a row: characters are Latin-1's upper half until two more
  bool fnc4Pending = false;  // one FNC4: the next character flips that
  bool lastWasFnc4 = false;
  std::string text;
};

bool AppendCharacter(SymbolText* t, int32_t character) {
  if (t->text.size() >= static_cast<size_t>(kBarcodeTextMaximum)) return false;
  t->text.push_back(static_cast<char>(character));
  return true;
}

// FNC4 reaches the characters of sets A and B only, never set C's digits.
bool AppendExtensible(SymbolText* t, int32_t character) {
  if (t->extended != t->fnc4Pending) character += 128;
  t->fnc4Pending = false;
  return AppendCharacter(t, character);
}

// False when the value has no place in a data symbol or the text grows too long.
bool TakeSymbol(SymbolText* t, int32_t value) {
  if (value > 102) return false;  // a start symbol among the data
  CodeSet set = t->set;
  if (t->shifted) set = set == kSetA ? kSetB : kSetA;
  t->shifted = false;
  SymbolRole role = RoleOf(set, value);
  bool fnc4 = role == kFnc4;
  if (fnc4 && t->lastWasFnc4) {
    t->extended = !t->extended;
    t->fnc4Pending = false;
    fnc4 = false;  // a third FNC4 starts a new pair
  } else if (fnc4) {
    t->fnc4Pending = true;
  }
  t->lastWasFnc4 = fnc4;
  switch (role) {
    case kCharacter:
      if (set == kSetC) return AppendCharacter(t, '0' + value / 10) && AppendCharacter(t, '0' + value % 10);
      // Set A holds the control characters where set B has the lower case.
      return AppendExtensible(t, set == kSetA && value >= 64 ? value - 64 : value + 32);
    case kShift:
      t->shifted = true;
      return true;
    case kToSetA:
      t->set = kSetA;
      return true;
    case kToSetB:
      t->set = kSetB;
      return true;
    case kToSetC:
      t->set = kSetC;
      return true;
    case kFunction:
    case kFnc4:
      return true;
  }
  return false;
}

// Decodes the span found by FindSymbolSpan into text; false when a symbol is
// unknown or out of place, the check character disagrees or there is no text.
bool DecodeSpan(const uint32_t* runs, int32_t q, int32_t span, std::string* text) {
  int32_t symbols = (span - 14) / 6;  // data and check symbols between start and stop
  if (symbols < 2) return false;
  uint64_t sum = 0;
  for (int32_t k = q + 1; k <= q + span - 8; ++k) sum += runs[k];
  double module = sum / (11.0 * (symbols + 1));
  double error = 0;
  for (int k = 0; k < 6; ++k) error += runs[q + 1 + k] / module - kCode128Widths[kCode128StartB][k];
  SymbolText reading;
  int64_t checksum = kCode128StartB;
  int32_t previous = -1;
  // Each symbol is taken as data once the next one shows it is not the check.
  for (int32_t s = 0; s < symbols; ++s) {
    int32_t value = DecodeSymbolValue(runs + q + 7 + 6 * s, module, &error);
    if (value < 0) return false;
    if (s > 0) {
      checksum += int64_t{s} * previous;
      if (!TakeSymbol(&reading, previous)) return false;
    }
    previous = value;
  }
  if (previous != checksum % 103 || reading.text.empty()) return false;
  *text = std::move(reading.text);
  return true;
}

void AddText(BarcodeResults* results, const std::string& text) {
  // The decoded characters are 8-bit; each becomes the UTF-16 unit of that value.
  std::u16string wide(text.begin(), text.end());
  for (size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<unsigned char>(text[i]);
  if (std::find(results->texts.begin(), results->texts.end(), wide) == results->texts.end()) {
    results->texts.push_back(std::move(wide));
  }
}

}  // namespace

void ReadRowSymbols(const uint32_t* runs, int32_t runCount, std::vector<std::string>* texts) {
  if (runCount <= 24) return;  // too few for a start, one character, a check and a stop
  std::string text;
  for (int32_t q = 0; q < runCount;) {
    int32_t span = FindSymbolSpan(runs, runCount, q);
    if (span && DecodeSpan(runs, q, span, &text)) {
      texts->push_back(text);
      q += span;  // the stop's quiet zone may lead into the next symbol
    } else {
      q += 2;
    }
  }
}

void DetectBarcodes(BarcodeResults* results, const PageBitmap* page, int32_t x, int32_t y, int32_t w,
                    int32_t h, MessageLog* log) {
  results->texts.clear();
  results->cursor = 0;
  LightTest test;
  if (!PrepareLightTest(&test, page)) return;
  if (w == 0 || h == 0) {
    w = test.width;
    h = test.height;
  }
  int64_t regionWidth = w;
  if (int64_t{x} + regionWidth > test.width) regionWidth = std::max<int64_t>(0, int64_t{test.width} - x);
  // Each row contributes the pixels x .. x + w - 2; parts outside the page are
  // not there to be read.
  int64_t first = std::max<int64_t>(x, 0);
  int64_t last = std::min<int64_t>(int64_t{x} + regionWidth - 2, test.width - 1);
  int64_t top = std::max<int64_t>(y, 0);
  int64_t bottom = std::min<int64_t>(int64_t{y} + h, test.height);
  int32_t count = last >= first ? static_cast<int32_t>(last - first + 1) : 0;
  uint64_t darkTotal = 0, pixelTotal = 0;
  if (count > 0 && bottom > top) {
    auto* runs =
        static_cast<uint32_t*>(AllocateOrReport(log, (static_cast<size_t>(count) + 1) * sizeof(uint32_t)));
    if (!runs) return;
    std::vector<std::string> found;
    for (int64_t row = top; row < bottom; ++row) {
      int32_t n = RowRuns(&test, static_cast<int32_t>(row), static_cast<int32_t>(first), count, runs);
      for (int32_t i = 1; i < n; i += 2) darkTotal += runs[i];
      pixelTotal += static_cast<uint32_t>(count);
      ReadRowSymbols(runs, n, &found);
      for (const std::string& text : found) AddText(results, text);
      found.clear();
    }
    free(runs);
  }
  results->inkFraction = pixelTotal ? static_cast<double>(darkTotal) / static_cast<double>(pixelTotal) : 0.0;
}

std::u16string GetBarcode(BarcodeResults* results) {
  if (results->cursor >= results->texts.size()) return std::u16string();
  return results->texts[results->cursor++];
}

double DetectBlankPage(BarcodeResults* results, const PageBitmap* page, MessageLog* log) {
  if (results->inkFraction >= 0) return results->inkFraction;
  DetectBarcodes(results, page, 0, 0, 0, 0, log);
  return results->inkFraction;
}

void ForgetInkFraction(BarcodeResults* results) { results->inkFraction = -1.0; }
