// Saves that do not finish leave the file saved over as it was, byte for
// byte, and no file of their own behind; the exit status says what happened:
// 0 saved, 1 the person cancelled, 2 an error. A save that finishes keeps
// what the file was: its mode, owner, links, other names, extended
// attributes and ACL. A write-over cut short leaves the old image, or a
// whole copy of it; a destination changed during the save is not touched.
// Signals that end a save leave nothing behind; "-" puts pnghost in a pipe.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sched.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "NetpbmImages.h"
#include "PnghostRun.h"

namespace {

const std::string kSuitePng = std::string(PNGSUITE_DIR) + "/basn2c08.png";

#if defined(__SANITIZE_ADDRESS__)
const bool kSanitized = true;
#elif defined(__has_feature)
const bool kSanitized = __has_feature(address_sanitizer);
#else
const bool kSanitized = false;
#endif

class PnghostSaveSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        existing = folder.Path("existing.png");
        // Writable, as a file of the person's own (the suite's are read-only).
        ASSERT_EQ(RunShell("cp " + kSuitePng + " " + existing + " && chmod 644 " + existing).status, 0);
        before = Slurp(existing);
        // Big enough to pass a small file-size limit: noise compresses badly.
        noisy = folder.Path("noisy.ppm");
        WriteText(noisy, NetpbmImage(kNetpbmModes[3], 200, 200));
    }

    // The existing file as it was, and nothing else left in the folder.
    void ExpectUntouched() {
        EXPECT_TRUE(Slurp(existing) == before) << "the existing file changed";
        EXPECT_EQ(folder.Names().size(), 2u) << "a file was left behind";
    }

    // The command line fails with the message, and the folder is untouched.
    void ExpectFailure(const std::string &commandLine, const std::string &message) {
        const CommandRun run = RunShell(commandLine);
        EXPECT_EQ(run.status, 2) << commandLine;
        EXPECT_NE(run.err.find(message), std::string::npos) << commandLine << ": " << run.err;
        ExpectUntouched();
    }

    // The file's status, links not followed; all zero when it is missing.
    static struct stat Status(const std::string &path) {
        struct stat status {};
        lstat(path.c_str(), &status);
        return status;
    }

    TempFolder folder;
    TempFolder others;  // files the tests use that are not the save's
    std::string existing;
    std::string before;
    std::string noisy;
};

// pnghost as another user can start it: the program, its module and the
// build's own libraries, copied into a folder every user may enter, so that
// a test that runs it as another uid works wherever the checkout lies, in a
// home folder of mode 0700 too. The folder, with its separator; empty when
// none can be made.
std::string PnghostFolderForEveryone() {
    static TempFolder place;
    static std::string folder;
    if (!folder.empty()) return folder;
    const std::string program = PNGHOST_PATH;
    const std::string module = program.substr(0, program.rfind('/') + 1) + "Korvane.8BI";
    const std::string copy = "chmod 755 " + place.Path("") + " && cp " + program + " " + module + " " +
                             place.Path("") + " && ldd " + program + " " + module +
                             " | awk '$3 ~ /^\\// && $3 !~ /^\\/(usr|lib)/ {print $3}' | sort -u | xargs -r cp -t " +
                             place.Path("") + " && chmod -R a+rX " + place.Path("");
    if (RunShell(copy).status == 0) folder = place.Path("");
    return folder;
}

// The words that start that copy of pnghost as `user` (a uid), through
// setpriv; empty when there is none.
std::vector<std::string> PnghostAs(const std::string &user) {
    const std::string folder = PnghostFolderForEveryone();
    if (folder.empty()) return {};
    return {"/usr/bin/setpriv", "--reuid=" + user, "--regid=" + user, "--clear-groups", "/usr/bin/env",
            "LD_LIBRARY_PATH=" + folder, folder + "pnghost"};
}

// As a shell command line.
std::string PnghostCommandAs(const std::string &user) {
    std::string line;
    for (const std::string &word : PnghostAs(user)) line += (line.empty() ? "" : " ") + word;
    return line;
}

// Starts pnghost with the arguments, every signal at its default action as
// a shell's foreground job has them; `settings` (NAME=VALUE, several apart
// by spaces) are added to its environment, its standard error goes to
// `errors` when given, and it runs as `user` (PnghostAs) when given.
pid_t StartPnghost(const std::vector<std::string> &arguments, const std::string &settings = "",
                   const std::string &errors = "", const std::string &user = "") {
    std::vector<std::string> words = user.empty() ? std::vector<std::string>{PNGHOST_PATH} : PnghostAs(user);
    if (words.empty()) return -1;
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Every bit set, 32 and 33 too: sigfillset leaves out the two signals
    // the C library keeps to itself, and then its posix_spawn makes the
    // child ignore them.
    sigset_t all;
    std::memset(&all, 0xff, sizeof all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    std::vector<char *> environment;
    for (char **each = environ; *each != nullptr; ++each) environment.push_back(*each);
    std::vector<std::string> added;
    for (size_t at = 0; at < settings.size();) {
        const size_t space = std::min(settings.find(' ', at), settings.size());
        added.push_back(settings.substr(at, space - at));
        at = space + 1;
    }
    for (std::string &each : added) environment.push_back(&each[0]);
    environment.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!errors.empty())
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = -1;
    if (posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environment.data()) != 0) child = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return child;
}

// strace, with the leak checker of a sanitizer's build left out: it cannot
// work in a process traced.
const std::string kStrace = "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" strace ";

// Waits until the child stops itself where PNGHOST_STOP_AT said.
bool WaitUntilStopped(pid_t child) {
    int status = 0;
    return waitpid(child, &status, WUNTRACED) == child && WIFSTOPPED(status);
}

// The extended attributes and the ACL of a file, as the tools print them.
std::string AttributesOf(const std::string &path) {
    return RunShell("getfattr --absolute-names -d -m - " + path + " | tail -n +2; getfacl -c " + path).out;
}

}  // namespace

TEST_F(PnghostSaveSafetyTest, CancellingASaveOverItsOwnInputLeavesItWhole) {
    const CommandRun run = Pnghost("save " + existing + " " + existing + " --cancel --interlace");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(existing + ": cancelled in the options dialog; " + existing + " is left as it was"),
              std::string::npos)
        << run.err;
    ExpectUntouched();
}

