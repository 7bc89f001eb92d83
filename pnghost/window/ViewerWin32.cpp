// pnghost view on Windows: a window in which a person opens a PNG file
// through the module, looks at it at any zoom, reads and edits its File
// Info, and saves it through the module's options dialog, as in the editor.
// The host's own person at the dialogs stands up: every dialog and alert is
// the real person's.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "pnghost/files/OpenFile.h"
#include "pnghost/files/SaveToFile.h"
#include "pnghost/formats/FileInfoResource.h"
#include "pnghost/host/AddressSpace.h"
#include "pnghost/host/PersonWin32.h"
#include "pnghost/window/FileInfoDialogWin32.h"
#include "pnghost/window/ImageCanvasWin32.h"
#include "pnghost/window/ShownImage.h"
#include "pnghost/window/Viewer.h"

namespace {

const char kFrameClass[] = "KorvaneViewer";
const char kProgramName[] = "pnghost";
const char kPngFilter[] = "PNG files (*.png)\0*.png\0All files (*.*)\0*.*\0";

enum MenuCommand {
    kOpenCommand = 100,
    kSaveAsCommand,
    kFileInfoCommand,
    kAboutCommand,
    kExitCommand,
    kFitCommand,
    kActualSizeCommand,
    kZoomInCommand,
    kZoomOutCommand
};

struct Viewer {
    HostSession *session = nullptr;
    HWND frame = nullptr;
    HWND canvas = nullptr;
    HWND statusBar = nullptr;
    HMENU menuBar = nullptr;
    std::string path;  // the file shown; empty before the first open
    bool busy = false;  // the module is at work: no second command starts meanwhile
    std::string progressLabel;
    int progressShown = -1;
    std::string paintProblem;  // the last paint failure reported
};

// The host's callbacks carry no context, and there is one viewer a process.
Viewer &TheViewer() {
    static Viewer viewer;
    return viewer;
}

std::string FileName(const std::string &path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

unsigned long long FileBytes(const std::string &path) {
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &file)) return 0;
    return (static_cast<unsigned long long>(file.nFileSizeHigh) << 32) | file.nFileSizeLow;
}

void SetStatus(const std::string &text) {
    SendMessageA(TheViewer().statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Mode, size, depth, planes, resolution and File Info of the image shown.
std::string ImageStatus(const HostImage &image) {
    const size_t datasets = ListFileInfoDatasets(image.resources).size();
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s    %d x %d    %d bit%s    %d plane%s    %.4g x %.4g ppi    %zu File Info dataset%s",
                  ImageModeName(image.mode), image.columns, image.rows, image.depth, image.depth == 1 ? "" : "s",
                  image.planes, image.planes == 1 ? "" : "s", image.horizontalResolution / 65536.0,
                  image.verticalResolution / 65536.0, datasets, datasets == 1 ? "" : "s");
    return text;
}

void ShowImageStatus() {
    const Viewer &viewer = TheViewer();
    SetStatus(viewer.path.empty() ? "Open a PNG file with File > Open... (Ctrl+O)"
                                  : ImageStatus(viewer.session->image) + "    " +
                                        ZoomPercent(CanvasZoom(viewer.canvas)));
}

// The file's name and the zoom, as "name.png @ 100%".
void ShowTitle() {
    const Viewer &viewer = TheViewer();
    const std::string title =
        viewer.path.empty() ? kProgramName : FileName(viewer.path) + " @ " + ZoomPercent(CanvasZoom(viewer.canvas));
    SetWindowTextA(viewer.frame, title.c_str());
}

void ZoomChanged(Zoom) {
    ShowTitle();
    if (!TheViewer().busy) ShowImageStatus();
}

// Said in the status bar, and once on stderr for the person who started the
// host, as the person at the dialogs reports alerts.
void PaintFailed(const std::string &problem) {
    Viewer &viewer = TheViewer();
    SetStatus("Part of the image is not shown: " + problem);
    if (problem == viewer.paintProblem) return;
    viewer.paintProblem = problem;
    std::fprintf(stderr, "pnghost: %s: part of the image is not shown: %s\n", viewer.path.c_str(), problem.c_str());
}

void Complain(const std::string &problem) {
    MessageBoxA(TheViewer().frame, problem.c_str(), kProgramName, MB_OK | MB_ICONERROR);
}

// The module's progress in the status bar, drawn at once: no messages are
// handled while the module works.
void ShowProgress(int32_t done, int32_t total) {
    Viewer &viewer = TheViewer();
    if (total <= 0) return;
    const int percent = static_cast<int>(std::clamp<int64_t>(int64_t{done + 1} * 100 / total, 0, 100));
    if (percent == viewer.progressShown) return;
    viewer.progressShown = percent;
    SetStatus(viewer.progressLabel + ": " + std::to_string(percent) + "%");
    UpdateWindow(viewer.statusBar);
}

// While the module works, its progress shows and no other command starts.
class ModuleAtWork {
public:
    explicit ModuleAtWork(const std::string &label) {
        Viewer &viewer = TheViewer();
        viewer.busy = true;
        viewer.progressLabel = label;
        viewer.progressShown = -1;
        viewer.session->progressWatcher = ShowProgress;
        SetStatus(label + "...");
        UpdateWindow(viewer.statusBar);
    }
    ~ModuleAtWork() {
        TheViewer().busy = false;
        TheViewer().session->progressWatcher = nullptr;
    }
    ModuleAtWork(const ModuleAtWork &) = delete;
    ModuleAtWork &operator=(const ModuleAtWork &) = delete;
};

// The commands that need an image are there once one is shown.
void EnableImageCommands(bool enable) {
    const Viewer &viewer = TheViewer();
    const UINT state = MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED);
    for (const int command : {kSaveAsCommand, kFileInfoCommand, kFitCommand, kActualSizeCommand, kZoomInCommand,
                              kZoomOutCommand})
        EnableMenuItem(viewer.menuBar, command, state);
}

