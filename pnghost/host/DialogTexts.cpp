#include "pnghost/host/Desktop.h"

std::vector<std::string> LastDialogTexts() {
    std::vector<std::string> texts;
    DialogView dialog;
    if (!LastDialog(&dialog)) return texts;
    for (const ControlView &control : dialog.controls)
        if (!control.text.empty()) texts.push_back(control.text);
    return texts;
}
