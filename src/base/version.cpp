#include "base/version.h"

const char *const programVersionText = "Tarnova version 1.00 (Linux) 2016/05/20 22:52:26";
const char *const ownershipNotice = "Tarnova is made and owned by Quellbrook. All rights reserved.";
