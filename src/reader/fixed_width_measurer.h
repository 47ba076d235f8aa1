#pragma once
// A measurer of character cells: every character is one cell wide whatever its font, every line
// one cell high. Tests get exact pixel figures from it, and the command line prints its pages as
// text, one cell a character.
#include "reader/text_measurer.h"

namespace lbv {

struct CellSize {
    int width = 10;
    int height = 20;
    int ascent = 16;
    int dpi = 100; // so an indent of 1/25 inch is 4 pixels
};

class FixedWidthMeasurer final : public TextMeasurer {
public:
    explicit FixedWidthMeasurer(CellSize cell = {})
        : cell_(cell)
    {
    }

    FontMetrics Metrics(const FontKey& font) override;
    // A surrogate pair and a character with its combining marks take one cell.
    void Advances(const FontKey& font, QStringView text, int* advances) override;
    int DpiX() const override { return cell_.dpi; }
    const CellSize& Cell() const { return cell_; }

private:
    CellSize cell_;
};

} // namespace lbv