void ShowPath(const std::string &path) {
    TheViewer().path = path;
    ShowTitle();
    EnableImageCommands(!path.empty());
}

// The module's open into the session's image.
int OpenThroughModule(const std::string &path, std::string *problem) {
    ModuleAtWork work("Opening " + FileName(path));
    return OpenFile(TheViewer().session, path, problem);
}

// Whether the image the module described, for which the host had no room,
// would have room once the image shown is let go.
bool FitsInPlaceOf(const HostImage &described, const HostImage &shown) {
    const uint64_t needed = uint64_t(HostImageRowBytes(described)) * uint64_t(described.rows);
    return needed <= LargestImageBytes() + shown.pixels.size();
}

// Opens the file as the open command does. A file that cannot be opened or
// shown leaves the image shown before as it was; but when the host has no
// room for the new image beside the old one and would have in its place, the
// old one goes and the file is opened again alone, so that it is refused only
// when it alone does not fit.
void OpenInViewer(const std::string &path) {
    Viewer &viewer = TheViewer();
    ShowOnCanvas(viewer.canvas, nullptr);
    HostImage before = std::move(viewer.session->image);
    viewer.session->image = HostImage{};
    std::string problem;
    int status = OpenThroughModule(path, &problem);
    if (status != 0 && viewer.session->imageTooLarge && !before.pixels.empty() &&
        FitsInPlaceOf(viewer.session->image, before)) {
        before = HostImage{};
        ShowPath("");
        status = OpenThroughModule(path, &problem);
    }
    if (status == 0 && !CanShowImage(viewer.session->image, &problem)) {
        problem = path + ": " + problem;
        status = 2;
    }
    if (status != 0) {
        viewer.session->image = std::move(before);
        if (!viewer.path.empty()) ShowOnCanvas(viewer.canvas, &viewer.session->image);
        ShowImageStatus();
        Complain(problem);
        return;
    }
    before = HostImage{};
    viewer.path = path;  // the zoom the canvas picks shows in the title
    ShowOnCanvas(viewer.canvas, &viewer.session->image);
    ShowPath(path);
    ShowImageStatus();
}

