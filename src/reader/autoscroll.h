#pragma once
// Autoscroll: a one-pixel reading mark moves down the page a row per timer tick, line after
// line, and turns the page after the last one. The view's timer drives Tick; this keeps the
// delay arithmetic and where the mark is.
#include "reader/page_layout.h"

namespace lbv {

class Autoscroll {
public:
    enum class Step {
        Redraw, // the mark moved on the page
        TurnPage, // turn the page forward and Place the mark on the new one
        Stop, // the book's end, or the page was changed by other means
    };
    struct Mark {
        int line = 0; // index into the page's lines
        int row = 0; // pixel row within that line
    };

    explicit Autoscroll(int delayMicroseconds);

    // The step period; changes are kept within the clamps of the AutoScrollDelay setting.
    int Delay() const { return delay_; }
    int TimerMilliseconds() const { return std::max(delay_ / 1000, 1); }
    // Faster only while the delay is at least 50000 µs; slower always. True when it changed.
    bool Faster() { return SpeedUp(kStep); }
    bool FasterFine() { return SpeedUp(kFineStep); }
    bool Slower() { return SlowDown(kStep); }
    bool SlowerFine() { return SlowDown(kFineStep); }

    bool Running() const { return running_; }
    // Starts on the page; the mark stays where it was when the page is the one it was left on.
    void Start(const Page& page);
    void Stop() { running_ = false; }
    // Puts the mark at the top of a new page (after TurnPage); on the same page it stays.
    void Place(const Page& page);

    // One timer tick on the page the view shows. atBookEnd: the page can't turn forward.
    Step Tick(const Page& page, bool atBookEnd);

    const Mark& CurrentMark() const { return mark_; }
    // The y of the underline on the page, or -1 for a page without lines.
    int MarkY(const Page& page) const;

private:
    static constexpr int kStep = 25000;
    static constexpr int kFineStep = 5000;
    static constexpr int kFasterFloor = 50000;

    bool SpeedUp(int step);
    bool SlowDown(int step);

    int delay_;
    bool running_ = false;
    bool placed_ = false;
    ReadingPosition pageStart_;
    Mark mark_;
};

} // namespace lbv
