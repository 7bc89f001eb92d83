// Saves over files on Windows, on real files. When ReplaceFile fails, each
// error leaving the files as Windows documents it (the host's fault knob
// PNGHOST_FAIL_REPLACE), the old image is back in place and no file is
// left, or, where the old file cannot be moved back, every file left is
// named, holding the image the message says, with the command that puts the
// old image back. A write-over writes only into the file checked, with the
// names and status it had.
#include <direct.h>
#include <dirent.h>
#include <windows.h>

#include <cstdlib>

#include "HostFixture.h"
#include "pnghost/files/SaveToFile.h"
#include "pnghost/files/WriteOver.h"

namespace {

struct ReplaceFault {
    const char *knob;  // PNGHOST_FAIL_REPLACE
    int status;
    bool oldInPlace;
    const char *message;
};

const ReplaceFault kFaults[] = {
    {"", kSaved, false, ": saved, "},
    {"1175", kSaveError, true, ": cannot put the new file in place (Windows error 1175); not replaced"},
    {"1176", kSaveError, true, ": cannot put the new file in place (Windows error 1176); not replaced"},
    {"1177", kSaveError, true, ": cannot put the new file in place (Windows error 1177); not replaced"},
    {"87", kSaveError, true, ": cannot put the new file in place (Windows error 87); not replaced"},
    {"1177-", kSaveError, false,
     ": cannot put the new file in place (Windows error 1177), nor move the old file back (Windows error 5); it is "
     "gone; the old image is in "},
};

std::vector<std::string> NamesIn(const std::string &folder) {
    std::vector<std::string> names;
    if (DIR *directory = opendir(folder.c_str())) {
        while (dirent *entry = readdir(directory))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.push_back(entry->d_name);
        closedir(directory);
    }
    return names;
}

// The path that follows `before` in the message, up to `after`.
std::string NamedPath(const std::string &message, const std::string &before, const std::string &after) {
    const size_t start = message.find(before);
    if (start == std::string::npos) return "";
    const size_t from = start + before.size();
    return message.substr(from, message.find(after, from) - from);
}

// Writes a byte into the file, at its end or over its first, and with
// `timeKept` sets its last-write time back as it was, as a program may that
// keeps times: then only the change time tells. The file system's clock
// ticks in milliseconds, so the write waits for the next tick.
void WriteAByte(const std::string &path, bool atEnd, bool timeKept) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME written{};
    ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
    Sleep(20);
    SetFilePointer(file, 0, nullptr, atEnd ? FILE_END : FILE_BEGIN);
    DWORD count = 0;
    EXPECT_TRUE(WriteFile(file, "x", 1, &count, nullptr) && count == 1);
    if (timeKept) {
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
    }
    CloseHandle(file);
}

}  // namespace

class WindowsSaveOverTest : public HostTest {
protected:
    // A folder of the test's own holding one file, OUT, a copy of a suite image.
    void MakeOut() {
        _mkdir(folder.c_str());
        for (const std::string &name : NamesIn(folder)) std::remove((folder + "/" + name).c_str());
        old = ReadBytes(PngSuitePath("basn2c08.png"));
        CopySuiteFile("basn2c08.png", out);
    }

