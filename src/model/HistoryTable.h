#pragma once
// The values a run records: one row per output step, holding the value of every recorded block
// in a fixed column order. The rows live in chunks that never move, so a row handed out stays
// put while the run goes on: the first chunk holds the rows the run is expected to record, the
// later ones a fixed number of rows each, so a run that outgrows its estimate wastes at most one
// chunk (no doubling).

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

class CHistoryTable {
  public:
    // Values in each chunk after the first: a run longer than its estimate grows by this much.
    static constexpr std::size_t kGrowthValues = std::size_t{1} << 19;

    explicit CHistoryTable(std::size_t growthValues = kGrowthValues) : m_growthValues(growthValues) {}

    // Empties the table and frees its memory.
    void Clear();
    // A new, empty table of `columns` values per row with room for `expectedRows` rows.
    void Reset(std::size_t columns, std::size_t expectedRows);
    // Appends a row and returns it to be filled, `Columns()` values in column order.
    double* AppendRow();
    // Gives back the room of rows never recorded (a run stopped early) when it is more than a
    // small share of what the table holds.
    void Trim();

    std::size_t Columns() const { return m_columns; }
    std::size_t Rows() const { return m_rows; }
    // The value of `column` recorded at `row` (both in range).
    double At(std::size_t row, std::size_t column) const { return RowAt(row)[column]; }
    // Copies `count` values of `column` from row `first` on into `out`.
    void CopyColumn(std::size_t column, std::size_t first, std::size_t count, double* out) const;
    // The rows from `row` (in range) to the end of the chunk that holds it, one after another:
    // whole rows are read a chunk at a time this way.
    std::span<const double> RowsFrom(std::size_t row) const;
    // The bytes the table holds for values.
    std::size_t CapacityBytes() const;

  private:
    const double* RowAt(std::size_t row) const {
        if (row < m_firstRows) return m_chunks.front().get() + row * m_columns;
        const std::size_t later = row - m_firstRows;
        return m_chunks[1 + later / m_chunkRows].get() + (later % m_chunkRows) * m_columns;
    }
    // Rows of the chunk `index`.
    std::size_t ChunkRows(std::size_t index) const { return index == 0 ? m_firstRows : m_chunkRows; }

    std::size_t m_growthValues;
    std::vector<std::unique_ptr<double[]>> m_chunks;
    std::size_t m_columns = 0;
    std::size_t m_rows = 0;
    std::size_t m_firstRows = 0; // rows of the first chunk
    std::size_t m_chunkRows = 1; // rows of each later chunk
    std::size_t m_capacity = 0;  // rows of all chunks
};