// The system's file dialog: false when the person cancels, or when it fails
// (then after saying so).
bool AskForFile(bool saving, std::string *path) {
    char file[MAX_PATH] = "";
    if (saving) lstrcpynA(file, FileName(TheViewer().path).c_str(), MAX_PATH);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = TheViewer().frame;
    dialog.lpstrFilter = kPngFilter;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = "png";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                   (saving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = saving ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (chosen) {
        *path = file;
        return true;
    }
    const DWORD failure = CommDlgExtendedError();
    if (failure != 0) Complain("The file dialog failed (error " + std::to_string(failure) + ").");
    return false;
}

void OpenFromMenu() {
    std::string path;
    if (AskForFile(false, &path)) OpenInViewer(path);
}

// Saves as the save command does, the person answering the options dialog.
// Cancel there leaves everything as it was.
void SaveFromMenu() {
    Viewer &viewer = TheViewer();
    std::string path;
    if (viewer.path.empty() || !AskForFile(true, &path)) return;
    std::string report;
    int status = 0;
    {
        ModuleAtWork work("Saving " + FileName(path));
        status = SaveToFile(viewer.session, path, SaveChoices{}, &report);
    }
    ShowImageStatus();
    if (status == 0) {
        ShowPath(path);
        SetStatus(ImageStatus(viewer.session->image) + "    saved, " + std::to_string(FileBytes(path)) + " bytes");
    } else if (status != 1) {
        Complain(report);
    }
}

// The person edits the image's File Info; a later Save As with "Write File
// Info" writes it.
void EditFileInfoFromMenu() {
    Viewer &viewer = TheViewer();
    if (viewer.path.empty()) return;
    if (EditFileInfoInDialog(viewer.frame, &viewer.session->image.resources) == -1)
        Complain("The File Info dialog cannot be shown (Windows error " + std::to_string(GetLastError()) + ").");
    ShowImageStatus();
}

void ShowAboutBox() {
    int16_t result = 0;
    {
        ModuleAtWork work("About PNG");
        result = CallAbout(TheViewer().session);
    }
    ShowImageStatus();
    if (result != 0) Complain("The module's about box failed (" + std::to_string(result) + ").");
}

void RunMenuCommand(WORD command) {
    if (TheViewer().busy) return;
    switch (command) {
        case kOpenCommand: OpenFromMenu(); break;
        case kSaveAsCommand: SaveFromMenu(); break;
        case kFileInfoCommand: EditFileInfoFromMenu(); break;
        case kAboutCommand: ShowAboutBox(); break;
        case kExitCommand: PostMessageA(TheViewer().frame, WM_CLOSE, 0, 0); break;
        case kFitCommand: ZoomCanvas(TheViewer().canvas, ZoomCommand::Fit); break;
        case kActualSizeCommand: ZoomCanvas(TheViewer().canvas, ZoomCommand::ActualSize); break;
        case kZoomInCommand: ZoomCanvas(TheViewer().canvas, ZoomCommand::In); break;
        case kZoomOutCommand: ZoomCanvas(TheViewer().canvas, ZoomCommand::Out); break;
    }
}

// The canvas above, the status bar along the bottom.
void LayOut(HWND frame) {
    const Viewer &viewer = TheViewer();
    SendMessageA(viewer.statusBar, WM_SIZE, 0, 0);
    RECT client{}, status{};
    GetClientRect(frame, &client);
    GetWindowRect(viewer.statusBar, &status);
    MoveWindow(viewer.canvas, 0, 0, client.right, std::max(0L, client.bottom - (status.bottom - status.top)), TRUE);
}

LRESULT CALLBACK FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: LayOut(frame); return 0;
        case WM_SETFOCUS: SetFocus(TheViewer().canvas); return 0;
        case WM_MOUSEWHEEL: return SendMessageA(TheViewer().canvas, message, wParam, lParam);
        case WM_COMMAND: RunMenuCommand(LOWORD(wParam)); return 0;
        case WM_CLOSE:
            if (!TheViewer().busy) DestroyWindow(frame);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(frame, message, wParam, lParam);
}