    static void CopySuiteFile(const std::string &name, const std::string &path) {
        const std::vector<uint8_t> bytes = ReadBytes(PngSuitePath(name));
        FILE *file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    // Saves a gray image over OUT with the knob set.
    int SaveWithFault(const std::string &knob, std::string *report) {
        EXPECT_EQ(Open(PngSuitePath("basn0g08.png")), kResultNoError);
        _putenv(("PNGHOST_FAIL_REPLACE=" + knob).c_str());
        const int status = SaveToFile(&session, out, SaveChoices{}, report);
        _putenv("PNGHOST_FAIL_REPLACE=");
        return status;
    }

    // The file opens as the gray image.
    void ExpectTheNewImage(const std::string &path) {
        ASSERT_EQ(Open(PngSuitePath("basn0g08.png")), kResultNoError);
        const std::vector<uint8_t> gray = VisiblePixels(session.image);
        ASSERT_EQ(Open(path), kResultNoError) << path;
        EXPECT_TRUE(VisiblePixels(session.image) == gray) << path << " holds another image";
    }

    const std::string folder = OutputPath("replace-faults");
    const std::string out = folder + "/out.png";
    std::vector<uint8_t> old;
};

TEST_F(WindowsSaveOverTest, WhenReplaceFileFailsTheOldImageIsBackInPlaceOrEveryFileIsNamed) {
    for (const ReplaceFault &fault : kFaults) {
        SCOPED_TRACE(std::string("PNGHOST_FAIL_REPLACE=") + fault.knob);
        MakeOut();
        std::string report;
        EXPECT_EQ(SaveWithFault(fault.knob, &report), fault.status);
        EXPECT_NE(report.find(fault.message), std::string::npos) << report;
        const std::vector<std::string> left = NamesIn(folder);
        if (fault.oldInPlace || fault.status == kSaved) {
            EXPECT_EQ(left, std::vector<std::string>{"out.png"}) << "files left beside it";
            if (fault.oldInPlace) {
                EXPECT_TRUE(ReadBytes(out) == old) << "the old image is not in place";
            } else {
                ExpectTheNewImage(out);
            }
            continue;
        }
        const std::string backup = NamedPath(report, "the old image is in ", ";");
        const std::string fresh = NamedPath(report, "the new image is in ", ": put");
        EXPECT_EQ(left.size(), 2u) << "only the two named files should be left";
        EXPECT_TRUE(ReadBytes(backup) == old) << backup << " does not hold the old image";
        ExpectTheNewImage(fresh);
        EXPECT_NE(report.find(": put the old image back with move /y \"" + backup + "\" \""), std::string::npos)
            << report;
    }
}

// What may change at OUT's name between the last check and the write-over's
// open: another file put in its place, another name given to it, or bytes
// written to it.
TEST_F(WindowsSaveOverTest, AWriteOverWritesOnlyIntoTheFileAsItWasChecked) {
    enum Kind { kSwapped, kThirdName, kByteAdded, kByteChangedTimeKept };
    struct Change {
        const char *name;
        Kind kind;
        const char *message;
    };
    const Change kChanges[] = {
        {"another file put in its place", kSwapped, "replaced by another file during the save: not replaced"},
        {"a third name", kThirdName, "its names went from 2 to 3 during the save: not replaced"},
        {"a byte added", kByteAdded, "changed by another program during the save: not replaced"},
        {"a byte changed, its time kept", kByteChangedTimeKept,
         "changed by another program during the save: not replaced"},
    };
    for (const Change &change : kChanges) {
        SCOPED_TRACE(change.name);
        MakeOut();
        const std::string other = folder + "/other.png", fresh = folder + "/new.png";
        ASSERT_TRUE(CreateHardLinkA(other.c_str(), out.c_str(), nullptr));
        CopySuiteFile("basn0g08.png", fresh);
        SaveTarget checked;
        std::string error;
        ASSERT_TRUE(FindSaveTarget(out, &checked, &error)) << error;
        if (change.kind == kSwapped) {
            CopySuiteFile("basn4a08.png", folder + "/newcomer.png");
            ASSERT_TRUE(MoveFileExA((folder + "/newcomer.png").c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING));
        } else if (change.kind == kThirdName) {
            ASSERT_TRUE(CreateHardLinkA((folder + "/third.png").c_str(), out.c_str(), nullptr));
        } else {
            WriteAByte(out, change.kind == kByteAdded, change.kind == kByteChangedTimeKept);
        }
        const std::vector<uint8_t> there = ReadBytes(out);
        EXPECT_FALSE(WriteOverKeepingACopy(fresh, checked, &error));
        EXPECT_EQ(error, change.message);
        EXPECT_TRUE(ReadBytes(out) == there) << "the file at its name was written";
        EXPECT_TRUE(ReadBytes(other) == (change.kind == kSwapped ? old : there)) << "the file checked was written";
        for (const std::string &name : NamesIn(folder)) EXPECT_EQ(name.find("pnghost"), std::string::npos) << name;
    }
}

// Once the new file is in place, a backup that cannot be deleted is renamed
// as one that may be deleted, or, where that fails too, named in an error
// that says to delete it: the backup's own name says "put it back".
TEST_F(WindowsSaveOverTest, ABackupThatCannotBeDeletedIsRenamedOrNamed) {
    const struct {
        const char *knob;  // PNGHOST_FAIL_COPY_REMOVAL
        int status;
        const char *left;  // the backup's name after the save
        const char *message;
    } cases[] = {
        {"1", kSaved, ".out.png.pnghost-done-", ": saved, "},
        {"2", kSaveError, ".out.png.pnghost-old-",
         ": the new image is in place, but cannot remove the copy of the old image, "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string("PNGHOST_FAIL_COPY_REMOVAL=") + c.knob);
        MakeOut();
        _putenv((std::string("PNGHOST_FAIL_COPY_REMOVAL=") + c.knob).c_str());
        std::string report;
        EXPECT_EQ(SaveWithFault("", &report), c.status);
        _putenv("PNGHOST_FAIL_COPY_REMOVAL=");
        EXPECT_NE(report.find(c.message), std::string::npos) << report;
        ExpectTheNewImage(out);
        std::string backup;
        for (const std::string &name : NamesIn(folder))
            if (name != "out.png") backup = name;
        EXPECT_EQ(NamesIn(folder).size(), 2u);
        EXPECT_EQ(backup.rfind(c.left, 0), 0u) << backup;
        EXPECT_TRUE(ReadBytes(folder + "/" + backup) == old) << "the backup holds the old image";
        std::remove((folder + "/" + backup).c_str());
    }
}

// A backup that an unfinished save left beside OUT (its process gone)
// stops the next save before anything is written: OUT and the backup stay
// as they are, and the message names the backup.
TEST_F(WindowsSaveOverTest, ABackupLeftByAnUnfinishedSaveStopsTheNextSave) {
    MakeOut();
    const std::string left = folder + "/.out.png.pnghost-old-99999-0";
    CopySuiteFile("basn4a08.png", left);
    const std::vector<uint8_t> kept = ReadBytes(left);
    std::string report;
    EXPECT_EQ(SaveWithFault("", &report), kSaveError);
    // Named by the path Windows gives the file (Z:\... under Wine).
    EXPECT_NE(report.find(": an unfinished save left a copy of its old image, "), std::string::npos) << report;
    EXPECT_NE(report.find("\\.out.png.pnghost-old-99999-0: not replaced; put the old image back with copy "),
              std::string::npos)
        << report;
    EXPECT_TRUE(ReadBytes(out) == old) << "OUT as it was";
    EXPECT_TRUE(ReadBytes(left) == kept) << "the backup as it was";
    EXPECT_EQ(NamesIn(folder).size(), 2u) << "nothing else left";
    std::remove(left.c_str());
}
