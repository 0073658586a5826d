#include "document/grey_reduction.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "document/fast_divide.h"

namespace {

constexpr uint64_t kUnit = 4096;  // one source pixel
// A column is counted from one 64-bit window while its pixels span at most
// this many bits.
constexpr uint32_t kWindowBits = 64;
// Columns up to 16 pixels wide look their value up instead of dividing.
constexpr uint64_t kValueTableMaximum = 16 * kUnit;

// Where target column m lies on a source row, in pixels of the row: it
// touches pixels first ... last; the pixel its start cuts (the rest of which
// belongs to column m - 1) counts headWeight, the whole pixels 4096 each, and
// the pixel its end cuts tailWeight (weights 0 where nothing is cut).
struct GreyColumn {
  uint32_t first;
  uint32_t last;
  uint32_t headWeight;
  uint32_t tailWeight;
  uint32_t fullStart;
  uint32_t fullCount;
  uint64_t fullMask;  // the whole pixels in a window starting at `first`
};

// The row as big-endian 64-bit words, pixel k being bit 63 - (k & 63) of word
// k >> 6, so that a word is 64 pixels in picture order.
struct RowWords {
  uint64_t* words;   // count + 1 (the last one zero)
  uint8_t* uniform;  // per word: 0 all 0 pixels, 1 all 1 pixels, 2 mixed
  uint32_t count;
  uint64_t lastMask;  // the pixels of the last word that lie inside the row
  int rowUniform;     // -1, or 0 / 1 when the whole row is one colour
};

#define MERVANE_INLINE inline __attribute__((always_inline))

// 64 pixels starting at pixel `bit` (the word after the row's last is zero).
MERVANE_INLINE uint64_t Window(const uint64_t* words, uint32_t bit) {
  const uint32_t shift = bit & 63;
  const uint64_t* w = words + (bit >> 6);
  return (w[0] << shift) | ((w[1] >> 1) >> (63 - shift));
}

uint32_t CountOnesWide(const uint64_t* words, uint32_t start, uint32_t count) {
  uint32_t ones = 0;
  while (count >= 64) {
    ones += static_cast<uint32_t>(__builtin_popcountll(Window(words, start)));
    start += 64;
    count -= 64;
  }
  if (count) ones += static_cast<uint32_t>(__builtin_popcountll(Window(words, start) >> (64 - count)));
  return ones;
}

inline uint32_t BitAt(const uint64_t* words, uint32_t k) {
  return static_cast<uint32_t>(words[k >> 6] >> (63 - (k & 63))) & 1;
}

// Covered parts of the 1 pixels of a column whose pixels start the window.
MERVANE_INLINE uint64_t WindowSum(uint64_t window, const GreyColumn& c) {
  return c.headWeight * (window >> 63) +
         kUnit * static_cast<uint64_t>(__builtin_popcountll(window & c.fullMask)) +
         c.tailWeight * ((window >> (63 - (c.last - c.first))) & 1);
}

MERVANE_INLINE uint64_t ColumnSum(const uint64_t* words, const GreyColumn& c) {
  if (c.last - c.first < kWindowBits) return WindowSum(Window(words, c.first), c);
  uint64_t sum = kUnit * uint64_t{CountOnesWide(words, c.fullStart, c.fullCount)};
  sum += c.headWeight * BitAt(words, c.first);
  sum += c.tailWeight * BitAt(words, c.last);
  return sum;
}

void LoadRow(const uint8_t* row, uint32_t width, RowWords* r) {
  const uint32_t bytes = (width + 7) / 8;
  uint8_t seen = 0;
  for (uint32_t j = 0; j < r->count; ++j) {
    const uint32_t at = j * 8;
    uint64_t w = 0;
    if (bytes - at >= 8) {
      memcpy(&w, row + at, 8);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
      w = __builtin_bswap64(w);
#endif
    } else {
      for (uint32_t i = 0; i < 8; ++i) w = (w << 8) | (at + i < bytes ? row[at + i] : 0);
    }
    const uint64_t valid = j + 1 == r->count ? r->lastMask : ~uint64_t{0};
    r->words[j] = w & valid;
    const uint8_t kind = (w & valid) == 0 ? 0 : (w | ~valid) == ~uint64_t{0} ? 1 : 2;
    r->uniform[j] = kind;
    seen |= static_cast<uint8_t>(1 << kind);
  }
  r->words[r->count] = 0;
  r->rowUniform = seen == 1 ? 0 : seen == 2 ? 1 : -1;
}

struct ReductionPlan {
  const GreyColumn* columns;
  const uint32_t* wordEnds;      // per word: the columns whose last pixel lies before its end
  const uint32_t* insideStarts;  // per word: the first column starting in it
  uint32_t width;
  uint64_t a;
  FastDivisor columnWidth;
  bool fastDivide;
  const uint8_t* values;  // when not null: the value of every column sum 0 ... a
};

// One source row into one value per target column: covered ones times 255
// over the column width a (both in 1/4096 pixel). Word by word: columns lying
// within a word of one colour are 0 or 255 without counting, those within a
// mixed word are counted from that word alone.
MERVANE_INLINE void ReduceRow(const ReductionPlan& plan, const RowWords& row, uint8_t* work) {
  const GreyColumn* columns = plan.columns;
  // Held in locals: the stores into `work` could otherwise alias the plan.
  const uint8_t* values = plan.values;
  const FastDivisor columnWidth = plan.columnWidth;
  const bool fastDivide = plan.fastDivide;
  const uint64_t a = plan.a;
  auto value = [=](uint64_t sum) {
    if (values) return values[sum];
    sum *= 255;
    return static_cast<uint8_t>(fastDivide ? FastDivide(static_cast<uint32_t>(sum), columnWidth) : sum / a);
  };
  uint32_t m = 0;
  for (uint32_t j = 0; j < row.count && m < plan.width; ++j) {
    const uint32_t end = plan.wordEnds[j];
    const uint32_t inside = plan.insideStarts[j] < end ? plan.insideStarts[j] : end;
    for (; m < inside; ++m) work[m] = value(ColumnSum(row.words, columns[m]));  // from an earlier word
    if (row.uniform[j] != 2) {
      if (end > m) memset(work + m, row.uniform[j] ? 255 : 0, end - m);
      m = end > m ? end : m;
      continue;
    }
    const uint64_t word = row.words[j];
    for (; m < end; ++m) work[m] = value(WindowSum(word << (columns[m].first & 63), columns[m]));
  }
  for (; m < plan.width; ++m) work[m] = value(ColumnSum(row.words, columns[m]));
}

void ReduceRowPortable(const ReductionPlan& plan, const RowWords& row, uint8_t* work) {
  ReduceRow(plan, row, work);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("popcnt"))) void ReduceRowPopcnt(const ReductionPlan& plan, const RowWords& row,
                                                       uint8_t* work) {
  ReduceRow(plan, row, work);
}
bool HasPopcnt() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("popcnt");
}
#else
void ReduceRowPopcnt(const ReductionPlan& plan, const RowWords& row, uint8_t* work) {
  ReduceRow(plan, row, work);
}
bool HasPopcnt() { return false; }
#endif

