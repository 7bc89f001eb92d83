#include <windows.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

constexpr UINT kFileError = static_cast<UINT>(HFILE_ERROR);

// A real temporary file holding "0123456789", removed with the object.
class TempFile {
public:
    TempFile() {
        fd_ = mkstemp(path_);
        EXPECT_EQ(write(fd_, "0123456789", 10), 10);
        lseek(fd_, 0, SEEK_SET);
    }
    ~TempFile() {
        close(fd_);
        unlink(path_);
    }
    int fd() const { return fd_; }

private:
    char path_[32] = "/tmp/win32fileXXXXXX";
    int fd_ = -1;
};

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() { EXPECT_EQ(pipe(fds), 0); }
    ~Pipe() {
        for (int fd : fds)
            if (fd >= 0) close(fd);
    }
    void Close(int end) {
        close(fds[end]);
        fds[end] = -1;
    }
};

TEST(FileIo, ReadStopsShortOnlyAtEndOfFile) {
    TempFile file;
    char buffer[32] = {};
    EXPECT_EQ(_lread(file.fd(), buffer, 4), 4u);
    EXPECT_EQ(_lread(file.fd(), buffer + 4, sizeof buffer - 4), 6u);
    EXPECT_STREQ(buffer, "0123456789");
    EXPECT_EQ(_lread(file.fd(), buffer, 4), 0u);
}

TEST(FileIo, ReadGathersEverythingAPipeDelivers) {
    Pipe pipe;
    ASSERT_EQ(write(pipe.fds[1], "abc", 3), 3);
    ASSERT_EQ(write(pipe.fds[1], "defg", 4), 4);
    pipe.Close(1);
    char buffer[16] = {};
    EXPECT_EQ(_lread(pipe.fds[0], buffer, 12), 7u);
    EXPECT_STREQ(buffer, "abcdefg");
}

TEST(FileIo, ReadErrorsReportFileError) {
    const int directory = open("/tmp", O_RDONLY | O_DIRECTORY);
    char buffer[8];
    for (int fd : {-1, 9999, directory}) {
        SCOPED_TRACE(fd);
        EXPECT_EQ(_lread(fd, buffer, sizeof buffer), kFileError);
    }
    close(directory);
}

TEST(FileIo, WriteFailsWhenNothingCanBeWritten) {
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    EXPECT_EQ(_lwrite(full, "data", 4), kFileError);
    close(full);

    Pipe pipe;
    pipe.Close(0);
    const sighandler_t previous = signal(SIGPIPE, SIG_IGN);
    EXPECT_EQ(_lwrite(pipe.fds[1], "data", 4), kFileError);
    signal(SIGPIPE, previous);
}

// Under a file size limit the write stops part way: the count written comes
// back, and the next write, which can put nothing, fails. The limit is set in
// a child process so that the test runner keeps its own.
TEST(FileIo, WriteReportsAShortCountAtTheFileSizeLimit) {
    TempFile file;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{40, 40};
        setrlimit(RLIMIT_FSIZE, &limit);
        lseek(file.fd(), 0, SEEK_SET);
        const std::string data(100, 'x');
        const bool shortWrite = _lwrite(file.fd(), data.data(), 100) == 40;
        const bool thenFails = _lwrite(file.fd(), data.data(), 100) == kFileError;
        _exit(shortWrite && thenFails ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(FileIo, SeekFollowsEachOrigin) {
    TempFile file;
    struct Case {
        LONG offset;
        int origin;
        LONG expected;
    };
    const Case cases[] = {
        {3, FILE_BEGIN, 3}, {2, FILE_CURRENT, 5}, {-1, FILE_END, 9}, {-1, FILE_BEGIN, HFILE_ERROR}, {0, 7, HFILE_ERROR},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.origin);
        EXPECT_EQ(_llseek(file.fd(), c.offset, c.origin), c.expected);
    }
    char digit = 0;
    EXPECT_EQ(_lread(file.fd(), &digit, 1), 1u);
    EXPECT_EQ(digit, '9');
    Pipe pipe;
    EXPECT_EQ(_llseek(pipe.fds[0], 0, FILE_BEGIN), HFILE_ERROR);
}

}  // namespace