TEST_F(PnghostSaveSafetyTest, FailedSavesLeaveTheExistingFileAsItWas) {
    struct Case {
        std::string commandLine;
        std::string message;
    };
    const std::string save = std::string(PNGHOST_PATH) + " save " + noisy + " " + existing;
    const Case cases[] = {
        {save + " --fail-row 7", "could not be written (-20); " + existing + " is left as it was"},
        {save + " --interlace --fail-row 0", "could not be written (-20)"},
        // A disk that fills up: the file-size limit stops the writes.
        {"ulimit -f 4; " + save, "could not be written (-20)"},
        // The module's alert stops the save: an error, not a cancel.
        {save + " --without handle-suite", "stopped"},
        // A file without write bits is refused, also to root.
        {"chmod 444 " + existing + "; " + save + "; status=$?; chmod 644 " + existing + "; exit $status",
         existing + ": read-only (mode 0444): not replaced"},
    };
    for (const Case &c : cases) ExpectFailure(c.commandLine, c.message);
}

TEST_F(PnghostSaveSafetyTest, ErrorsOutsideTheModuleAreNamed) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const std::string fifo = others.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string gray = others.Path("gray.pgm");
    WriteText(gray, NetpbmImage(kNetpbmModes[1], 8, 8));
    const std::string sparse = others.Path("sparse.bin");
    ASSERT_EQ(RunShell("truncate -s 3G " + sparse).status, 0);
    const std::string longPalette = others.Path("palette.ppm");
    WriteText(longPalette, "P6\n1 1\n255\n" + std::string(70000, 'x'));
    const Case cases[] = {
        // Refused before the dialog: a save only writes a file, or "-".
        {"save " + noisy + " /dev/full", "/dev/full: a device, not a regular file"},
        {"save " + noisy + " " + fifo, "fifo: a FIFO or pipe, not a regular file"},
        {"save " + noisy + " " + existing + " --resources " + fifo, "fifo: a FIFO or pipe, not a regular file"},
        {"save " + noisy + " " + existing + " --resources /dev/zero", "/dev/zero: a character device"},
        {"save " + noisy + " " + existing + " --resources " + sparse, "sparse.bin: 3221225472 bytes: too large"},
        {"save " + gray + " " + existing + " --palette " + fifo, "fifo: a FIFO or pipe, not a regular file"},
        {"save " + gray + " " + existing + " --palette /dev/zero", "/dev/zero: a character device"},
        {"save " + gray + " " + existing + " --palette " + longPalette, "palette.ppm: 70011 bytes: too large"},
        {"save " + gray + " " + existing + " --palette - < /dev/zero", "standard input holds more than 65536 bytes"},
        {"save " + noisy + " " + folder.Path("no/such/folder.png"), "cannot create a file beside it"},
        {"save " + folder.Path("missing.png") + " " + existing, "missing.png: cannot open"},
        {"save " + std::string(PNGSUITE_DIR) + "/xs1n0g01.png " + existing, "the module cannot read this file"},
        {"save " + noisy + " " + existing + " --resources " + folder.Path("missing.bin"), "missing.bin: cannot open"},
    };
    for (const Case &c : cases) ExpectFailure("timeout 60 " + std::string(PNGHOST_PATH) + " " + c.arguments, c.message);
}

// Nothing says "saved" unless every byte reached standard output.
TEST_F(PnghostSaveSafetyTest, StandardOutputThatTakesNotEveryByteIsAFailedSave) {
    const std::string large = others.Path("large.ppm");
    WriteText(large, NetpbmImage(kNetpbmModes[3], 600, 600));
    const std::string save = std::string(PNGHOST_PATH) + " save " + large + " - --speed";
    const struct {
        std::string commandLine, message;
    } cases[] = {
        {save + " > /dev/full", "-: cannot write to standard output"},
        {"bash -c '" + save + " | head -c 10 > /dev/null; exit ${PIPESTATUS[0]}'",
         "-: cannot write to standard output"},
        // Closed: held open on /dev/null, which would take every byte.
        {save + " >&-", "-: standard output is closed: nowhere to write the PNG"},
    };
    for (const auto &c : cases) {
        const CommandRun run = RunShell(c.commandLine);
        EXPECT_EQ(run.status, 2) << c.commandLine;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(": saved"), std::string::npos) << run.err;
    }
}

TEST_F(PnghostSaveSafetyTest, DashReadsStandardInputAndWritesStandardOutput) {
    const std::string back = others.Path("back.ppm");
    TempFolder staging;  // where pnghost stages what passes through "-"
    const std::string pnghost = "TMPDIR=" + staging.Path("") + " " + PNGHOST_PATH;
    const CommandRun run =
        RunShell("cat " + noisy + " | " + pnghost + " save - - --speed | " + pnghost + " open - --out " + back);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "standard input: 200 x 200 RGB, 3 planes of 8 bits, 72 x 72 ppi, File Info 0 bytes\n");
    EXPECT_NE(run.err.find("standard output: saved, "), std::string::npos) << run.err;
    EXPECT_TRUE(Slurp(back) == Slurp(noisy));
    EXPECT_TRUE(staging.Names().empty()) << "a staged file was left behind";

    // Any one input may be standard input: here the palette.
    const std::string gray = others.Path("gray.pgm");
    WriteText(gray, NetpbmImage(kNetpbmModes[1], 8, 8));
    WriteText(others.Path("palette.ppm"), NetpbmPalette());
    const std::string indexed = others.Path("indexed.png");
    const std::string paletteBack = others.Path("palette-back.ppm");
    const CommandRun palette = RunShell(pnghost + " save " + gray + " " + indexed + " --palette - < " +
                                        others.Path("palette.ppm") + " && " + pnghost + " open " + indexed +
                                        " --palette-out " + paletteBack);
    EXPECT_EQ(palette.status, 0) << palette.err;
    EXPECT_TRUE(Slurp(paletteBack) == NetpbmPalette());
    EXPECT_TRUE(staging.Names().empty()) << "a staged file was left behind";
}

