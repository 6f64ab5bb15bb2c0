// Integer rectangles and colours as the simulation and the drawing code share them.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vellora {

// A 64-bit result held at the nearest 32-bit limit.
constexpr std::int32_t SaturateToInt32(std::int64_t v) {
    return v > std::numeric_limits<std::int32_t>::max()   ? std::numeric_limits<std::int32_t>::max()
           : v < std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<std::int32_t>::min()
                                                          : static_cast<std::int32_t>(v);
}

// Left, top, right, bottom in window client pixels; right and bottom are excluded when filling.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    // The extents, held at the 32-bit limits when the difference does not fit (a rectangle from
    // near INT32_MIN to near INT32_MAX), so extreme rectangles cannot overflow.
    std::int32_t Width() const { return Extent(left, right); }
    std::int32_t Height() const { return Extent(top, bottom); }
    friend bool operator==(const Rect& a, const Rect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }

private:
    static std::int32_t Extent(std::int32_t from, std::int32_t to) { return SaturateToInt32(std::int64_t{to} - from); }
};

// 0x00BBGGRR: red in the low byte, the top byte always 0.
using ColorRef = std::uint32_t;

constexpr ColorRef Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr std::uint32_t RedOf(ColorRef c) { return c & 0xFFu; }
constexpr std::uint32_t GreenOf(ColorRef c) { return (c >> 8) & 0xFFu; }
constexpr std::uint32_t BlueOf(ColorRef c) { return (c >> 16) & 0xFFu; }

constexpr ColorRef kBlack = 0;
constexpr ColorRef kWhite = Rgb(255, 255, 255);

// Double to integer, truncating toward zero. Values that do not fit (and NaN) give INT32_MIN, the
// x87 "integer indefinite", instead of undefined behaviour.
inline std::int32_t Trunc(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

inline bool IsRectEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

// The smallest rectangle holding both; an empty rectangle is ignored, two empty ones give an empty one.
inline Rect UnionRect(const Rect& a, const Rect& b) {
    if (IsRectEmpty(a)) return IsRectEmpty(b) ? Rect{} : b;
    if (IsRectEmpty(b)) return a;
    return Rect{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

// Edges that would pass the 32-bit limits stay at them.
inline Rect InflateRect(const Rect& r, std::int32_t dx, std::int32_t dy) {
    return Rect{SaturateToInt32(std::int64_t{r.left} - dx), SaturateToInt32(std::int64_t{r.top} - dy),
                SaturateToInt32(std::int64_t{r.right} + dx), SaturateToInt32(std::int64_t{r.bottom} + dy)};
}

inline Rect IntersectRect(const Rect& a, const Rect& b) {
    Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    return IsRectEmpty(r) ? Rect{} : r;
}

}  // namespace vellora
