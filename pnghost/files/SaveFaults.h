// Faults a test asks of a save through the environment, where the system
// cannot be made to fail or wait on demand:
//   PNGHOST_FAIL_WRITE_OVER=N   write N (from 0) into a file written over
//                               fails with EIO, as on a failing disk; N- makes
//                               it and every later one fail, the writes that
//                               put the old bytes back among them
//   PNGHOST_FAIL_COPY_REMOVAL=1 removing the copy of the old image once the
//                               new one is in place (on Windows, ReplaceFile's
//                               backup) fails with EIO; 2 makes renaming it
//                               to its "may be deleted" name fail too
//   PNGHOST_STOP_AT=replace     the process stops itself (SIGSTOP; on Windows
//                               it waits for a line on standard input) just
//                               before the destination is checked the last time
//   PNGHOST_STOP_AT=rename      or after that check, just before the rename
//   PNGHOST_STOP_AT=copy        or, writing over, just before the old bytes
//                               are copied
//   PNGHOST_STOP_AT=write-over:N  or just before write N into the old file
// so that a test can change the destination, or kill the process, there.
// On Windows also, for the states a failed ReplaceFile leaves:
//   PNGHOST_FAIL_REPLACE=CODE   ReplaceFile fails with Windows error CODE, the
//                               files left as that error leaves them; CODE-
//                               makes moving the old file back fail too
#ifndef PNGHOST_SAVE_FAULTS_H
#define PNGHOST_SAVE_FAULTS_H

#include <string>

bool WriteOverWriteFails(int number);
// How many of the steps that end the copy of the old image are to fail:
// 0, 1 (its removal) or 2 (its removal and its renaming).
int CopyRemovalFailures();
// Stops the process at the point named, when asked to, until SIGCONT (on
// Windows, a line on standard input).
void StopIfAsked(const std::string &point);
#ifdef _WIN32
// The Windows error ReplaceFile is to fail with, 0 for none; *putBackFails
// when moving the old file back is to fail too.
unsigned long ReplaceFailsWith(bool *putBackFails);
#endif

#endif
