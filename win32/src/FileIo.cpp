// _lread, _lwrite and _llseek on a POSIX file descriptor. Like the Windows
// functions they transfer as much as they can: a read stops short only at end
// of file, a write only when the device refuses more.
#include <windows.h>

#include <unistd.h>

#include <cerrno>
#include <climits>

namespace {

constexpr UINT kFileError = static_cast<UINT>(HFILE_ERROR);

}  // namespace

UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT bytes) {
    char *destination = static_cast<char *>(buffer);
    UINT done = 0;
    while (done < bytes) {
        const ssize_t got = read(file, destination + done, bytes - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return kFileError;
        if (got == 0) break;
        done += static_cast<UINT>(got);
    }
    return done;
}

UINT WINAPI _lwrite(HFILE file, LPCCH buffer, UINT bytes) {
    UINT done = 0;
    while (done < bytes) {
        const ssize_t put = write(file, buffer + done, bytes - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return done == 0 ? kFileError : done;
        done += static_cast<UINT>(put);
    }
    return done;
}

LONG WINAPI _llseek(HFILE file, LONG offset, int origin) {
    static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < FILE_BEGIN || origin > FILE_END) return HFILE_ERROR;
    const off_t position = lseek(file, offset, kWhence[origin]);
    if (position < 0 || position > LONG_MAX) return HFILE_ERROR;
    return static_cast<LONG>(position);
}
