// Dialog procedures for the dialog manager tests: one procedure that records
// every message it gets and reacts as the running test tells it.
#ifndef KORVANE_TESTS_WIN32_DIALOG_TEST_SUPPORT_H
#define KORVANE_TESTS_WIN32_DIALOG_TEST_SUPPORT_H

#include "FixtureModule.h"
#include "fixture/ResourceIds.h"

#include <win32_layer.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int lParamControl;  // the id of the control lParam names; 0 for none
};

using Reaction = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;

// Ends the dialog on IDOK and IDCANCEL, as most dialog procedures do, after
// filling the plain combo box at WM_INITDIALOG.
INT_PTR EndOnOkOrCancel(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows a fixture dialog with the recording procedure.
    INT_PTR Run(LPCSTR name, HWND owner = nullptr, LPARAM initParam = 0);
    INT_PTR Run(int id, HWND owner = nullptr) { return Run(MAKEINTRESOURCEA(id), owner); }
    static void Queue(Win32DialogActionKind kind, int id = 0, int index = 0) { Win32QueueDialogAction(kind, id, index); }
    Win32DialogState LastDialog(Win32DialogMoment moment);
    // The control state in a snapshot, by id.
    static const Win32ControlState &Control(const Win32DialogState &state, int id);

    Reaction react = EndOnOkOrCancel;
    std::vector<Received> received;
};

#endif
