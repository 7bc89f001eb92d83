#include <cstdio>

#include "pnghost/commands/Commands.h"

int RunPiplCommand(HostSession *session) {
    for (const PiplProperty &property : session->pipl)
        std::printf("%s %zu %s\n", FourCCText(property.key).c_str(), property.value.size(),
                    DescribePiplValue(property).c_str());
    return 0;
}