// Each saved over, then looked at: what the old file was, it still is.
TEST_F(PnghostSaveSafetyTest, ASaveKeepsTheModeOwnerLinksAndNamesOfTheFile) {
    const std::string save = std::string(PNGHOST_PATH) + " save " + noisy + " ";
    chmod(existing.c_str(), 0600);
    ASSERT_EQ(RunShell(save + existing).status, 0);
    EXPECT_EQ(Status(existing).st_mode & 07777, 0600u) << "mode 0600 kept";

    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(existing.c_str(), 65534, 65534), 0);
        ASSERT_EQ(RunShell(save + existing + " --speed").status, 0);
        EXPECT_EQ(Status(existing).st_uid, 65534u) << "owner kept";
        EXPECT_EQ(Status(existing).st_gid, 65534u) << "group kept";
    }

    // Extended attributes and an ACL, which a new file must be given.
    ASSERT_EQ(RunShell("setfattr -n user.note -v kept " + existing + " && setfacl -m u:12345:rw " + existing).status, 0)
        << "the attr and acl packages are needed";
    const std::string attributes = AttributesOf(existing);
    ASSERT_EQ(RunShell(save + existing + " --interlace").status, 0);
    EXPECT_EQ(AttributesOf(existing), attributes);
    ASSERT_EQ(RunShell("setfacl -b " + existing + " && setfattr -x user.note " + existing).status, 0);

    const std::string symbolic = folder.Path("link.png");
    ASSERT_EQ(symlink("existing.png", symbolic.c_str()), 0);
    const std::string pointedBefore = Slurp(existing);
    ASSERT_EQ(RunShell(save + symbolic + " --filter Up").status, 0);
    EXPECT_TRUE(S_ISLNK(Status(symbolic).st_mode)) << "the link stays a link";
    EXPECT_FALSE(Slurp(existing) == pointedBefore) << "the file it points to is replaced";
    unlink(symbolic.c_str());

    const std::string other = folder.Path("other.png");
    ASSERT_EQ(link(existing.c_str(), other.c_str()), 0);
    ASSERT_EQ(RunShell(save + other + " --filter Sub").status, 0);
    EXPECT_EQ(Status(existing).st_ino, Status(other).st_ino) << "still one file under two names";
    EXPECT_EQ(Status(existing).st_nlink, 2u);
    EXPECT_TRUE(Slurp(existing) == Slurp(other));
    EXPECT_EQ(RunShell("pngcheck -q " + existing).status, 0);
    unlink(other.c_str());

    // A name as long as the file system takes leaves no room for the new
    // file's longer one: created, then replaced.
    const std::string longest = folder.Path(std::string(246, 'n') + ".png");
    for (const char *choice : {"", " --interlace"}) EXPECT_EQ(RunShell(save + longest + choice).status, 0) << choice;
    EXPECT_EQ(RunShell("pngcheck -q " + longest).status, 0);
    EXPECT_EQ(folder.Names().size(), 3u) << "a file was left behind";
    unlink(longest.c_str());
}

// A new file gets what any program's new file gets in its folder, as touch
// makes it: the umask's bits, or the folder's default ACL, which no umask
// narrows, so that the collaborator it names may save over the file.
TEST_F(PnghostSaveSafetyTest, ANewFileGetsWhatAnyProgramsNewFileGets) {
    const struct {
        std::string umask, defaultAcl;
    } cases[] = {{"027", ""}, {"022", "u:12345:rw"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.umask + " " + c.defaultAcl);
        TempFolder shared;
        if (!c.defaultAcl.empty()) {
            ASSERT_EQ(RunShell("setfacl -d -m " + c.defaultAcl + " " + shared.Path("")).status, 0)
                << "the acl package is needed";
        }
        const std::string input = shared.Path("noisy.ppm");
        const std::string created = shared.Path("created.png");
        const std::string touched = shared.Path("touched");
        ASSERT_EQ(RunShell("cp " + noisy + " " + input + " && chmod 644 " + input + " && umask " + c.umask + " && " +
                           PNGHOST_PATH + " save " + input + " " + created + " && touch " + touched)
                      .status,
                  0);
        EXPECT_EQ(Status(created).st_mode, Status(touched).st_mode);
        EXPECT_EQ(RunShell("getfacl -c " + created).out, RunShell("getfacl -c " + touched).out);
        if (geteuid() != 0 || c.defaultAcl.empty()) continue;
        ASSERT_EQ(chmod(shared.Path("").c_str(), 0755), 0);
        if (PnghostCommandAs("12345").empty()) GTEST_SKIP() << "no folder every user may enter for pnghost";
        const CommandRun run = RunShell(PnghostCommandAs("12345") + " save " + input + " " + created + " --speed");
        EXPECT_EQ(run.status, 0) << "the collaborator saves over it: " << run.err;
    }
}

// Two saves of one file at once: the one that finds the other's lock on the
// file, renaming over it or writing over it, is refused; the other saves,
// and the file opens, under each of its names.
TEST_F(PnghostSaveSafetyTest, OfTwoSavesOfOneFileAtOnceOneIsRefused) {
    const std::string other = others.Path("other.png");
    const std::string gray = others.Path("gray.pgm");
    WriteText(gray, NetpbmImage(kNetpbmModes[1], 8, 8));
    const struct {
        std::string stop;  // where the first stops, holding the lock
        bool linked;       // a second name: written over
    } cases[] = {{"rename", false}, {"copy", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stop);
        if (c.linked) {
            ASSERT_EQ(link(existing.c_str(), other.c_str()), 0);
        }
        const pid_t first = StartPnghost({"save", noisy, existing}, "PNGHOST_STOP_AT=" + c.stop);
        ASSERT_GT(first, 0);
        ASSERT_TRUE(WaitUntilStopped(first));
        const CommandRun second = Pnghost("save " + gray + " " + existing);
        EXPECT_EQ(second.status, 2);
        EXPECT_NE(second.err.find(existing + ": another pnghost is saving over it: not replaced"), std::string::npos)
            << second.err;
        kill(first, SIGCONT);
        int status = 0;
        ASSERT_EQ(waitpid(first, &status, 0), first);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        EXPECT_NE(Pnghost("open " + existing).out.find(": 200 x 200 RGB"), std::string::npos)
            << "the first save's image";
        EXPECT_EQ(RunShell("pngcheck -q " + existing).status, 0);
        EXPECT_EQ(folder.Names().size(), 2u) << "a file was left behind";
        if (c.linked) {
            EXPECT_TRUE(Slurp(other) == Slurp(existing));
        }
        unlink(other.c_str());
    }
}

