// MessageBoxA for a machine without a screen: the alert goes to stderr for the
// person running the host, and is recorded so that tests can check what the
// module told the user. The person always presses OK.
#include "TextConversion.h"

#include <win32_layer.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct AlertLog {
    std::mutex mutex;
    std::vector<Win32Alert> alerts;
};

AlertLog &Log() {
    static AlertLog *log = new AlertLog;
    return *log;
}

// One alert, one line on stderr, however many lines its text has.
std::string OnOneLine(std::string text) {
    for (char &c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    // Windows titles a box without caption "Error".
    const std::string captionText = caption ? caption : "Error";
    const std::string bodyText = text ? text : "";
    std::fprintf(stderr, "[%s] %s\n", OnOneLine(captionText).c_str(), OnOneLine(bodyText).c_str());

    Win32Alert alert{};
    alert.owner = owner;
    alert.type = type;
    win32::CopyTruncated(alert.caption, sizeof alert.caption, captionText);
    win32::CopyTruncated(alert.text, sizeof alert.text, bodyText);
    std::lock_guard<std::mutex> lock(Log().mutex);
    Log().alerts.push_back(alert);
    return IDOK;
}

size_t Win32AlertCount(void) {
    std::lock_guard<std::mutex> lock(Log().mutex);
    return Log().alerts.size();
}

BOOL Win32GetAlert(size_t index, Win32Alert *alert) {
    std::lock_guard<std::mutex> lock(Log().mutex);
    if (alert == nullptr || index >= Log().alerts.size()) return FALSE;
    *alert = Log().alerts[index];
    return TRUE;
}

void Win32ClearAlerts(void) {
    std::lock_guard<std::mutex> lock(Log().mutex);
    Log().alerts.clear();
}
