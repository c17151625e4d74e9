#include "model/HistoryTable.h"

#include <algorithm>

void CHistoryTable::Clear() {
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    m_columns = 0;
    m_rows = 0;
    m_firstRows = 0;
    m_chunkRows = 1;
    m_capacity = 0;
}

void CHistoryTable::Reset(std::size_t columns, std::size_t expectedRows) {
    Clear();
    m_columns = columns;
    m_firstRows = std::max<std::size_t>(expectedRows, 1);
    m_chunkRows = std::max<std::size_t>(m_growthValues / std::max<std::size_t>(columns, 1), 1);
    // The values are written before they are read, so the memory is not cleared first.
    m_chunks.push_back(std::make_unique_for_overwrite<double[]>(m_firstRows * m_columns));
    m_capacity = m_firstRows;
}

double* CHistoryTable::AppendRow() {
    if (m_chunks.empty()) Reset(m_columns, 1);
    if (m_rows == m_capacity) {
        const std::size_t last = m_chunks.size() - 1;
        const std::size_t full = m_firstRows + last * m_chunkRows;
        if (last > 0 && m_capacity < full) {
            // A trimmed last chunk takes its full size again, so that every later chunk holds the same rows.
            auto grown = std::make_unique_for_overwrite<double[]>(m_chunkRows * m_columns);
            std::copy_n(m_chunks[last].get(), (m_chunkRows - (full - m_capacity)) * m_columns, grown.get());
            m_chunks[last] = std::move(grown);
            m_capacity = full;
        } else {
            m_chunks.push_back(std::make_unique_for_overwrite<double[]>(m_chunkRows * m_columns));
            m_capacity += m_chunkRows;
        }
    }
    return const_cast<double*>(RowAt(m_rows++));
}

void CHistoryTable::Trim() {
    const std::size_t unused = m_capacity - m_rows;
    // A completed run leaves a row or so of its estimate: not worth a copy.
    if (m_chunks.empty() || unused * 64 <= m_capacity) return;
    const std::size_t last = m_chunks.size() - 1;
    const std::size_t rows = ChunkRows(last) - unused; // the unused rows are all in the last chunk
    auto kept = std::make_unique_for_overwrite<double[]>(rows * m_columns);
    std::copy_n(m_chunks[last].get(), rows * m_columns, kept.get());
    m_chunks[last] = std::move(kept);
    if (last == 0) m_firstRows = rows;
    m_capacity = m_rows;
}

void CHistoryTable::CopyColumn(std::size_t column, std::size_t first, std::size_t count, double* out) const {
    std::size_t row = first;
    const std::size_t end = first + count;
    // Chunk by chunk, stepping a row at a time.
    for (std::size_t chunk = 0, chunkFirst = 0; row < end && chunk < m_chunks.size(); ++chunk) {
        const std::size_t chunkEnd = chunkFirst + ChunkRows(chunk);
        if (row < chunkEnd) {
            const double* p = m_chunks[chunk].get() + (row - chunkFirst) * m_columns + column;
            const std::size_t stop = std::min(end, chunkEnd);
            for (; row < stop; ++row, p += m_columns)
                *out++ = *p;
        }
        chunkFirst = chunkEnd;
    }
}

std::span<const double> CHistoryTable::RowsFrom(std::size_t row) const {
    std::size_t chunk = 0;
    std::size_t chunkFirst = 0;
    if (row >= m_firstRows) {
        chunk = 1 + (row - m_firstRows) / m_chunkRows;
        chunkFirst = m_firstRows + (chunk - 1) * m_chunkRows;
    }
    const std::size_t rows = std::min(m_rows, chunkFirst + ChunkRows(chunk)) - row;
    return {RowAt(row), rows * m_columns};
}

std::size_t CHistoryTable::CapacityBytes() const {
    return m_capacity * m_columns * sizeof(double);
}