// A link another user planted in a sticky folder anyone may write to, such
// as /tmp, is not followed, as the kernel would not follow it: it would
// send the save over any file the saver may write, or make one; nor is one
// planted as a folder of the path. The saver's own link, and the folder
// owner's, are followed.
TEST_F(PnghostSaveSafetyTest, ALinkInAStickyFolderIsFollowedOnlyAsTheKernelWould) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to plant a link as uid 23456";
    TempFolder shared;
    const std::string link = shared.Path("link.png");
    const std::string into = folder.Path("").substr(0, folder.Path("").size() - 1);
    const struct {
        std::string linkOwner, folderOwner;
        std::string pointsTo;
        std::string below;         // saved to a name in the folder the link names, or to the link
        std::string followedWith;  // the save's choice when it is followed; empty: not followed
    } cases[] = {
        {"23456", "0", existing, "", ""},
        {"23456", "0", folder.Path("made.png"), "", ""},
        // A link as a folder of the path, to the saver's own folder.
        {"23456", "0", into, "/existing.png", ""},
        {"23456", "0", into, "/made.png", ""},
        {"0", "0", existing, "", "--speed"},
        {"23456", "23456", existing, "", "--interlace"},
        {"0", "0", into, "/existing.png", "--filter Up"},
    };
    std::string last = before;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.linkOwner + " " + c.folderOwner + " " + c.pointsTo + c.below);
        ASSERT_EQ(RunShell("chown " + c.folderOwner + " " + shared.Path("") + " && chmod 1777 " + shared.Path("") +
                           " && setpriv --reuid=" + c.linkOwner + " ln -s " + c.pointsTo + " " + link)
                      .status,
                  0);
        const CommandRun run = Pnghost("save " + noisy + " " + link + c.below + " " + c.followedWith);
        if (!c.followedWith.empty()) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_FALSE(Slurp(existing) == last) << "saved";
            last = Slurp(existing);
        } else {
            EXPECT_EQ(run.status, 2);
            const std::string refused = c.below.empty() ? link + ": a symbolic link"
                                                        : link + c.below + ": its folder " + link + " is a symbolic link";
            EXPECT_NE(run.err.find(refused + " of uid 23456 in a sticky folder"), std::string::npos) << run.err;
            ExpectUntouched();
        }
        unlink(link.c_str());
    }
}

// Each signal ends the save as it would any program, and the file of the
// save's own goes with it.
TEST_F(PnghostSaveSafetyTest, ASaveEndedBySignalLeavesNothingBehind) {
    const std::string large = others.Path("large.ppm");
    WriteText(large, NetpbmImage(kNetpbmModes[3], 2000, 2000));
    // Those that dump a core dump none here.
    const rlimit noCore{0, 0};
    ASSERT_EQ(setrlimit(RLIMIT_CORE, &noCore), 0);
    // Every signal whose default action ends a process, but SIGKILL, which
    // nothing can catch, and SIGPIPE and SIGXFSZ, which pnghost ignores so
    // that a write fails instead; 32 and 33 are the real-time signals that
    // the C library keeps to itself, below SIGRTMIN.
    std::vector<int> numbers = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,    SIGTRAP,   SIGABRT, SIGUSR1, SIGUSR2,
                                SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,
                                SIGSYS,  32,      33,      SIGRTMIN, SIGRTMAX};
    // A sanitizer's build has its own handlers for these, which report a
    // crash, and pnghost leaves them to it.
    if (!kSanitized) numbers.insert(numbers.end(), {SIGSEGV, SIGBUS, SIGFPE});
    for (int number : numbers) {
        SCOPED_TRACE(strsignal(number));
        const pid_t child = StartPnghost({"save", large, existing});
        ASSERT_GT(child, 0);
        // Sent once the module has written into the save's own file.
        bool writing = false;
        for (int wait = 0; wait < 4000 && !writing; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            for (const std::string &name : folder.Names())
                writing = writing || (name[0] == '.' && Status(folder.Path(name)).st_size > 0);
        }
        EXPECT_TRUE(writing) << "the module was writing";
        kill(child, number);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == number) << "status " << status;
        ExpectUntouched();
    }
}

// Someone the ACL lets write saves over the owner's file: it stays the
// owner's, with her access, the ACL and its attributes, whether the folder
// takes new files from him (sticky, as /tmp, hers: the kernel's rule lets
// him write into her file there only as the folder's owner's) or not. So
// does her own save in a folder that takes no new file from her.
TEST_F(PnghostSaveSafetyTest, ACollaboratorsSaveKeepsTheFileTheOwners) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to give the file to uid 23456 and save as uid 12345";
    if (PnghostCommandAs("12345").empty()) GTEST_SKIP() << "no folder every user may enter for pnghost";
    TempFolder staging;  // the savers' temporary folder
    ASSERT_EQ(chmod(staging.Path("").c_str(), 01777), 0);
    ASSERT_EQ(RunShell("chown 23456:23456 " + existing + " && chmod 640 " + existing + " && setfacl -m u:12345:rw " +
                       existing + " && setfattr -n user.note -v kept " + existing)
                  .status,
              0)
        << "the attr and acl packages are needed";
    const struct stat owned = Status(existing);
    const std::string attributes = AttributesOf(existing);
    const struct {
        const char *saver;
        mode_t folderMode;
        uid_t folderOwner;
        const char *choice;
    } cases[] = {
        {"12345", 0755, 0, "--speed"}, {"12345", 01777, 23456, "--interlace"}, {"23456", 0755, 0, "--filter Up"}};
    std::string last = before;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.saver) + " " + c.choice);
        ASSERT_EQ(chown(folder.Path("").c_str(), c.folderOwner, 0), 0);
        ASSERT_EQ(chmod(folder.Path("").c_str(), c.folderMode), 0);
        const CommandRun run = RunShell("TMPDIR=" + staging.Path("") + " " + PnghostCommandAs(c.saver) + " save " +
                                        noisy + " " + existing + " " + c.choice);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Status(existing).st_uid, owned.st_uid);
        EXPECT_EQ(Status(existing).st_gid, owned.st_gid);
        EXPECT_EQ(Status(existing).st_mode, owned.st_mode);
        EXPECT_EQ(AttributesOf(existing), attributes);
        EXPECT_FALSE(Slurp(existing) == last) << "saved";
        last = Slurp(existing);
        EXPECT_EQ(RunShell("pngcheck -q " + existing).status, 0);
        EXPECT_EQ(folder.Names().size(), 2u) << "a file was left behind";
        EXPECT_TRUE(staging.Names().empty()) << "a file was left behind";
    }
    // His write-over killed half way, she puts her file back herself from
    // the copy he left, which she may read.
    ASSERT_EQ(chown(folder.Path("").c_str(), 23456, 0), 0);
    ASSERT_EQ(chmod(folder.Path("").c_str(), 01777), 0);
    const pid_t child = StartPnghost({"save", noisy, existing}, "PNGHOST_STOP_AT=write-over:1", "", "12345");
    ASSERT_GT(child, 0);
    ASSERT_TRUE(WaitUntilStopped(child));
    kill(child, SIGKILL);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    std::string copy;
    for (const std::string &name : folder.Names())
        if (name.rfind(".existing.png.pnghost-old-", 0) == 0) copy = folder.Path(name);
    ASSERT_FALSE(copy.empty()) << "no copy kept beside it";
    EXPECT_FALSE(Slurp(existing) == last) << "killed before the write-over";
    const CommandRun restore =
        RunShell("setpriv --reuid=23456 --regid=23456 --clear-groups cp " + copy + " " + existing);
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_TRUE(Slurp(existing) == last) << "her image is back";
    for (const std::string &name : folder.Names())
        if (name[0] == '.') unlink(folder.Path(name).c_str());
    chown(folder.Path("").c_str(), 0, 0);
    chmod(folder.Path("").c_str(), 0700);
}

