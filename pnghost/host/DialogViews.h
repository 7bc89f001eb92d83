// What the person at the module's dialogs does and sees: the actions they
// take, and the dialogs and alerts as they read them.
#ifndef PNGHOST_DIALOG_VIEWS_H
#define PNGHOST_DIALOG_VIEWS_H

#include <string>
#include <vector>

enum class PersonAction { Click, Select, Enter, Escape, Close, ClickBody };

// One control of a dialog, as the person saw it.
struct ControlView {
    int id = 0;
    std::string className;  // "Button", "Static", "ComboBox", ...
    std::string text;
    bool enabled = false;
    int checked = 0;                 // BST_* of a button
    std::vector<std::string> items;  // a combo box's entries
    int selection = -1;              // the chosen entry, -1 for none
};

// A module dialog as the person first saw it, just after it was set up.
struct DialogView {
    std::string caption;
    void *owner = nullptr;
    int left = 0, top = 0, right = 0, bottom = 0;  // the whole window, on the screen
    std::vector<ControlView> controls;
    bool leftOpen = false;  // the person's actions ran out before it closed
};

// An alert (message box) shown while the module ran, as the person read it
// before pressing OK.
struct AlertView {
    std::string caption;
    std::string text;
};

#endif
