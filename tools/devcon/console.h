#pragma once
// Messages of the device console tool. They go to standard output, which
// the installer reads through a pipe in the ANSI code page; in a console
// window they are written as UTF-16 so that any name shows as it is.
// Uses the kernel only: the ARM64 build has no C runtime.

namespace orvello::devcon {

void Write(const wchar_t* text);
void WriteLine(const wchar_t* text);
// "0x" and eight upper-case hexadecimal digits.
void WriteHex(unsigned long value);
// "<what>: error 0x........" and the system's text for the code, if any.
void WriteErrorLine(const wchar_t* what, unsigned long code);

}  // namespace orvello::devcon