// A file of two names is written over. Cut short by a failing write, it
// gets the old bytes back; when they cannot be put back either, when the
// process is killed half way, or when another program (cp, which takes no
// lock) writes into it meanwhile, a whole copy of them stays beside it, and
// cp puts it back. Never "saved". A signal that ends pnghost, 32 and 33
// among them, puts the old bytes back first, or names the copy before it
// ends pnghost; SIGPIPE, which it ignores, does not stop the save. A copy
// under its name is always whole: killed while it is made, none has the
// name yet. Once saved, a copy that cannot be removed is renamed as one
// that may be deleted, or named in an error that says so.
TEST_F(PnghostSaveSafetyTest, AWriteOverCutShortLeavesTheOldImageOrAWholeCopyOfIt) {
    const std::string other = others.Path("other.png");
    ASSERT_EQ(link(existing.c_str(), other.c_str()), 0);
    const std::string stopped = "PNGHOST_STOP_AT=write-over:1";  // the noisy image takes two writes
    // What the file and the folder hold: the old or the new image, and a
    // copy of the old one named to be put back (-old-), or to be deleted.
    enum Left { kOldImage, kCopy, kNewImage, kNewImageCopyDone, kNewImageCopyToDelete };
    const struct {
        std::string settings;
        int signal;          // sent where it stops itself, before SIGCONT
        std::string change;  // or a command run there
        std::string message;
        int status;  // as a shell shows it: 128 + N for signal N
        Left left;
    } cases[] = {
        {"PNGHOST_FAIL_WRITE_OVER=1", 0, "",
         existing + ": cannot write over it: Input/output error; the old image is back", 2, kOldImage},
        {"PNGHOST_FAIL_WRITE_OVER=1-", 0, "",
         "nor put the old image back: Input/output error; it is kept whole in ", 2, kCopy},
        {stopped, SIGKILL, "", "", 128 + SIGKILL, kCopy},
        {stopped, SIGTERM, "", "", 128 + SIGTERM, kOldImage},
        {stopped, 32, "", "", 128 + 32, kOldImage},
        {stopped, 33, "", "", 128 + 33, kOldImage},
        {stopped, SIGPIPE, "", "", 0, kNewImage},
        {"PNGHOST_STOP_AT=copy", SIGKILL, "", "", 128 + SIGKILL, kOldImage},
        // Neither image can be written: the copy is named before the signal
        // that waited ends pnghost.
        {stopped + " PNGHOST_FAIL_WRITE_OVER=1-", SIGTERM, "", "nor put the old image back", 128 + SIGTERM, kCopy},
        {stopped, 0, "cp " + std::string(PNGSUITE_DIR) + "/basn0g08.png " + existing,
         existing + ": it does not read back as the new image: another program wrote into it during the save", 2,
         kCopy},
        {"PNGHOST_FAIL_COPY_REMOVAL=1", 0, "",
         existing + ": cannot remove the copy of the old image, ", 0, kNewImageCopyDone},
        {"PNGHOST_FAIL_COPY_REMOVAL=2", 0, "",
         existing + ": the new image is in place, but cannot remove the copy of the old image, ", 2,
         kNewImageCopyToDelete},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.settings + " " + std::to_string(c.signal) + " " + c.change);
        const std::string errors = others.Path("errors");
        const pid_t child = StartPnghost({"save", noisy, existing}, c.settings, errors);
        ASSERT_GT(child, 0);
        if (c.signal != 0 || !c.change.empty()) {
            ASSERT_TRUE(WaitUntilStopped(child));
            if (c.signal != 0) kill(child, c.signal);
            if (!c.change.empty()) {
                ASSERT_EQ(RunShell(c.change).status, 0);
            }
            kill(child, SIGCONT);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status), c.status);
        EXPECT_NE(Slurp(errors).find(c.message), std::string::npos) << Slurp(errors);
        EXPECT_EQ(Status(other).st_ino, Status(existing).st_ino);
        std::string copy, done;
        for (const std::string &name : folder.Names()) {
            if (name.rfind(".existing.png.pnghost-old-", 0) == 0) copy = folder.Path(name);
            if (name.rfind(".existing.png.pnghost-done-", 0) == 0) done = folder.Path(name);
        }
        if (c.left == kCopy) {
            ASSERT_FALSE(copy.empty()) << "no copy kept";
            EXPECT_TRUE(Slurp(copy) == before) << "the copy is not the old file";
            EXPECT_NE(Slurp(errors).find(c.message.empty() ? "" : "put it back with cp " + copy + " " + existing),
                      std::string::npos);
            ASSERT_EQ(RunShell("cp " + copy + " " + existing).status, 0);
            EXPECT_TRUE(Slurp(other) == before) << "cp put the old image back under both names";
        } else if (c.left == kNewImageCopyDone || c.left == kNewImageCopyToDelete) {
            EXPECT_FALSE(Slurp(existing) == before) << "saved";
            const std::string kept = c.left == kNewImageCopyDone ? done : copy;
            EXPECT_EQ(c.left == kNewImageCopyDone ? copy : done, "") << "no other copy";
            ASSERT_FALSE(kept.empty()) << "the copy that could not be removed";
            EXPECT_TRUE(Slurp(kept) == before) << "the copy is of the old file";
            EXPECT_NE(Slurp(errors).find(kept), std::string::npos) << Slurp(errors);
            const std::string said = c.left == kNewImageCopyDone ? "may be deleted" : "delete it; do not put it back";
            EXPECT_NE(Slurp(errors).find(said), std::string::npos)
                << Slurp(errors);
        } else {
            EXPECT_TRUE(copy.empty()) << "a copy was left behind";
            EXPECT_EQ(Slurp(existing) == before, c.left == kOldImage) << "the old image, or the new one, in place";
            // SIGKILL alone leaves the files of pnghost's own.
            if (c.signal != SIGKILL) {
                EXPECT_EQ(folder.Names().size(), 2u) << "a file was left behind";
            }
        }
        for (const std::string &name : folder.Names())
            if (name[0] == '.') unlink(folder.Path(name).c_str());
        WriteText(existing, before);
    }
}

