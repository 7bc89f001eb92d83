// The viewer's canvas window: zoom, scrolling and painting of the host's image.
#include "pnghost/window/ImageCanvasWin32.h"

#include <algorithm>

namespace {

const char kCanvasClass[] = "KorvaneImageCanvas";
// A scroll bar arrow or arrow key moves this many pixels; a wheel notch three times as many.
const int kScrollStep = 16;

struct Canvas {
    CanvasWatch watch{};
    const HostImage *image = nullptr;
    Zoom zoom = kActualSize;
    int left = 0;  // the zoomed picture's column at the window's left edge, when it is wider
    int top = 0;   // the zoomed picture's row at the window's top edge, when it is taller
    // Wheel turns smaller than a notch, kept until they add up to one.
    int scrollTurn = 0;
    int zoomTurn = 0;
    bool refusePaintsOnZoom = false;
    bool refusePaints = false;
};

Canvas *CanvasOf(HWND window) { return reinterpret_cast<Canvas *>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

// The whole window, as the client area is without scroll bars.
SIZE AreaWithoutScrollBars(HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

SIZE ZoomedSize(const Canvas *canvas) {
    if (canvas->image == nullptr) return SIZE{0, 0};
    return SIZE{static_cast<LONG>(ZoomedLength(canvas->image->columns, canvas->zoom)),
                static_cast<LONG>(ZoomedLength(canvas->image->rows, canvas->zoom))};
}

// Where the zoomed picture's top-left corner is in the window: centred on an
// axis where it is smaller than the window, else scrolled.
POINT PictureOrigin(HWND window, const Canvas *canvas) {
    const SIZE client = ClientSize(window);
    const SIZE zoomed = ZoomedSize(canvas);
    return POINT{zoomed.cx < client.cx ? (client.cx - zoomed.cx) / 2 : -canvas->left,
                 zoomed.cy < client.cy ? (client.cy - zoomed.cy) / 2 : -canvas->top};
}

// The scroll bars span the zoomed picture, a page is the window; positions
// past the end move back so that no space is left beyond the picture's edge.
void FitScrollBars(HWND window, Canvas *canvas) {
    const SIZE zoomed = ZoomedSize(canvas);
    for (int pass = 0; pass < 2; ++pass) {  // a bar that comes or goes changes the other's page
        const SIZE client = ClientSize(window);
        SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0L, zoomed.cx - 1),
                       static_cast<UINT>(client.cx), canvas->left, 0};
        SetScrollInfo(window, SB_HORZ, &bar, TRUE);
        bar = SCROLLINFO{sizeof bar, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0L, zoomed.cy - 1),
                         static_cast<UINT>(client.cy), canvas->top, 0};
        SetScrollInfo(window, SB_VERT, &bar, TRUE);
    }
    canvas->left = GetScrollPos(window, SB_HORZ);
    canvas->top = GetScrollPos(window, SB_VERT);
    InvalidateRect(window, nullptr, FALSE);
}

void ScrollTo(HWND window, Canvas *canvas, int left, int top) {
    const SIZE client = ClientSize(window);
    const SIZE zoomed = ZoomedSize(canvas);
    left = std::max(0, std::min(left, static_cast<int>(zoomed.cx - client.cx)));
    top = std::max(0, std::min(top, static_cast<int>(zoomed.cy - client.cy)));
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

// Sets the zoom keeping the image pixel under `fixed` (a point of the
// window) where it is.
void SetZoom(HWND window, Canvas *canvas, Zoom zoom, POINT fixed) {
    if (canvas->image == nullptr || SameZoom(zoom, canvas->zoom)) return;
    const POINT origin = PictureOrigin(window, canvas);
    const double scale = double(zoom.times) / zoom.into * canvas->zoom.into / canvas->zoom.times;
    canvas->left = static_cast<int>((fixed.x - origin.x) * scale) - fixed.x;
    canvas->top = static_cast<int>((fixed.y - origin.y) * scale) - fixed.y;
    canvas->zoom = zoom;
    canvas->refusePaints = canvas->refusePaintsOnZoom;
    FitScrollBars(window, canvas);
    if (canvas->watch.zoomChanged != nullptr) canvas->watch.zoomChanged(zoom);
}

POINT WindowCentre(HWND window) {
    const SIZE client = ClientSize(window);
    return POINT{client.cx / 2, client.cy / 2};
}

Zoom FittedZoom(HWND window, const Canvas *canvas) {
    const SIZE area = AreaWithoutScrollBars(window);
    return FittingZoom(canvas->image->columns, canvas->image->rows, area.cx, area.cy);
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
        case VK_END: top = ZoomedSize(canvas).cy; break;
        default: return;
    }
    ScrollTo(window, canvas, left, top);
}

// Whole notches out of the turns so far; what is left waits for the next turn.
int TakeNotches(int *turn, int delta) {
    *turn += delta;
    const int notches = *turn / WHEEL_DELTA;
    *turn -= notches * WHEEL_DELTA;
    return notches;
}