// Adds `weight` times each column value into the vertical sums; most rows lie
// wholly inside one target row and add 4096 times.
template <typename Sum>
void Accumulate(Sum* sums, const uint8_t* work, uint32_t width, uint32_t weight) {
  if (weight == kUnit) {
    for (uint32_t m = 0; m < width; ++m) sums[m] += static_cast<Sum>(Sum{work[m]} << 12);
  } else {
    for (uint32_t m = 0; m < width; ++m) sums[m] += static_cast<Sum>(weight * work[m]);
  }
}

template <typename Sum>
int ReduceRows(const PageBitmap* source, PageBitmap* target, const ReductionPlan& plan, RowWords* words,
               uint8_t* work, Sum* sums) {
  const uint32_t sourceWidth = static_cast<uint32_t>(HeaderOf(source)->width);
  const uint32_t sourceHeight = static_cast<uint32_t>(HeaderOf(source)->height);
  const uint32_t height = static_cast<uint32_t>(HeaderOf(target)->height);
  const uint32_t width = plan.width;
  const uint64_t v = uint64_t{sourceHeight} * kUnit / height;
  const bool fastRows = v * 255 <= UINT32_MAX;
  const FastDivisor rowHeight = MakeFastDivisor(fastRows ? static_cast<uint32_t>(v) : 1);
  const bool popcnt = HasPopcnt();
  memset(sums, 0, sizeof(Sum) * width);

  // Source rows are taken in stored order; each adds its covered part to the
  // target row whose interval it meets, and a row cut by an interval's end
  // gives the rest of itself to the next target row. Rows of one colour (blank
  // paper) add the same to every column and are kept as one number.
  uint32_t i = 0;
  uint64_t position = 0, end = v, even = 0;
  for (uint32_t r = 0; r < sourceHeight && i < height; ++r) {
    LoadRow(RowOf(source, r), sourceWidth, words);
    if (words->rowUniform < 0) {
      if (popcnt)
        ReduceRowPopcnt(plan, *words, work);
      else
        ReduceRowPortable(plan, *words, work);
    }
    uint64_t remaining = kUnit;
    while (remaining > 0 && i < height) {
      const uint64_t take = end - position < remaining ? end - position : remaining;
      if (words->rowUniform < 0)
        Accumulate(sums, work, width, static_cast<uint32_t>(take));
      else
        even += take * (words->rowUniform ? 255 : 0);
      position += take;
      remaining -= take;
      if (position == end) {
        uint8_t* outRow = RowOf(target, i);
        for (uint32_t m = 0; m < width; ++m) {
          const uint64_t sum = static_cast<uint64_t>(sums[m]) + even;
          outRow[m] =
              static_cast<uint8_t>(fastRows ? FastDivide(static_cast<uint32_t>(sum), rowHeight) : sum / v);
        }
        memset(sums, 0, sizeof(Sum) * width);
        even = 0;
        ++i;
        end += v;
      }
    }
  }
  return 1;
}

