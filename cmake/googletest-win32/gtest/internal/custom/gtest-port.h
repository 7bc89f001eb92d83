// GoogleTest's hook for platform pieces, for the mingw-w64 win32-thread C++
// library, which has no std::mutex or std::condition_variable: the one
// class GoogleTest builds on them, Notification, made of a Win32 event.
#ifndef KORVANE_GOOGLETEST_WIN32_PORT_H
#define KORVANE_GOOGLETEST_WIN32_PORT_H

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification &) = delete;
    Notification &operator=(const Notification &) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing

#endif