// The wheel scrolls; with Ctrl held it zooms around the pointer.
void TurnWheel(HWND window, Canvas *canvas, WPARAM wParam, LPARAM lParam) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    if ((GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) == 0) {
        const int notches = TakeNotches(&canvas->scrollTurn, delta);
        ScrollTo(window, canvas, canvas->left, canvas->top - notches * 3 * kScrollStep);
        return;
    }
    POINT pointer{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(window, &pointer);
    Zoom zoom = canvas->zoom;
    for (int notches = TakeNotches(&canvas->zoomTurn, delta); notches != 0; notches -= notches > 0 ? 1 : -1)
        zoom = NextZoomStep(zoom, notches > 0 ? 1 : -1);
    SetZoom(window, canvas, zoom, pointer);
}

// The part of the zoomed picture within `area` (window coordinates, inside
// the picture); false with the reason when it cannot be made or drawn.
bool PaintPicture(HDC dc, const Canvas *canvas, const RECT &area, POINT origin, std::string *problem) {
    const ShownPart part{area.left - origin.x, area.top - origin.y, area.right - area.left, area.bottom - area.top};
    ShownImage picture;
    if (!MakeShownPart(*canvas->image, canvas->zoom, part, &picture, problem)) return false;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = picture.width;
    format.bmiHeader.biHeight = picture.height;  // positive: the bottom row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = canvas->refusePaints ? 0 : 24;  // no colours at all: refused
    format.bmiHeader.biCompression = BI_RGB;
    const int rows = StretchDIBits(dc, area.left, area.top, part.width, part.height, 0, 0, part.width, part.height,
                                   picture.bgr.data(), &format, DIB_RGB_COLORS, SRCCOPY);
    if (rows != 0 && rows != static_cast<int>(GDI_ERROR)) return true;
    *problem = "the system could not draw " + std::to_string(part.width) + " x " + std::to_string(part.height) +
               " pixels (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
}

// Paints the exposed part of the picture and the background around it. A
// part that cannot be painted shows as background, and the owner is told.
void Paint(HWND window, Canvas *canvas) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    HBRUSH background = GetSysColorBrush(COLOR_APPWORKSPACE);
    const POINT origin = PictureOrigin(window, canvas);
    const SIZE zoomed = ZoomedSize(canvas);
    const RECT placed{origin.x, origin.y, origin.x + zoomed.cx, origin.y + zoomed.cy};
    RECT exposed{};
    std::string problem;
    if (canvas->image != nullptr && IntersectRect(&exposed, &paint.rcPaint, &placed) &&
        !PaintPicture(dc, canvas, exposed, origin, &problem)) {
        FillRect(dc, &exposed, background);
        if (canvas->watch.paintFailed != nullptr) canvas->watch.paintFailed(problem);
    }
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, placed.left, placed.top, placed.right, placed.bottom);
    FillRect(dc, &paint.rcPaint, background);
    RestoreDC(dc, saved);
    EndPaint(window, &paint);
}

LRESULT CALLBACK CanvasProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Canvas *canvas = CanvasOf(window);
    switch (message) {
        case WM_NCCREATE: {
            auto *made = new Canvas;
            made->watch = *static_cast<const CanvasWatch *>(reinterpret_cast<CREATESTRUCTA *>(lParam)->lpCreateParams);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
            break;
        }
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
        case WM_MOUSEWHEEL: TurnWheel(window, canvas, wParam, lParam); return 0;
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

HWND CreateImageCanvas(HWND parent, CanvasWatch watch) {
    if (!RegisterCanvasClass()) return nullptr;
    return CreateWindowExA(0, kCanvasClass, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_CLIPSIBLINGS, 0, 0,
                           0, 0, parent, nullptr, GetModuleHandleA(nullptr), &watch);
}

void ShowOnCanvas(HWND canvas, const HostImage *image) {
    Canvas *state = CanvasOf(canvas);
    state->image = image;
    state->left = state->top = 0;
    state->zoom = kActualSize;
    if (image != nullptr) {
        const Zoom fitted = FittedZoom(canvas, state);
        if (double(fitted.times) / fitted.into < 1) state->zoom = fitted;
    }
    FitScrollBars(canvas, state);
    if (image != nullptr && state->watch.zoomChanged != nullptr) state->watch.zoomChanged(state->zoom);
}

void ZoomCanvas(HWND canvas, ZoomCommand command) {
    Canvas *state = CanvasOf(canvas);
    if (state->image == nullptr) return;
    switch (command) {
        case ZoomCommand::Fit: SetZoom(canvas, state, FittedZoom(canvas, state), WindowCentre(canvas)); break;
        case ZoomCommand::ActualSize: SetZoom(canvas, state, kActualSize, WindowCentre(canvas)); break;
        case ZoomCommand::In: SetZoom(canvas, state, NextZoomStep(state->zoom, 1), WindowCentre(canvas)); break;
        case ZoomCommand::Out: SetZoom(canvas, state, NextZoomStep(state->zoom, -1), WindowCentre(canvas)); break;
    }
}

void RefuseCanvasPaints(HWND canvas) { CanvasOf(canvas)->refusePaintsOnZoom = true; }

Zoom CanvasZoom(HWND canvas) { return CanvasOf(canvas)->zoom; }
