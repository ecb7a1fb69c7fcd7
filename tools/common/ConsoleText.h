#ifndef KX_TOOLS_CONSOLETEXT_H
#define KX_TOOLS_CONSOLETEXT_H

#include <cstdarg>
#include <cstddef>
#include <string>

// Texts for the console that never carry bytes a terminal would act on. Names and texts from
// files and command lines (a mesh name, an exception text quoting a broken file) may hold control
// characters or, on systems whose texts are UTF-8, bytes that are no UTF-8: each such byte is
// shown as an escape (\n, \r, \t, or \xHH for the others, DEL and C1 control characters
// included). A backslash stays as it is: Windows paths are full of them.

// `text` with every such byte escaped; with `keepLineBreaks`, the line feeds that end it stay (an
// exception text may end its message with one).
std::string consoleSafe(const char *text, bool keepLineBreaks);

// The `length` bytes at `text` (NUL bytes included) appended to `out` with every such byte
// escaped, line feeds too.
void appendConsoleSafe(std::string &out, const char *text, size_t length);

// True when every byte is printable ASCII, which every console shows as it is: escaping such a
// text leaves it unchanged.
bool isConsolePlain(const char *text, size_t length);

// Functions whose format goes through formatForConsole are checked as printf formats. That
// code knows the C99 conversions (%zu, %lld) on every system; mingw's "printf" check is that of
// the Windows C runtime, so there they are checked as GNU printf.
#if defined(__MINGW32__)
#define KX_CONSOLE_FORMAT(formatAt, argumentsAt) __attribute__((__format__(gnu_printf, formatAt, argumentsAt)))
#elif defined(__GNUC__)
#define KX_CONSOLE_FORMAT(formatAt, argumentsAt) __attribute__((__format__(printf, formatAt, argumentsAt)))
#else
#define KX_CONSOLE_FORMAT(formatAt, argumentsAt)
#endif

// printf formatting where every %s and %c argument is made console-safe (with `keepLineBreaks`
// as above); the format's own text is the program's and stays as it is. Knows the
// conversions d i u o x X c s f F e E g G a A p % with flags, width, precision and the length
// modifiers hh h l ll z j t L.
std::string formatForConsole(bool keepLineBreaks, const char *format, va_list arguments);

#endif