// A disk too full for the new bytes stops a write-over before its first
// write: the room is taken first, without changing the old file. The full
// disk is a small tmpfs in a mount namespace of its own, with room for the
// old file, the new one beside it (about 88 KB) and the copy, but not for
// the new bytes in the old file too.
TEST_F(PnghostSaveSafetyTest, AWriteOverWithNoRoomForTheNewBytesStopsBeforeTheFirstWrite) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to mount a file system";
    const std::string disk = others.Path("disk");
    ASSERT_EQ(mkdir(disk.c_str(), 0700), 0);
    const std::string old = disk + "/old.png";
    const std::string onTheDisk = "mount -t tmpfs -o size=128k pnghost-test " + disk + " || exit 77; cp " +
                                  existing + " " + old + " && ln " + old + " " + disk + "/other.png && " +
                                  PNGHOST_PATH + " save " + noisy + " " + old + "; echo $?; cmp " + existing +
                                  " " + disk + "/other.png && ls -A " + disk;
    const CommandRun run = RunShell("unshare --mount true || exit 77; unshare --mount sh -c '" + onTheDisk + "'");
    rmdir(disk.c_str());  // its mount went with the namespace
    if (run.status == 77) GTEST_SKIP() << "cannot mount a file system here: " << run.err;
    EXPECT_NE(run.err.find(old + ": no room for the new file: No space left on device; not replaced"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.out, "2\nold.png\nother.png\n") << "the exit status, then the old image under its two names alone";
}

// Between the dialog and the replace, the file is made read-only, given
// another name, its mode changed, replaced by another file or by a link; or,
// written over, it is written to or replaced while its copy is made; or a
// new file comes into being after the last check: each is left as it then
// is, with nothing beside.
TEST_F(PnghostSaveSafetyTest, ADestinationChangedDuringTheSaveIsNotTouched) {
    const std::string second = others.Path("second.png");
    const std::string replacement = others.Path("replacement.png");
    const std::string aside = others.Path("aside.png");
    const std::string created = folder.Path("created.png");
    const std::string replace = "cp " + existing + " " + replacement + " && mv " + replacement + " " + existing;
    const struct {
        std::string stop;  // where pnghost stops itself for the change
        std::string destination;
        std::string change, message;
    } cases[] = {
        {"replace", existing, "chmod 444 " + existing, existing + ": read-only (mode 0444): not replaced"},
        {"replace", existing, "ln " + existing + " " + second,
         existing + ": its names went from 1 to 2 during the save: not replaced"},
        {"replace", existing, replace, existing + ": replaced by another file during the save: not replaced"},
        // After its mode was taken over: the new file would not have the new one.
        {"replace", existing, "chmod 600 " + existing,
         existing + ": changed by another program during the save: not replaced"},
        {"replace", existing, "mv " + existing + " " + aside + " && ln -s " + aside + " " + existing,
         existing + ": replaced by a symbolic link during the save: not replaced"},
        // Written over (a second name), while the copy of its bytes is made.
        {"copy", existing, "printf x >> " + existing,
         existing + ": changed by another program during the save: not replaced"},
        {"copy", existing, replace,
         existing + ": replaced by another file during the save: not replaced"},
        // A new file, just before it takes the name.
        {"rename", created, "cp " + existing + " " + created,
         created + ": created by another program during the save: not replaced"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.change);
        const std::string errors = others.Path("errors");
        // A file with a second name is written over.
        if (c.stop == "copy") {
            ASSERT_EQ(link(existing.c_str(), second.c_str()), 0);
        }
        const pid_t child = StartPnghost({"save", noisy, c.destination}, "PNGHOST_STOP_AT=" + c.stop, errors);
        ASSERT_GT(child, 0);
        ASSERT_TRUE(WaitUntilStopped(child));
        ASSERT_EQ(RunShell(c.change).status, 0);
        const std::string then = Slurp(c.destination);
        size_t names = 0;  // but those of pnghost's own
        for (const std::string &name : folder.Names()) names += name[0] != '.';
        kill(child, SIGCONT);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << "status " << status;
        EXPECT_NE(Slurp(errors).find(c.message), std::string::npos) << Slurp(errors);
        EXPECT_TRUE(Slurp(c.destination) == then) << "the destination changed";
        EXPECT_EQ(folder.Names().size(), names) << "a file was left behind";
        for (const std::string &path : {existing, second, aside, created}) unlink(path.c_str());
        ASSERT_EQ(RunShell("cp " + kSuitePng + " " + existing + " && chmod 644 " + existing).status, 0);
    }
}

