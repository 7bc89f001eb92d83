// Controls of the Linux Win32 layer that only a test host uses: memory
// accounting and fault injection, the alerts shown so far, the host window and
// screen, and the person operating dialogs. Nothing here exists on Windows;
// the module never includes this header.
#ifndef KORVANE_WIN32_LAYER_H
#define KORVANE_WIN32_LAYER_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// ---- Global memory -------------------------------------------------------

// Blocks and bytes currently allocated with GlobalAlloc/GlobalReAlloc.
size_t Win32LiveGlobalBlocks(void);
size_t Win32LiveGlobalBytes(void);
// Highest live byte count since the last reset.
size_t Win32PeakGlobalBytes(void);
void Win32ResetPeakGlobalBytes(void);
// Allocations attempted so far (GlobalAlloc and growing GlobalReAlloc calls).
unsigned long Win32GlobalAllocationCount(void);
// Make the n-th allocation from now fail (1 = the next one); 0 disarms.
void Win32FailGlobalAllocation(unsigned long n);

// ---- Modules -------------------------------------------------------------

// The module handle (load address) of the shared object containing address.
HMODULE Win32ModuleFromAddress(const void *address);

// ---- Alerts --------------------------------------------------------------

typedef struct Win32Alert {
    HWND owner;
    UINT type;
    char caption[256];
    char text[1024];
} Win32Alert;

size_t Win32AlertCount(void);
// Copies alert number index (0 = oldest); false when there is none.
BOOL Win32GetAlert(size_t index, Win32Alert *alert);
void Win32ClearAlerts(void);

// ---- Windows -------------------------------------------------------------

// The screen's rectangle; 1024 by 768 until set.
void Win32SetScreenRect(const RECT *rect);
// A top-level window standing for the host's main window.
HWND Win32CreateHostWindow(const RECT *rect);
void Win32DestroyHostWindow(HWND window);
// What GetActiveWindow answers; null until set.
void Win32SetActiveWindow(HWND window);

// ---- The person at the dialogs -------------------------------------------

typedef enum Win32DialogActionKind {
    // Click a control as a mouse would: a push button sends its command, a
    // check box toggles, a radio button is picked. Disabled controls ignore it.
    Win32ActionClick,
    // Choose entry `index` in a combo box's list.
    Win32ActionSelect,
    // The Enter key: the default push button's command.
    Win32ActionEnter,
    // The Escape key: the Cancel command.
    Win32ActionEscape,
    // The close box of the caption.
    Win32ActionClose,
    // A left click on the dialog itself, away from any control.
    Win32ActionClickBody
} Win32DialogActionKind;

// Queue one action for the dialogs to come. Each dialog plays queued actions
// in order until it ends; with nothing queued when it opens, it gets Enter.
// A dialog still open when its actions run out ends with -1.
void Win32QueueDialogAction(Win32DialogActionKind kind, int controlId, int index);
void Win32ClearDialogActions(void);
size_t Win32PendingDialogActions(void);

enum { kWin32MaxControls = 32, kWin32MaxItems = 16 };

typedef struct Win32ControlState {
    int id;
    char className[32];  // "Button", "Static", "ComboBox", ...
    char text[128];
    DWORD style;
    BOOL enabled;
    int checked;    // BST_* for buttons
    int itemCount;  // combo box entries
    char items[kWin32MaxItems][64];
    int selection;  // CB_ERR when none
    RECT rect;      // screen rectangle
} Win32ControlState;

typedef struct Win32DialogState {
    int templateId;
    char caption[128];
    DWORD style;
    HWND owner;
    RECT rect;  // screen rectangle of the whole window
    int controlCount;
    Win32ControlState controls[kWin32MaxControls];
    BOOL ended;
    INT_PTR endResult;
} Win32DialogState;

typedef enum Win32DialogMoment {
    Win32DialogAfterInit,  // as the person first sees it
    Win32DialogAtEnd       // as it was when it closed
} Win32DialogMoment;

// The last dialog shown, at the given moment; false when none was shown.
BOOL Win32GetLastDialog(Win32DialogMoment moment, Win32DialogState *state);
size_t Win32DialogsShown(void);

#ifdef __cplusplus
}
#endif

#endif
