#include <cstdio>

#include "pnghost/commands/Commands.h"
#include "pnghost/host/Desktop.h"

int RunAboutCommand(HostSession *session) {
    ShowHostWindow(session, 0, 0, 1024, 768);
    // The about box has no buttons: a person closes it with a click.
    QueuePersonAction(PersonAction::ClickBody);
    const int16_t result = CallAbout(session);
    for (const std::string &line : LastDialogTexts()) std::printf("%s\n", line.c_str());
    CloseHostWindow(session);
    if (result != kResultNoError) {
        std::fprintf(stderr, "pnghost: about box failed (%d)\n", result);
        return 2;
    }
    return 0;
}
