// dialog_units.hpp - dialog units to pixels, from the metrics of the window's base font. Pure
// arithmetic, shared by every backend and testable without a window.
#pragma once

#include <string_view>

namespace ui {

// The text whose width gives a font's average character width.
inline constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

struct BaseUnits {
    int x;  // average character width in pixels: four horizontal dialog units
    int y;  // character cell height in pixels: eight vertical dialog units
};

// alphabetWidth: the pixel width of kAlphabet; cellHeight: the font's full cell height.
constexpr BaseUnits baseUnits(int alphabetWidth, int cellHeight) {
    return {(alphabetWidth / 26 + 1) / 2, cellHeight};
}

// Multiplies first and divides last, rounding halves away from zero.
constexpr int mulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

constexpr int toPixelsX(int units, BaseUnits base) {
    return mulDiv(units, base.x, 4);
}
constexpr int toPixelsY(int units, BaseUnits base) {
    return mulDiv(units, base.y, 8);
}

struct PixelRect {
    int x, y, width, height;
    constexpr int right() const { return x + width; }
    constexpr int bottom() const { return y + height; }
    bool operator==(const PixelRect&) const = default;
};

// A rectangle in dialog units to pixels; each edge is converted on its own, so that controls that
// meet in dialog units meet in pixels too.
constexpr PixelRect toPixels(int x, int y, int width, int height, BaseUnits base) {
    const int left = toPixelsX(x, base);
    const int top = toPixelsY(y, base);
    return {left, top, toPixelsX(x + width, base) - left, toPixelsY(y + height, base) - top};
}

// Where a window of the given outer size goes: centred on the desktop, but never with its top
// left corner beyond the desktop's.
struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};
constexpr Point centred(PixelRect desktop, int outerWidth, int outerHeight) {
    const int x = desktop.x + (desktop.width - outerWidth) / 2;
    const int y = desktop.y + (desktop.height - outerHeight) / 2;
    return {x < desktop.x ? desktop.x : x, y < desktop.y ? desktop.y : y};
}

}  // namespace ui