// In a sticky folder anyone may write to, a file that neither the saver nor
// the folder's owner owns is not written into, as the kernel would not open
// it so; nor does a name another user planted there block a write-over's
// copy or pass for one a save left.
TEST_F(PnghostSaveSafetyTest, AStrangersFileInAStickyFolderIsNeitherWrittenIntoNorTakenForACopy) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to make files as uid 23456";
    TempFolder shared;
    const std::string theirs = shared.Path("theirs.png");
    const struct {
        std::string fileOwner, folderOwner;
        bool saved;
    } cases[] = {{"23456", "0", false}, {"23456", "23456", true}, {"0", "0", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fileOwner + " " + c.folderOwner);
        ASSERT_EQ(RunShell("chown " + c.folderOwner + " " + shared.Path("") + " && chmod 1777 " + shared.Path("") +
                           " && cp " + existing + " " + theirs + " && chown " + c.fileOwner + " " + theirs +
                           " && chmod 666 " + theirs)
                      .status,
                  0);
        const CommandRun run = Pnghost("save " + noisy + " " + theirs);
        EXPECT_EQ(run.status, c.saved ? 0 : 2) << run.err;
        EXPECT_EQ(Slurp(theirs) == before, !c.saved);
        if (!c.saved) {
            EXPECT_NE(run.err.find(theirs + ": a file of uid 23456 in a sticky folder anyone may write to: not "
                                            "written into (the kernel's rule, fs.protected_regular)"),
                      std::string::npos)
                << run.err;
        }
        unlink(theirs.c_str());
    }
    // The saver's own file of two names: another user takes the name its
    // copy would have, just before the copy is made.
    const std::string mine = shared.Path("mine.png");
    ASSERT_EQ(RunShell("chown 0 " + shared.Path("") + " && cp " + existing + " " + mine + " && ln " + mine + " " +
                       others.Path("second.png"))
                  .status,
              0);
    const std::string errors = others.Path("errors");
    const pid_t child = StartPnghost({"save", noisy, mine}, "PNGHOST_STOP_AT=copy", errors);
    ASSERT_GT(child, 0);
    ASSERT_TRUE(WaitUntilStopped(child));
    const std::string planted = shared.Path(".mine.png.pnghost-old-" + std::to_string(child) + "-0");
    ASSERT_EQ(RunShell("setpriv --reuid=23456 sh -c 'echo planted > " + planted + "'").status, 0);
    kill(child, SIGCONT);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Slurp(errors);
    EXPECT_FALSE(Slurp(mine) == before) << "saved";
    EXPECT_EQ(Slurp(planted), "planted\n") << "the planted file untouched";
    const CommandRun again = Pnghost("save " + noisy + " " + mine + " --speed");
    EXPECT_EQ(again.status, 0) << "a stranger's name is no copy a save left: " << again.err;
    unlink(planted.c_str());
    unlink(mine.c_str());
}

// A write-over that said "saved" leaves no copy that a crash could bring
// back, so that the rule "a copy is there: put it back" never undoes it:
// the copy's removal is on the disk, its folder synced, before "saved". Seen
// in the order of the calls, under strace; and on an ext4 file system on a
// loop device, cut off the moment pnghost has exited as by a power cut
// (EXT4_IOC_SHUTDOWN, the journal not flushed) and mounted again.
TEST_F(PnghostSaveSafetyTest, ASavedWriteOverLeavesNoCopyThatACrashBringsBack) {
    const std::string other = others.Path("other.png");
    ASSERT_EQ(link(existing.c_str(), other.c_str()), 0);
    if (RunShell("strace -V").status != 0) GTEST_SKIP() << "needs strace, to see the calls";
    const std::string trace = others.Path("trace");
    ASSERT_EQ(RunShell(kStrace + "-y -o " + trace + " -e trace=unlink,fsync,write " + PNGHOST_PATH + " save " + noisy +
                       " " + existing)
                  .status,
              0);
    const std::string calls = Slurp(trace);
    const std::string shown = folder.Path("").substr(0, folder.Path("").size() - 1);
    const size_t removed = calls.find("unlink(\"" + folder.Path(".existing.png.pnghost-old-"));
    const size_t synced = calls.find("fsync(", removed);
    ASSERT_NE(removed, std::string::npos) << calls;
    ASSERT_NE(synced, std::string::npos) << calls;
    EXPECT_EQ(calls.compare(calls.find('<', synced) + 1, shown.size() + 1, shown + ">"), 0)
        << "the folder is synced: " << calls.substr(synced, 80);
    EXPECT_LT(synced, calls.find(": saved, ")) << "before saved";

    if (geteuid() != 0) GTEST_SKIP() << "needs root, to mount a file system";
    // The mounts go with this test's process.
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        GTEST_SKIP() << "cannot have mounts of its own here: " << std::strerror(errno);
    const std::string disk = others.Path("disk"), image = others.Path("ext4.img");
    ASSERT_EQ(mkdir(disk.c_str(), 0700), 0);
    const std::string mountIt = "mount -o loop " + image + " " + disk;
    const CommandRun made = RunShell("truncate -s 64M " + image + " && mkfs.ext4 -q " + image + " && " + mountIt);
    if (made.status != 0) {
        rmdir(disk.c_str());
        GTEST_SKIP() << "cannot mount an ext4 file system on a loop device here: " << made.err;
    }
    const std::string old = disk + "/old.png";
    for (int cut = 0; cut < 3; ++cut) {
        SCOPED_TRACE("cut " + std::to_string(cut));
        ASSERT_EQ(RunShell("cp " + existing + " " + old + " && ln -f " + old + " " + disk + "/other.png && sync -f " +
                           old).status, 0);
        const std::string saved = Pnghost("save " + noisy + " " + old + (cut == 1 ? " --speed" : "")).out;
        EXPECT_NE(saved.find(old + ": saved, "), std::string::npos);
        const std::string image = Slurp(old);
        const int root = open(disk.c_str(), O_RDONLY | O_DIRECTORY);
        uint32_t noJournalFlush = 2;  // EXT4_GOING_FLAGS_NOLOGFLUSH
        const bool cutOff = ioctl(root, _IOR('X', 125, uint32_t), &noJournalFlush) == 0;  // EXT4_IOC_SHUTDOWN
        close(root);
        ASSERT_EQ(RunShell("umount " + disk + " && " + mountIt).status, 0);
        if (!cutOff) {
            ASSERT_EQ(RunShell("umount " + disk).status, 0);
            GTEST_SKIP() << "cannot cut the file system off here: " << std::strerror(errno);
        }
        EXPECT_EQ(RunShell("ls -A " + disk + " | grep -c pnghost-old").out, "0\n") << RunShell("ls -A " + disk).out;
        EXPECT_TRUE(Slurp(old) == image) << "the saved image stays";
    }
    EXPECT_EQ(RunShell("umount " + disk).status, 0);
    rmdir(disk.c_str());
    unlink(image.c_str());
}

