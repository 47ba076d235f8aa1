#include "reader/page_transform.h"

namespace lbv {

PageTransform::PageTransform(int clientWidth, int clientHeight, int rotation)
    : width_(clientWidth)
    , height_(clientHeight)
    , rotation_(rotation)
{
}

int PageTransform::PageWidth() const
{
    return rotation_ == 900 || rotation_ == 2700 ? height_ : width_;
}

int PageTransform::PageHeight() const
{
    return rotation_ == 900 || rotation_ == 2700 ? width_ : height_;
}

// At 900 the text runs upwards and the page's top is the client's left edge; at 2700 it runs
// downwards with the page's top on the right.
PagePoint PageTransform::ToPage(int clientX, int clientY) const
{
    switch (rotation_) {
    case 900:
        return {height_ - 1 - clientY, clientX};
    case 1800:
        return {width_ - 1 - clientX, height_ - 1 - clientY};
    case 2700:
        return {clientY, width_ - 1 - clientX};
    default:
        return {clientX, clientY};
    }
}

PagePoint PageTransform::ToClient(int pageX, int pageY) const
{
    switch (rotation_) {
    case 900:
        return {pageY, height_ - 1 - pageX};
    case 1800:
        return {width_ - 1 - pageX, height_ - 1 - pageY};
    case 2700:
        return {width_ - 1 - pageY, pageX};
    default:
        return {pageX, pageY};
    }
}

} // namespace lbv
