#include "analysis/omr_corner_search.h"

#include <algorithm>
#include <vector>

namespace {

struct Cell {
  int32_t x = 0, y = 0;  // origin (top-left pixel)
  uint8_t rightInk = 0;
  uint8_t bottomInk = 0;
  int32_t blob = -1;
};

// A connected group of cells. The extremes keep the first cell that reached
// them, so that equal positions resolve in scanning order.
struct Blob {
  std::vector<int32_t> cells;
  int32_t minX = -1, maxX = -1, minY = -1, maxY = -1;  // cell indices
  int64_t area = 0;
  bool merged = false;  // moved into another blob, no longer listed
};

struct CellGrid {
  std::vector<Cell> cells;
  std::vector<int32_t> at;  // per grid position the cell index, -1 where the border has no ink
  std::vector<Blob> blobs;  // in the order they were started
};

// Which columns of a band of rows hold ink, one bit per column as in the
// page rows (1 for ink): one pass over the band's bytes answers every cell's
// left and right column, which read pixel by pixel would touch a cache line
// per row.
struct BandInk {
  std::vector<uint8_t> bits;
  int32_t firstByte = 0;
  int HasInk(int32_t x) const { return bits[(x >> 3) - firstByte] >> (7 - (x & 7)) & 1; }
};

void ReadBand(const BilevelPage* page, int32_t x0, int32_t x1, int32_t y0, int32_t y1, BandInk* band) {
  band->firstByte = x0 >> 3;
  band->bits.assign(static_cast<size_t>(((x1 - 1) >> 3) - band->firstByte + 1), 0);
  uint8_t* bits = band->bits.data();
  size_t count = band->bits.size();
  for (int32_t y = y0; y < y1; ++y) {
    const uint8_t* row = BilevelRow(page, y) + band->firstByte;
    for (size_t i = 0; i < count; ++i) bits[i] |= static_cast<uint8_t>(~row[i]);
  }
}

// A cell exists when ink crosses its border: marks are solid, so any cell a
// mark overlaps shows ink on an edge, and blank interiors need not be read.
bool ReadCellBorder(const BilevelPage* page, const BandInk& band, int32_t x, int32_t y, int32_t block,
                    Cell* cell) {
  int32_t right = std::min(x + block, page->width) - 1;
  int32_t bottom = std::min(y + block, page->height) - 1;
  cell->x = x;
  cell->y = y;
  cell->rightInk = static_cast<uint8_t>(band.HasInk(right));
  cell->bottomInk = static_cast<uint8_t>(RowHasInk(page, bottom, x, right));
  return cell->rightInk || cell->bottomInk || band.HasInk(x) || RowHasInk(page, y, x, right);
}

void AddToBlob(CellGrid* grid, int32_t blobIndex, int32_t cellIndex) {
  Blob& blob = grid->blobs[blobIndex];
  const Cell& cell = grid->cells[cellIndex];
  grid->cells[cellIndex].blob = blobIndex;
  if (blob.cells.empty()) {
    blob.minX = blob.maxX = blob.minY = blob.maxY = cellIndex;
  } else {
    if (cell.x < grid->cells[blob.minX].x) blob.minX = cellIndex;
    if (cell.x > grid->cells[blob.maxX].x) blob.maxX = cellIndex;
    if (cell.y < grid->cells[blob.minY].y) blob.minY = cellIndex;
    if (cell.y > grid->cells[blob.maxY].y) blob.maxY = cellIndex;
  }
  blob.cells.push_back(cellIndex);
}

void MoveBlob(CellGrid* grid, int32_t from, int32_t into) {
  std::vector<int32_t> moving = std::move(grid->blobs[from].cells);
  grid->blobs[from].cells.clear();
  grid->blobs[from].merged = true;
  for (int32_t cellIndex : moving) AddToBlob(grid, into, cellIndex);
}

// Puts the cell into the blob of the cell above and of the cell to the left
// where ink crosses the shared edge, merging the two when they differ.
void JoinNeighbours(CellGrid* grid, int32_t cellIndex, int32_t above, int32_t left) {
  int32_t blob = -1;
  if (above >= 0 && grid->cells[above].bottomInk) {
    blob = grid->cells[above].blob;
    AddToBlob(grid, blob, cellIndex);
  }
  if (left >= 0 && grid->cells[left].rightInk) {
    int32_t neighbour = grid->cells[left].blob;
    if (blob < 0) {
      blob = neighbour;
      AddToBlob(grid, blob, cellIndex);
    } else if (neighbour != blob) {
      // The smaller blob moves; on equal counts the neighbour's joins the cell's.
      if (grid->blobs[blob].cells.size() < grid->blobs[neighbour].cells.size()) {
        MoveBlob(grid, blob, neighbour);
      } else {
        MoveBlob(grid, neighbour, blob);
      }
    }
  }
  if (blob < 0) {
    grid->blobs.emplace_back();
    AddToBlob(grid, static_cast<int32_t>(grid->blobs.size()) - 1, cellIndex);
  }
}

void BuildBlobs(const BilevelPage* page, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t block,
                CellGrid* grid) {
  int32_t columns = (x1 - x0 + block - 1) / block;
  int32_t rows = (y1 - y0 + block - 1) / block;
  grid->at.assign(static_cast<size_t>(columns) * rows, -1);
  int32_t cellsEnd = std::min(x0 + columns * block, page->width);
  BandInk band;
  for (int32_t r = 0; r < rows; ++r) {
    int32_t top = y0 + r * block;
    ReadBand(page, x0, cellsEnd, top, std::min(top + block, page->height), &band);
    for (int32_t c = 0; c < columns; ++c) {
      Cell cell;
      if (!ReadCellBorder(page, band, x0 + c * block, top, block, &cell)) continue;
      int32_t index = static_cast<int32_t>(grid->cells.size());
      grid->cells.push_back(cell);
      grid->at[static_cast<size_t>(r) * columns + c] = index;
      int32_t above = r > 0 ? grid->at[static_cast<size_t>(r - 1) * columns + c] : -1;
      int32_t left = c > 0 ? grid->at[static_cast<size_t>(r) * columns + c - 1] : -1;
      JoinNeighbours(grid, index, above, left);
    }
  }
}

// One pass at one block size: the origin of the cell of the largest blob that
// lies nearest to the blob's extreme in the corner's direction.
OmrCorner SearchOnce(const BilevelPage* page, int32_t corner, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                     int32_t block) {
  OmrCorner found;
  if (x0 < 0 || y0 < 0 || x1 > page->width || y1 > page->height || x1 <= x0 || y1 <= y0) return found;
  CellGrid grid;
  BuildBlobs(page, x0, y0, x1, y1, block, &grid);
  std::vector<Blob*> listed;
  for (Blob& blob : grid.blobs) {
    if (blob.merged) continue;
    int64_t width = grid.cells[blob.maxX].x - grid.cells[blob.minX].x;
    int64_t height = grid.cells[blob.maxY].y - grid.cells[blob.minY].y;
    blob.area = width * height;
    listed.push_back(&blob);
  }
  if (listed.empty()) return found;
  std::stable_sort(listed.begin(), listed.end(),
                   [](const Blob* a, const Blob* b) { return a->area > b->area; });
  const Blob& largest = *listed.front();
  bool right = corner == 1 || corner == 2;
  bool lower = corner == 2 || corner == 3;
  int64_t px = grid.cells[right ? largest.maxX : largest.minX].x;
  int64_t py = grid.cells[lower ? largest.maxY : largest.minY].y;
  int64_t best = -1;
  for (int32_t index : largest.cells) {
    const Cell& cell = grid.cells[index];
    int64_t dx = cell.x - px, dy = cell.y - py;
    int64_t distance = dx * dx + dy * dy;
    if (best < 0 || distance < best) {
      best = distance;
      found.x = cell.x;
      found.y = cell.y;
    }
  }
  return found;
}

}  // namespace

OmrCorner FindMarkCorner(const BilevelPage* page, int32_t corner, int32_t x0, int32_t y0, int32_t x1,
                         int32_t y1, int32_t block, OmrDebugFile* debug) {
  block = std::max(1, block);
  for (;;) {
    OmrDebugPrint(debug, "find_corner (%d,%d)-(%d,%d) size %d\n", x0, y0, x1, y1, block);
    OmrCorner found = SearchOnce(page, corner, x0, y0, x1, y1, block);
    if (found.x < 0 || block <= 1) return found;
    // Look again with cells half the size in a window of a few cells around
    // the answer: the mark's corner lies within one coarse cell of it.
    int32_t margin = static_cast<int32_t>(2.5 * block);
    x0 = std::max(0, found.x - margin);
    y0 = std::max(0, found.y - margin);
    x1 = std::min(page->width - 1, std::min(found.x + block, page->width) + margin);
    y1 = std::min(page->height - 1, std::min(found.y + block, page->height) + margin);
    block = std::max(1, block / 2);
  }
}
