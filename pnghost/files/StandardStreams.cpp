#include "pnghost/files/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pnghost/files/OwnFiles.h"
#include "pnghost/files/SaveSignals.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace {

std::string stagedInput;
bool standardOutputClosed = false;

// Standard streams carry bytes, not text: no line-end translation.
void MakeBinary(int descriptor) {
#ifdef _WIN32
    _setmode(descriptor, _O_BINARY);
#else
    (void)descriptor;
#endif
}

bool WriteAll(int file, const char *bytes, size_t count) {
    while (count > 0) {
        const int written = static_cast<int>(write(file, bytes, static_cast<unsigned>(count)));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

// Copies until the end of `from`, or until more than `largest` bytes came:
// then false with *tooMuch. *failedRead tells which side failed otherwise.
bool Copy(int from, int to, uint64_t largest, bool *failedRead, bool *tooMuch) {
    char piece[65536];
    uint64_t copied = 0;
    *failedRead = *tooMuch = false;
    for (;;) {
        const int got = static_cast<int>(read(from, piece, sizeof piece));
        if (got < 0 && errno == EINTR) continue;
        *failedRead = got < 0;
        if (got < 0) return false;
        if (got == 0) return true;
        copied += static_cast<uint64_t>(got);
        *tooMuch = copied > largest;
        if (*tooMuch || !WriteAll(to, piece, static_cast<size_t>(got))) return false;
    }
}

#ifdef _WIN32
// A program started with no console (from a window, or detached) or with a
// handle closed has no usable handle behind the stream's number: the C
// runtime answers -1 or -2, or keeps a handle the system does not know.
bool StreamClosed(int stream) {
    const intptr_t handle = _get_osfhandle(stream);
    if (handle < 0 || handle == 0) return true;
    return GetFileType(reinterpret_cast<HANDLE>(handle)) == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR;
}

// The stream's number, and the system's own standard handle, on NUL.
void OpenOnNull(int stream) {
    const int null = _open("NUL", _O_RDWR | _O_BINARY);
    if (null < 0) return;
    if (null != stream) {
        _dup2(null, stream);
        _close(null);
    }
    static const DWORD handles[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    SetStdHandle(handles[stream], reinterpret_cast<HANDLE>(_get_osfhandle(stream)));
}
#endif

}  // namespace

bool StageStandardInput(std::string *path, uint64_t largest, std::string *error) {
    const int file = CreateOwnFile(TemporaryFolder() + "pnghost-stdin", path, error);
    if (file < 0) {
        *error = "cannot create a file in " + TemporaryFolder() + ": " + *error;
        return false;
    }
    stagedInput = *path;
    MakeBinary(0);
    bool failedRead = false;
    bool tooMuch = false;
    const bool copied = Copy(0, file, largest, &failedRead, &tooMuch);
    if (tooMuch)
        *error = "standard input holds more than " + std::to_string(largest) + " bytes: too large for this use";
    else if (!copied)
        *error = std::string(failedRead ? "cannot read standard input: " : "cannot stage standard input: ") +
                 std::strerror(errno);
    const bool closed = close(file) == 0;
    if (copied && !closed) *error = std::string("cannot stage standard input: ") + std::strerror(errno);
    return copied && closed;
}

void RemoveStagedInput() {
    if (stagedInput.empty()) return;
    std::remove(stagedInput.c_str());
    ForgetOnSignal(stagedInput);
    stagedInput.clear();
}

std::string ShownName(const std::string &path) {
    return !stagedInput.empty() && path == stagedInput ? "standard input" : path;
}

void HoldClosedStandardStreamsOpen() {
    for (int stream = 0; stream <= 2; ++stream) {
#ifdef _WIN32
        if (!StreamClosed(stream)) continue;
        OpenOnNull(stream);
        if (stream == 1) standardOutputClosed = true;
#else
        if (fcntl(stream, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number is the stream's own.
        if (open("/dev/null", O_RDWR) == stream && stream == 1) standardOutputClosed = true;
#endif
    }
}

bool StandardOutputClosed() { return standardOutputClosed; }

bool CopyToStandardOutput(int descriptor, std::string *error) {
    MakeBinary(1);
    bool failedRead = lseek(descriptor, 0, SEEK_SET) != 0;
    bool tooMuch = false;
    if (!failedRead && Copy(descriptor, 1, UINT64_MAX, &failedRead, &tooMuch)) return true;
    *error = std::string(failedRead ? "cannot read the saved file: " : "cannot write to standard output: ") +
             std::strerror(errno);
    return false;
}
