// The viewer's File Info dialog: the datasets of the image's File Info that
// the module carries to and from PNG texts, each under its plain name, for a
// person to read and edit, as the editor's own File Info dialog does.
#ifndef PNGHOST_FILE_INFO_DIALOG_WIN32_H
#define PNGHOST_FILE_INFO_DIALOG_WIN32_H

#include <windows.h>

#include <cstdint>
#include <vector>

// Shows the File Info of the image resources, owned by `owner`. On OK the
// texts the person changed go into *resources (every other dataset and
// resource stays as it was) and the result is IDOK; IDCANCEL leaves them
// alone; -1 when the dialog cannot be shown.
INT_PTR EditFileInfoInDialog(HWND owner, std::vector<uint8_t> *resources);

#endif