// A copy that a killed save left says that save did not finish: the next
// save of the file is refused, before its dialog or, where the copy is left
// while the next save waits for the first's lock, at its last check; the
// file and the copy stay as they are, for the person to choose.
TEST_F(PnghostSaveSafetyTest, ACopyLeftByAKilledSaveStopsTheNextSave) {
    const std::string other = others.Path("other.png");
    ASSERT_EQ(link(existing.c_str(), other.c_str()), 0);
    const std::string gray = others.Path("gray.pgm");
    WriteText(gray, NetpbmImage(kNetpbmModes[1], 8, 8));
    for (const bool whileWaiting : {false, true}) {
        SCOPED_TRACE(whileWaiting ? "left while the next save waits" : "left before the next save");
        const pid_t first = StartPnghost({"save", noisy, existing}, "PNGHOST_STOP_AT=write-over:1");
        ASSERT_GT(first, 0);
        ASSERT_TRUE(WaitUntilStopped(first));
        const std::string errors = others.Path("errors");
        const pid_t second =
            whileWaiting ? StartPnghost({"save", gray, existing}, "PNGHOST_STOP_AT=replace", errors) : -1;
        if (whileWaiting) {
            ASSERT_TRUE(WaitUntilStopped(second));
        }
        kill(first, SIGKILL);
        ASSERT_EQ(waitpid(first, nullptr, 0), first);
        std::string copy;
        for (const std::string &name : folder.Names())
            if (name.rfind(".existing.png.pnghost-old-", 0) == 0) copy = folder.Path(name);
        ASSERT_FALSE(copy.empty()) << "the killed save left its copy";
        const std::string then = Slurp(existing);
        CommandRun run{0, "", ""};
        if (whileWaiting) {
            kill(second, SIGCONT);
            int status = 0;
            ASSERT_EQ(waitpid(second, &status, 0), second);
            run = {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", Slurp(errors)};
        } else {
            run = Pnghost("save " + gray + " " + existing + " --cancel");  // refused before the dialog
        }
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(existing + ": an unfinished save left a copy of its old image, " + copy +
                               ": not replaced; put the old image back with cp " + copy + " " + existing +
                               " and delete the copy, or delete the copy"),
                  std::string::npos)
            << run.err;
        EXPECT_TRUE(Slurp(existing) == then) << "the file as the killed save left it";
        EXPECT_TRUE(Slurp(copy) == before) << "the copy as it was";
        for (const std::string &name : folder.Names())
            if (name[0] == '.') unlink(folder.Path(name).c_str());
        WriteText(existing, before);
    }
}

// Where the folder's default ACL names someone whom the file's own bits
// shut out, the new file that takes its place never lets him in, even for
// a moment: its inherited ACL is gone before it gets the file's bits. The
// save is slowed (strace holds each fchmod a while) as he tries to open the
// new file for writing all along.
TEST_F(PnghostSaveSafetyTest, ADefaultAclNeverLetsItsUserIntoTheNewFile) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to try the new file as uid 12345";
    if (RunShell("strace -V").status != 0) GTEST_SKIP() << "needs strace, to slow the save";
    ASSERT_EQ(RunShell("chmod 755 " + folder.Path("") + " && setfacl -d -m u:12345:rw " + folder.Path("") +
                       " && chmod 660 " + existing)
                  .status,
              0);
    const std::string over = others.Path("over");
    const std::string tried = others.Path("tried");
    ASSERT_EQ(chmod(others.Path("").c_str(), 0755), 0);
    const std::string tries = "while [ ! -e " + over + " ]; do for f in " +
                              folder.Path(".existing.png.pnghost-[0-9]*") +
                              "; do (exec 3>>\"$f\") 2>/dev/null && echo \"$f\"; done; done";
    const CommandRun run = RunShell("setpriv --reuid=12345 --regid=12345 --clear-groups sh -c '" + tries + "' > " +
                                    tried + " & " + kStrace + "-o /dev/null -e trace=fchmod,fsetxattr,fremovexattr "
                                    "-e inject=fchmod,fsetxattr,fremovexattr:delay_exit=300000 " +
                                    PNGHOST_PATH + " save " + noisy + " " + existing + "; status=$?; touch " + over +
                                    "; wait; exit $status");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(Slurp(existing) == before) << "saved";
    EXPECT_EQ(Slurp(tried), "") << "uid 12345 opened the new file to write";
    EXPECT_NE(RunShell("setpriv --reuid=12345 --regid=12345 --clear-groups sh -c 'exec 3>>" + existing + "'").status,
              0)
        << "nor may he write the saved file";
    unlink(over.c_str());
    unlink(tried.c_str());
}

TEST_F(PnghostSaveSafetyTest, ACompleteSaveReplacesTheFile) {
    const CommandRun run = Pnghost("save " + noisy + " " + existing + " --speed");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(existing + ": saved, ", 0), 0u) << run.out;
    EXPECT_FALSE(Slurp(existing) == before);
    EXPECT_EQ(RunShell("pngcheck -q " + existing).status, 0);
    EXPECT_EQ(folder.Names().size(), 2u);
}

TEST(PnghostOptions, MistakesAreNamed) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"open a.png --interlace", "--interlace does not go with open"},
        {"save a.png b.png --json", "--json does not go with save"},
        {"save a.png b.png --iptc Caption", "--iptc takes DATASET=TEXT"},
        {"save a.png b.png --iptc 256=x", "--iptc takes DATASET=TEXT"},
        {"save a.png b.png --date 1996035", "--date takes YYYYMMDD"},
        {"save a.png b.png --date 19961305", "--date takes YYYYMMDD"},
        {"save a.png b.png --dpi 0", "--dpi takes a whole number"},
        {"save a.png b.png --host-signature 8BI", "--host-signature takes four characters"},
        {"open a.png --monitor-gamma x", "--monitor-gamma takes a real number"},
        {"open a.png --out", "--out needs a value"},
    };
    for (const Case &c : cases) {
        const CommandRun run = Pnghost(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
    }
}