// The work memory of one reduction, carved from one allocation: 8-byte items
// first, then 4-byte, then bytes.
struct ReductionMemory {
  uint8_t* block = nullptr;
  RowWords words;
  GreyColumn* columns = nullptr;
  uint8_t* sums = nullptr;  // 32- or 64-bit vertical sums
  uint32_t* wordEnds = nullptr;
  uint32_t* insideStarts = nullptr;
  uint8_t* work = nullptr;
  uint8_t* values = nullptr;  // null when the columns are too wide for a table
};

// Step one: the memory for a source row `sourceWidth` pixels wide reduced to
// `width` columns of width `a`; the out-of-memory message when it fails.
int AllocateReduction(MessageLog* log, uint32_t sourceWidth, uint32_t width, uint64_t a, bool narrowSums,
                      ReductionMemory* m) {
  const uint32_t wordCount = (sourceWidth + 63) / 64;
  const size_t sumBytes = (narrowSums ? sizeof(uint32_t) : sizeof(uint64_t)) * width;
  const size_t bytes = sumBytes + sizeof(uint64_t) * (wordCount + 1) + sizeof(GreyColumn) * width +
                       2 * sizeof(uint32_t) * wordCount + wordCount + width +
                       (a <= kValueTableMaximum ? a + 1 : 0);
  m->block = static_cast<uint8_t*>(AllocateOrReport(log, bytes));
  if (!m->block) return 0;
  uint8_t* at = m->block;
  m->words.words = reinterpret_cast<uint64_t*>(at);
  at += sizeof(uint64_t) * (wordCount + 1);
  m->columns = reinterpret_cast<GreyColumn*>(at);
  at += sizeof(GreyColumn) * width;
  m->sums = at;
  at += sumBytes;
  m->wordEnds = reinterpret_cast<uint32_t*>(at);
  m->insideStarts = m->wordEnds + wordCount;
  at += 2 * sizeof(uint32_t) * wordCount;
  m->words.uniform = at;
  m->work = at + wordCount;
  m->values = a <= kValueTableMaximum ? m->work + width : nullptr;
  m->words.count = wordCount;
  m->words.lastMask = sourceWidth % 64 ? ~uint64_t{0} << (64 - sourceWidth % 64) : ~uint64_t{0};
  return 1;
}

