#include "reader/page_text.h"

#include <algorithm>

namespace lbv {
namespace {

// One row of output and how many cells it fills (combining marks and the first half of a
// surrogate pair take none).
struct Row {
    QString text;
    int cells = 0;

    void PadTo(int cell)
    {
        if (cells < cell) {
            text.append(QString(cell - cells, u' '));
            cells = cell;
        }
    }
};

Row TextRow(const LayoutLine& line, const CellSize& cell)
{
    Row row;
    int x = line.x;
    for (qsizetype i = 0; i < line.text.size(); ++i) {
        const int advance = line.advances[std::size_t(i)];
        row.PadTo(x / cell.width);
        if (line.attributes[std::size_t(i)] & kAttrInlineImage) {
            row.text.append(u'*');
            ++row.cells;
        } else {
            row.text.append(line.text[i]);
            row.cells += advance > 0 ? 1 : 0;
        }
        x += advance;
    }
    return row;
}

// The bands of one picture that follow each other on the page, drawn together.
void AppendImageRows(
    const LayoutLine& first, int height, const CellSize& cell, std::vector<Row>& rows)
{
    const int rowCount = std::max(1, (height + cell.height / 2) / cell.height);
    const int left = std::max(0, first.x / cell.width);
    const int width = std::max(1, first.imageWidth / cell.width);
    const QString label = QStringLiteral("[%1x%2]").arg(first.imageWidth).arg(height);
    for (int r = 0; r < rowCount; ++r) {
        QString fill(width, u'#');
        if (r == rowCount / 2 && label.size() <= width)
            fill.replace((width - label.size()) / 2, label.size(), label);
        Row row;
        row.PadTo(left);
        row.text.append(fill);
        row.cells += width;
        rows.push_back(row);
    }
}

std::vector<Row> ColumnRows(const Page& page, std::size_t from, int count, const CellSize& cell)
{
    std::vector<Row> rows;
    for (std::size_t i = from; i < from + std::size_t(count);) {
        const LayoutLine& line = page.lines[i];
        if (!(line.flags & kLineImageBand)) {
            rows.push_back(TextRow(line, cell));
            ++i;
            continue;
        }
        int height = 0;
        std::size_t next = i;
        while (next < from + std::size_t(count) && (page.lines[next].flags & kLineImageBand)
            && page.lines[next].image == line.image
            && page.lines[next].start.paragraph == line.start.paragraph)
            height += page.lines[next++].height;
        AppendImageRows(line, height, cell, rows);
        i = next;
    }
    return rows;
}

} // namespace

QStringList PageAsText(const Page& page, const PageGeometry& geometry, const CellSize& cell)
{
    std::vector<std::vector<Row>> columns;
    std::size_t from = 0;
    for (const int count : page.columnLines) {
        columns.push_back(ColumnRows(page, from, count, cell));
        from += std::size_t(count);
    }
    std::size_t rowCount = 0;
    for (const auto& column : columns)
        rowCount = std::max(rowCount, column.size());
    QStringList text;
    for (std::size_t r = 0; r < rowCount; ++r) {
        Row out;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (r >= columns[c].size())
                continue;
            out.PadTo((int(c) * geometry.columnWidth + geometry.margin) / cell.width);
            out.text.append(columns[c][r].text);
            out.cells += columns[c][r].cells;
        }
        while (out.text.endsWith(u' '))
            out.text.chop(1);
        text.append(out.text);
    }
    return text;
}

} // namespace lbv
