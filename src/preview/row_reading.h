#pragma once

#include <cstdint>

#include "preview/kana_reading.h"
#include "preview/row_table.h"

namespace redadado {

// Reads the cells of one row of a page from left to right as the page view does in kana mode:
// the row start ends the modes, every cell is read with the byte after it, and a two-cell
// reading hides the next cell. Calls show(column, cell, reading) for every cell that is shown.
template <typename Show>
void ReadRowAsKana(KanaReadingState& state, const RowTable::Row& row, Show&& show) {
  ResetRowReading(state);
  const int count = RowCellCount(row);
  for (int column = 0; column < count; ++column) {
    const KanaReading reading = ReadCellAsKana(state, row[column], row[column + 1]);
    show(column, row[column], reading);
    if (reading.coversTwoCells) ++column;
  }
}

}  // namespace redadado
