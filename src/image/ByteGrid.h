#pragma once
// A two-dimensional array of bytes addressed (column, row), the column index varying fastest:
// element (x, y) lies at y * columns + x, so the storage is a sequence of rows. Raw images and
// converted pictures both use it.

#include <QtGlobal>
#include <cstddef>
#include <vector>

namespace kel {

class ByteGrid {
public:
    ByteGrid() = default;
    // columns x rows elements, all zero. Negative sizes count as 0.
    ByteGrid(int columns, int rows) { recreate(columns, rows); }

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    bool isEmpty() const { return m_bytes.empty(); }
    std::size_t size() const { return m_bytes.size(); }

    quint8& at(int x, int y) { return m_bytes[index(x, y)]; }
    quint8 at(int x, int y) const { return m_bytes[index(x, y)]; }
    quint8* row(int y) { return m_bytes.data() + index(0, y); }
    const quint8* row(int y) const { return m_bytes.data() + index(0, y); }
    quint8* data() { return m_bytes.data(); }
    const quint8* data() const { return m_bytes.data(); }

    // Discards the contents; the new elements are all zero. The memory is reused when it is
    // large enough, which keeps repeated conversions of one image size cheap.
    void recreate(int columns, int rows)
    {
        m_columns = columns > 0 && rows > 0 ? columns : 0;
        m_rows = columns > 0 && rows > 0 ? rows : 0;
        m_bytes.assign(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows), 0);
    }

    // Changes the number of rows in place: rows present in both extents keep their values,
    // new rows are zero, rows beyond the new count are dropped.
    void resizeRows(int rows)
    {
        m_rows = rows > 0 && m_columns > 0 ? rows : 0;
        m_bytes.resize(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows), 0);
    }

    bool operator==(const ByteGrid&) const = default;

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_columns) +
               static_cast<std::size_t>(x);
    }

    int m_columns = 0;
    int m_rows = 0;
    std::vector<quint8> m_bytes;
};

} // namespace kel