HMENU MakeMenuBar() {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kOpenCommand, "&Open...\tCtrl+O");
    AppendMenuA(file, MF_STRING | MF_GRAYED, kSaveAsCommand, "Save &As...\tCtrl+S");
    AppendMenuA(file, MF_STRING | MF_GRAYED, kFileInfoCommand, "File &Info...");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kAboutCommand, "About &PNG...");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kExitCommand, "E&xit\tAlt+F4");
    HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING | MF_GRAYED, kFitCommand, "&Fit to Window\tCtrl+0");
    AppendMenuA(view, MF_STRING | MF_GRAYED, kActualSizeCommand, "&Actual Size\tCtrl+1");
    AppendMenuA(view, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(view, MF_STRING | MF_GRAYED, kZoomInCommand, "Zoom &In\tCtrl++");
    AppendMenuA(view, MF_STRING | MF_GRAYED, kZoomOutCommand, "Zoom &Out\tCtrl+-");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    TheViewer().menuBar = bar;
    return bar;
}

bool CreateViewerWindows() {
    Viewer &viewer = TheViewer();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA frameClass{};
    frameClass.lpfnWndProc = FrameProcedure;
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    frameClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    frameClass.lpszClassName = kFrameClass;
    if (RegisterClassA(&frameClass) == 0) return false;
    viewer.frame = CreateWindowExA(0, kFrameClass, kProgramName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 800, 600, nullptr, MakeMenuBar(), GetModuleHandleA(nullptr), nullptr);
    if (viewer.frame == nullptr) return false;
    viewer.canvas = CreateImageCanvas(viewer.frame, CanvasWatch{ZoomChanged, PaintFailed});
    viewer.statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                       viewer.frame, nullptr, GetModuleHandleA(nullptr), nullptr);
    return viewer.canvas != nullptr && viewer.statusBar != nullptr;
}

// Ctrl and + is Ctrl and = on keyboards where + needs Shift, so both count,
// as do the number pad's keys.
HACCEL MakeAccelerators() {
    const BYTE control = FCONTROL | FVIRTKEY;
    ACCEL keys[] = {{control, 'O', kOpenCommand},
                    {control, 'S', kSaveAsCommand},
                    {control, '0', kFitCommand},
                    {control, VK_NUMPAD0, kFitCommand},
                    {control, '1', kActualSizeCommand},
                    {control, VK_NUMPAD1, kActualSizeCommand},
                    {control, VK_OEM_PLUS, kZoomInCommand},
                    {control | FSHIFT, VK_OEM_PLUS, kZoomInCommand},
                    {control, VK_ADD, kZoomInCommand},
                    {control, VK_OEM_MINUS, kZoomOutCommand},
                    {control, VK_SUBTRACT, kZoomOutCommand}};
    return CreateAcceleratorTableA(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
}

// A double-click starts the program with a console of its own, which no one
// reads: it is let go, so that the person sees only the viewer. A console
// shared with the shell the program was started from stays for its messages.
void LetGoOfOwnConsole() {
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

}  // namespace

bool ViewerAvailable() { return true; }

int RunViewCommand(HostSession *session, const ViewRequest &request) {
    HandDialogsToPerson();
    LetGoOfOwnConsole();
    Viewer &viewer = TheViewer();
    viewer.session = session;
    if (!CreateViewerWindows()) {
        std::fprintf(stderr, "pnghost: cannot make the viewer's window (Windows error %lu)\n", GetLastError());
        return 2;
    }
    if (request.failPaints) RefuseCanvasPaints(viewer.canvas);
    // The module's dialogs take the active window, the viewer, as their owner.
    session->hostWindow = viewer.frame;
    LayOut(viewer.frame);
    ShowWindow(viewer.frame, SW_SHOWNORMAL);
    UpdateWindow(viewer.frame);
    ShowImageStatus();
    if (!request.path.empty()) OpenInViewer(request.path);
    HACCEL accelerators = MakeAccelerators();
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(viewer.frame, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyAcceleratorTable(accelerators);
    session->hostWindow = nullptr;
    return 0;
}
