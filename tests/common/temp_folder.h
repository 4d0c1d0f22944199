// Folders for the files a test makes. Each test process (ctest runs one per
// test) has a root folder of its own under $TMPDIR (/tmp when unset), and one
// in /dev/shm for the store's large files. Their names are passed on in the
// environment, so the children of death tests, which run the test binary
// again and _exit before any TearDown, make their folders there too. The
// process that named the roots removes them, whatever they hold, after every
// test and when it exits: a test run leaves nothing behind.
#pragma once
#include <string>

// "<TMPDIR>/tarnova-test-<pid>/", made when first asked for.
std::string testTempRoot();

// "/dev/shm/tarnova-test-<pid>/" ("$TARNOVA_TEST_SHM_BASE/tarnova-test-<pid>/"
// when that is set; "<testTempRoot()>shm/" where there is no /dev/shm), made
// when first asked for.
std::string testShmRoot();

// A new, empty folder "<prefix>-XXXXXX" under testTempRoot() (a name no
// other process, a death test's child included, has taken); ends with '/'.
std::string testTempFolder(const std::string &prefix);
