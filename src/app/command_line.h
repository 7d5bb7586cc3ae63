#pragma once
#include <string>
#include <vector>

namespace orvello {

// Splits the arguments after the program name the way CommandLineToArgvW
// does: white space separates, double quotes group, 2n backslashes before
// a quote give n backslashes.
std::vector<std::wstring> SplitArguments(const std::wstring& arguments);

// Debug mode is on when any argument contains "-debug" (case-sensitive).
bool HasDebugSwitch(const std::vector<std::wstring>& arguments);

// The part of a full command line after the program name.
std::wstring ArgumentsAfterProgramName(const std::wstring& commandLine);

}  // namespace orvello
