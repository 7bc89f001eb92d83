#include "fuzz/HostSteps.h"

#include <algorithm>

#include "pnghost/host/Desktop.h"

namespace {

struct Rect {
    int left, top, right, bottom;
};

const Rect kScreen = {0, 0, 1024, 768};  // the Win32 layer's screen
const Rect kWindows[4] = {{0, 0, 0, 0}, {0, 0, 160, 120}, {40, 30, 1000, 740}, {-400, -300, 200, 150}};
// Below the first selector, past the last, and at both ends of the range.
const int16_t kUnknownSelectors[4] = {-1, kSelectorCount, 0x7FFF, -0x8000};

// Where CenterDialogOnParent's rule puts a span of `size` over a parent span.
int CentredStart(int parentStart, int parentEnd, int size) {
    return std::max(0, (parentStart + parentEnd) / 2 - size / 2);
}

FuzzProblem ShowAboutBox(HostSession *session, const HostSteps &steps) {
    const size_t shown = DialogsShown();
    // The about box ends on a click; Enter alone leaves it open.
    QueuePersonAction(PersonAction::Enter);
    QueuePersonAction(PersonAction::ClickBody);
    const int16_t result = CallAbout(session);
    ForgetPersonActions();
    if (result != kResultNoError) return "the about box ended with " + std::to_string(result) + "; ";
    if (DialogsShown() != shown + 1) return "the about box not shown; ";
    DialogView view;
    LastDialog(&view);
    if (view.leftOpen) return "the about box stayed open after a click; ";
    if (view.owner != session->hostWindow) return "the about box is not owned by the host's window; ";
    return CheckDialogPlacement(steps);
}

}  // namespace

HostSteps ReadHostSteps(int32_t place) {
    HostSteps steps;
    steps.window = (place >> 1) & 3;
    steps.about = (place & 8) != 0;
    steps.unknownSelector = (place & 16) != 0;
    steps.selector = kUnknownSelectors[(place >> 1) & 3];
    return steps;
}

FuzzProblem TakeHostStepsBefore(HostSession *session, const HostSteps &steps) {
    if (steps.window != 0) {
        const Rect &at = kWindows[steps.window];
        ShowHostWindow(session, at.left, at.top, at.right, at.bottom);
    }
    FuzzProblem problem;
    if (steps.about) problem += ShowAboutBox(session, steps);
    if (steps.unknownSelector) {
        const int16_t result = CallSelector(session, steps.selector);
        if (result != kResultBadSelector)
            problem += "selector " + std::to_string(steps.selector) + " answered " + std::to_string(result) + "; ";
    }
    return problem;
}

FuzzProblem CheckDialogPlacement(const HostSteps &steps) {
    DialogView view;
    if (!LastDialog(&view)) return "no dialog shown; ";
    const Rect &parent = steps.window != 0 ? kWindows[steps.window] : kScreen;
    const int width = view.right - view.left, height = view.bottom - view.top;
    const int left = CentredStart(parent.left, parent.right, width);
    const int top = CentredStart(parent.top, parent.bottom, height);
    if (view.left == left && view.top == top) return {};
    return "dialog at " + std::to_string(view.left) + "," + std::to_string(view.top) + ", expected " +
           std::to_string(left) + "," + std::to_string(top) + "; ";
}

void EndHostSteps(HostSession *session) { CloseHostWindow(session); }
