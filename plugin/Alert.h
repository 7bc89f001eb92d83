#ifndef KORVANE_ALERT_H
#define KORVANE_ALERT_H

#include <stdint.h>

// Shows a modal stop alert with string id of the module's string table as
// its text, under the module's alert caption.
void ShowAlertString(int16_t id);

#endif
