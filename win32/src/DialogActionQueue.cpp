#include "DialogInput.h"

#include <deque>
#include <mutex>

namespace {

struct ActionQueue {
    std::mutex mutex;
    std::deque<win32::DialogAction> actions;
};

ActionQueue &Queue() {
    static ActionQueue *queue = new ActionQueue;
    return *queue;
}

}  // namespace

namespace win32 {

bool TakeDialogAction(DialogAction &action) {
    std::lock_guard<std::mutex> lock(Queue().mutex);
    if (Queue().actions.empty()) return false;
    action = Queue().actions.front();
    Queue().actions.pop_front();
    return true;
}

bool DialogActionsPending() { return Win32PendingDialogActions() != 0; }

}  // namespace win32

void Win32QueueDialogAction(Win32DialogActionKind kind, int controlId, int index) {
    std::lock_guard<std::mutex> lock(Queue().mutex);
    Queue().actions.push_back(win32::DialogAction{kind, controlId, index});
}

void Win32ClearDialogActions(void) {
    std::lock_guard<std::mutex> lock(Queue().mutex);
    Queue().actions.clear();
}

size_t Win32PendingDialogActions(void) {
    std::lock_guard<std::mutex> lock(Queue().mutex);
    return Queue().actions.size();
}
