// Scrambling of the administrator password stored in the users file.
//
// This is an obfuscation that keeps the password from being read at a glance
// in the file, not a protection: anyone with the file can undo it. Stored
// files carry this exact form, so it must not change. Never write a password
// or its scrambled form to the debug log.
#pragma once
#include <string>

// XOR with a repeating 17-character key; applying it twice gives the input
// back. The output has the input's length and may contain 0 bytes.
void scramblePassword(const std::string &input, std::string &output);
