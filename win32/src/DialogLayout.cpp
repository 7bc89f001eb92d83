#include "DialogLayout.h"

namespace win32 {

namespace {

constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

// Windows' MulDiv: the product over the divisor, rounded half away from zero.
LONG MulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<LONG>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

}  // namespace

LONG HorizontalPixels(int dialogUnits) { return MulDiv(dialogUnits, kBaseUnitX, 4); }

LONG VerticalPixels(int dialogUnits) { return MulDiv(dialogUnits, kBaseUnitY, 8); }

LONG ClientLeftInset(DWORD style) { return (style & DS_MODALFRAME) ? kModalFrameWidth : 0; }

LONG ClientTopInset(DWORD style) { return ClientLeftInset(style) + (HasCaption(style) ? kCaptionHeight : 0); }

RECT DialogWindowRect(const DialogTemplate &dialog, POINT origin) {
    const LONG left = origin.x + HorizontalPixels(dialog.box.x);
    const LONG top = origin.y + VerticalPixels(dialog.box.y);
    const LONG width = HorizontalPixels(dialog.box.cx) + 2 * ClientLeftInset(dialog.style);
    const LONG height = VerticalPixels(dialog.box.cy) + ClientTopInset(dialog.style) + ClientLeftInset(dialog.style);
    return RECT{left, top, left + width, top + height};
}

RECT ControlRect(const DialogItemTemplate &item) {
    const LONG left = HorizontalPixels(item.box.x);
    const LONG top = VerticalPixels(item.box.y);
    return RECT{left, top, left + HorizontalPixels(item.box.cx), top + VerticalPixels(item.box.cy)};
}

}  // namespace win32