// Step two: where each target column starts and ends in the source row, which
// columns each word of the row closes and opens, and the table of column values.
ReductionPlan PlanColumns(const ReductionMemory& memory, uint32_t width, uint64_t a) {
  const uint32_t wordCount = memory.words.count;
  GreyColumn* columns = memory.columns;
  uint32_t* wordEnds = memory.wordEnds;
  uint32_t* insideStarts = memory.insideStarts;
  // Column m covers [m a, (m + 1) a); a >= 4096, so it cuts at most one pixel
  // at each end.
  uint32_t endWord = 0, startWord = 0;
  for (uint32_t m = 0; m < width; ++m) {
    const uint64_t start = m * a, end = start + a;
    GreyColumn& c = columns[m];
    c.first = static_cast<uint32_t>(start / kUnit);
    c.headWeight = start % kUnit ? static_cast<uint32_t>(kUnit - start % kUnit) : 0;
    c.fullStart = static_cast<uint32_t>((start + kUnit - 1) / kUnit);
    c.fullCount = static_cast<uint32_t>(end / kUnit - c.fullStart);
    c.tailWeight = static_cast<uint32_t>(end % kUnit);
    c.last = c.tailWeight ? static_cast<uint32_t>(end / kUnit) : static_cast<uint32_t>(end / kUnit - 1);
    const uint32_t skip = c.fullStart - c.first, top = skip + c.fullCount;
    c.fullMask = c.last - c.first >= kWindowBits || c.fullCount == 0
                     ? 0
                     : (top >= 64 ? ~uint64_t{0} : ~(~uint64_t{0} >> top)) & (~uint64_t{0} >> skip);
    while (endWord < (c.last >> 6)) wordEnds[endWord++] = m;
    while (startWord <= (c.first >> 6) && startWord < wordCount) insideStarts[startWord++] = m;
  }
  while (endWord < wordCount) wordEnds[endWord++] = width;
  while (startWord < wordCount) insideStarts[startWord++] = width;

  ReductionPlan plan;
  plan.columns = columns;
  plan.wordEnds = wordEnds;
  plan.insideStarts = insideStarts;
  plan.width = width;
  plan.a = a;
  plan.fastDivide = a * 255 <= UINT32_MAX;
  plan.columnWidth = MakeFastDivisor(plan.fastDivide ? static_cast<uint32_t>(a) : 1);
  plan.values = memory.values;
  if (uint8_t* values = memory.values) {
    // floor(sum * 255 / a), stepped rather than divided.
    uint64_t quotient = 0, next = a;  // next: the numerator where the quotient rises
    for (uint64_t sum = 0, numerator = 0; sum <= a; ++sum, numerator += 255) {
      while (numerator >= next) {
        ++quotient;
        next += a;
      }
      values[sum] = static_cast<uint8_t>(quotient);
    }
  }
  return plan;
}

}  // namespace

int ReduceToGrey(MessageLog* log, const PageBitmap* source, PageBitmap* target) {
  const BitmapHeader* in = HeaderOf(source);
  const BitmapHeader* out = HeaderOf(target);
  const uint32_t sourceWidth = static_cast<uint32_t>(in->width);
  const uint32_t sourceHeight = static_cast<uint32_t>(in->height);
  const uint32_t width = static_cast<uint32_t>(out->width);
  const uint32_t height = static_cast<uint32_t>(out->height);
  if (in->bitCount != 1 || out->bitCount != 8 || width < 1 || height < 1 || width > sourceWidth ||
      height > sourceHeight)
    return 0;

  const uint64_t a = uint64_t{sourceWidth} * kUnit / width;
  const uint64_t v = uint64_t{sourceHeight} * kUnit / height;
  // Vertical sums reach 255 v; 32 bits hold them unless rows are reduced
  // more than 4096 times.
  const bool narrowSums = v * 255 <= UINT32_MAX;
  ReductionMemory m;
  if (!AllocateReduction(log, sourceWidth, width, a, narrowSums, &m)) return 0;
  const ReductionPlan plan = PlanColumns(m, width, a);
  // Step three: the rows.
  const int ok =
      narrowSums ? ReduceRows(source, target, plan, &m.words, m.work, reinterpret_cast<uint32_t*>(m.sums))
                 : ReduceRows(source, target, plan, &m.words, m.work, reinterpret_cast<uint64_t*>(m.sums));
  free(m.block);
  return ok;
}
