// The program's version line and ownership notice, drawn by the loading and
// About screens.
#pragma once

extern const char *const programVersionText;
extern const char *const ownershipNotice;
