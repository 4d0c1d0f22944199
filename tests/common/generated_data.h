// The data folder tarnova-make-data writes for the tests, shared by every
// test binary: made once beside the binaries and reused until the generator
// is rebuilt.
#pragma once
#include <string>

// The folder with a trailing '/', or an empty string when the generator is
// missing or failed (tests then skip).
std::string generatedData();
