#pragma once
// Between the client area's pixels and the unturned page the formatter lays out: at 900 and 2700
// the page lies across the client, at 1800 upside down. Painting and hit-testing share it, so a
// tap lands on what was drawn there.
namespace lbv {

struct PagePoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const PagePoint&, const PagePoint&) = default;
};

class PageTransform {
public:
    // The client's size in pixels and the rotation in tenths of a degree (0, 900, 1800, 2700).
    PageTransform(int clientWidth, int clientHeight, int rotation);

    // The page's full size (the progress bar included): the client's, swapped at 900 and 2700.
    int PageWidth() const;
    int PageHeight() const;
    int Rotation() const { return rotation_; }

    // Pixel to pixel, each the inverse of the other within the client.
    PagePoint ToPage(int clientX, int clientY) const;
    PagePoint ToClient(int pageX, int pageY) const;

private:
    int width_;
    int height_;
    int rotation_;
};

} // namespace lbv
