// The data folder tarnova-make-data writes for the tests, shared by every
// test binary: made once beside the binaries and reused until the generator
// is rebuilt.
#pragma once
#include <string>

// The folder with a trailing '/'. When the generator is missing or fails,
// the test that asks fails here (an exception GoogleTest reports as the
// test's failure) with a message that says how to make the folder: every
// test that needs the data fails alike, none skips.
std::string generatedData();
