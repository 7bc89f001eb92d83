#include "pnghost/ImageCanvasWin32.h"

#include <algorithm>
#include <utility>

namespace {

const char kCanvasClass[] = "KorvaneImageCanvas";
// A scroll bar arrow or arrow key moves this many pixels; a wheel notch three times as many.
const int kScrollStep = 16;

struct Canvas {
    ShownImage picture;
    BITMAPINFO format{};
    int left = 0;  // the picture's column at the window's left edge
    int top = 0;   // the picture's row at the window's top edge
};

Canvas *CanvasOf(HWND window) { return reinterpret_cast<Canvas *>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

// The scroll bars span the picture, a page is the window; positions past the
// end move back so that no space is left beyond the picture's edge.
void FitScrollBars(HWND window, Canvas *canvas) {
    for (int pass = 0; pass < 2; ++pass) {  // a bar that comes or goes changes the other's page
        const SIZE client = ClientSize(window);
        SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, canvas->picture.width - 1),
                       static_cast<UINT>(client.cx), canvas->left, 0};
        SetScrollInfo(window, SB_HORZ, &bar, TRUE);
        bar = SCROLLINFO{sizeof bar, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, canvas->picture.height - 1),
                         static_cast<UINT>(client.cy), canvas->top, 0};
        SetScrollInfo(window, SB_VERT, &bar, TRUE);
    }
    const int left = GetScrollPos(window, SB_HORZ);
    const int top = GetScrollPos(window, SB_VERT);
    if (left == canvas->left && top == canvas->top) return;
    canvas->left = left;
    canvas->top = top;
    InvalidateRect(window, nullptr, FALSE);
}

void ScrollTo(HWND window, Canvas *canvas, int left, int top) {
    const SIZE client = ClientSize(window);
    left = std::max(0, std::min(left, canvas->picture.width - static_cast<int>(client.cx)));
    top = std::max(0, std::min(top, canvas->picture.height - static_cast<int>(client.cy)));
    const int dx = canvas->left - left;
    const int dy = canvas->top - top;
    if (dx == 0 && dy == 0) return;
    canvas->left = left;
    canvas->top = top;
    SetScrollPos(window, SB_HORZ, left, TRUE);
    SetScrollPos(window, SB_VERT, top, TRUE);
    ScrollWindowEx(window, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    UpdateWindow(window);
}

// Where a scroll bar action takes the position.
int ScrolledPosition(HWND window, int bar, WORD action) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(window, bar, &info);
    switch (action) {
        case SB_LINEUP: return info.nPos - kScrollStep;
        case SB_LINEDOWN: return info.nPos + kScrollStep;
        case SB_PAGEUP: return info.nPos - static_cast<int>(info.nPage);
        case SB_PAGEDOWN: return info.nPos + static_cast<int>(info.nPage);
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: return info.nTrackPos;
        case SB_TOP: return 0;
        case SB_BOTTOM: return info.nMax;
        default: return info.nPos;
    }
}

// The keys of a scrolled view: arrows, Page Up and Down, Home and End.
void ScrollByKey(HWND window, Canvas *canvas, WPARAM key) {
    const SIZE client = ClientSize(window);
    int left = canvas->left, top = canvas->top;
    switch (key) {
        case VK_LEFT: left -= kScrollStep; break;
        case VK_RIGHT: left += kScrollStep; break;
        case VK_UP: top -= kScrollStep; break;
        case VK_DOWN: top += kScrollStep; break;
        case VK_PRIOR: top -= client.cy; break;
        case VK_NEXT: top += client.cy; break;
        case VK_HOME: left = top = 0; break;
        case VK_END: top = canvas->picture.height; break;
        default: return;
    }
    ScrollTo(window, canvas, left, top);
}

// The background beyond the picture's right and bottom edges, within the
// rectangle to paint.
void PaintBackground(HDC dc, const RECT &paint, const RECT &picture) {
    HBRUSH brush = GetSysColorBrush(COLOR_APPWORKSPACE);
    const RECT right{std::max(picture.right, paint.left), paint.top, paint.right, paint.bottom};
    const RECT below{paint.left, std::max(picture.bottom, paint.top), std::min(picture.right, paint.right),
                     paint.bottom};
    if (!IsRectEmpty(&right)) FillRect(dc, &right, brush);
    if (!IsRectEmpty(&below)) FillRect(dc, &below, brush);
}

// Copies the exposed part of the picture. The bitmap's rows run bottom-up,
// so its source rectangle is measured from the bottom row.
void Paint(HWND window, Canvas *canvas) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    const ShownImage &picture = canvas->picture;
    const RECT placed{-canvas->left, -canvas->top, picture.width - canvas->left, picture.height - canvas->top};
    RECT exposed{};
    if (!picture.bgr.empty() && IntersectRect(&exposed, &paint.rcPaint, &placed)) {
        const int width = exposed.right - exposed.left;
        const int height = exposed.bottom - exposed.top;
        const int sourceTop = exposed.top + canvas->top;
        StretchDIBits(dc, exposed.left, exposed.top, width, height, exposed.left + canvas->left,
                      picture.height - sourceTop - height, width, height, picture.bgr.data(), &canvas->format,
                      DIB_RGB_COLORS, SRCCOPY);
    }
    PaintBackground(dc, paint.rcPaint, placed);
    EndPaint(window, &paint);
}

LRESULT CALLBACK CanvasProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Canvas *canvas = CanvasOf(window);
    switch (message) {
        case WM_CREATE:
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Canvas));
            return 0;
        case WM_NCDESTROY:
            delete canvas;
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            break;
        case WM_ERASEBKGND: return 1;  // painting covers every pixel
        case WM_PAINT: Paint(window, canvas); return 0;
        case WM_SIZE: FitScrollBars(window, canvas); return 0;
        case WM_HSCROLL:
            ScrollTo(window, canvas, ScrolledPosition(window, SB_HORZ, LOWORD(wParam)), canvas->top);
            return 0;
        case WM_VSCROLL:
            ScrollTo(window, canvas, canvas->left, ScrolledPosition(window, SB_VERT, LOWORD(wParam)));
            return 0;
        case WM_MOUSEWHEEL: {
            const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
            ScrollTo(window, canvas, canvas->left, canvas->top - notches * 3 * kScrollStep);
            return 0;
        }
        case WM_KEYDOWN: ScrollByKey(window, canvas, wParam); return 0;
        case WM_LBUTTONDOWN: SetFocus(window); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterCanvasClass() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSA canvasClass{};
    canvasClass.lpfnWndProc = CanvasProcedure;
    canvasClass.hInstance = GetModuleHandleA(nullptr);
    canvasClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    canvasClass.lpszClassName = kCanvasClass;
    registered = RegisterClassA(&canvasClass) != 0;
    return registered;
}

}  // namespace

HWND CreateImageCanvas(HWND parent) {
    if (!RegisterCanvasClass()) return nullptr;
    return CreateWindowExA(0, kCanvasClass, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_CLIPSIBLINGS, 0, 0,
                           0, 0, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void ShowOnCanvas(HWND canvas, ShownImage *picture) {
    Canvas *state = CanvasOf(canvas);
    state->picture = std::move(*picture);
    BITMAPINFOHEADER &header = state->format.bmiHeader;
    header.biSize = sizeof header;
    header.biWidth = state->picture.width;
    header.biHeight = state->picture.height;  // positive: the bottom row first
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    state->left = state->top = 0;
    FitScrollBars(canvas, state);
    InvalidateRect(canvas, nullptr, FALSE);
}
