#include "ConsoleText.h"

#include "Platform.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

void appendEscape(std::string &out, unsigned char byte) {
    static const char kHex[] = "0123456789ABCDEF";
    switch (byte) {
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
}

// The length of the UTF-8 sequence at `text` (`available` bytes) that encodes a printable
// character (no C1 control, no surrogate, no overlong form), or 0 when there is none there.
size_t printableUtf8Length(const unsigned char *text, size_t available) {
    unsigned char lead = text[0];
    size_t length;
    uint32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (length > available) return 0;
    for (size_t i = 1; i < length; i++) {
        if ((text[i] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (text[i] & 0x3F);
    }
    bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    bool invalid = code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code <= 0x9F;
    return overlong || invalid ? 0 : length;
}

bool isPlainByte(unsigned char byte) { return byte >= 0x20 && byte < 0x7F; }

void appendSafe(std::string &out, const char *text, size_t length, bool keepLineBreaks) {
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
    const bool utf8 = platform::textIsUtf8();
    size_t lineEnd = length;  // the line feeds that end the text
    while (keepLineBreaks && lineEnd > 0 && text[lineEnd - 1] == '\n') lineEnd--;
    for (size_t i = 0; i < length;) {
        unsigned char byte = bytes[i];
        size_t run = 0;  // bytes shown as they are
        if (isPlainByte(byte))
            while (i + run < length && isPlainByte(bytes[i + run])) run++;
        else if (i >= lineEnd)
            run = 1;
        else if (byte >= 0x80)
            run = utf8 ? printableUtf8Length(bytes + i, length - i) : 1;  // ANSI code page: a character
        if (run == 0) {
            appendEscape(out, byte);
            i++;
        } else {
            out.append(text + i, run);
            i += run;
        }
    }
}

// One conversion of the format, from '%' to its conversion character, and what it reads.
struct Conversion {
    std::string spec;     // "%-8.3f" without the length modifier
    char conversion = 0;  // 'd', 's', ...
    std::string length;   // "", "l", "ll", "z" ...
    size_t end = 0;       // index after the conversion in the format
};

Conversion parseConversion(const char *format, size_t start, va_list &arguments) {
    Conversion c;
    size_t i = start + 1;
    c.spec = "%";
    while (format[i] && std::strchr("-+ #0", format[i])) c.spec += format[i++];
    if (format[i] == '*') {
        c.spec += std::to_string(va_arg(arguments, int));
        i++;
    } else {
        while (format[i] >= '0' && format[i] <= '9') c.spec += format[i++];
    }
    if (format[i] == '.') {
        c.spec += format[i++];
        if (format[i] == '*') {
            c.spec += std::to_string(va_arg(arguments, int));
            i++;
        } else {
            while (format[i] >= '0' && format[i] <= '9') c.spec += format[i++];
        }
    }
    while (format[i] && std::strchr("hlzjtL", format[i])) c.length += format[i++];
    c.conversion = format[i];
    c.end = format[i] ? i + 1 : i;
    return c;
}

template <typename Value>
void appendFormatted(std::string &out, const std::string &spec, Value value) {
    char small[128];
    int n = std::snprintf(small, sizeof small, spec.c_str(), value);
    if (n < 0) return;
    if (static_cast<size_t>(n) < sizeof small) {
        out.append(small, static_cast<size_t>(n));
        return;
    }
    std::string large(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(&large[0], large.size(), spec.c_str(), value);
    out.append(large.data(), static_cast<size_t>(n));
}

// Appends one integer conversion, read with the size its length modifier gives.
void appendInteger(std::string &out, const Conversion &c, va_list &arguments) {
    bool isSigned = c.conversion == 'd' || c.conversion == 'i';
    std::string spec = c.spec + "ll" + c.conversion;
    if (c.length == "ll" || c.length == "j") {
        isSigned ? appendFormatted(out, spec, va_arg(arguments, long long))
                 : appendFormatted(out, spec, va_arg(arguments, unsigned long long));
    } else if (c.length == "l") {
        isSigned ? appendFormatted(out, spec, static_cast<long long>(va_arg(arguments, long)))
                 : appendFormatted(out, spec, static_cast<unsigned long long>(va_arg(arguments, unsigned long)));
    } else if (c.length == "z" || c.length == "t") {
        isSigned ? appendFormatted(out, spec, static_cast<long long>(va_arg(arguments, ptrdiff_t)))
                 : appendFormatted(out, spec, static_cast<unsigned long long>(va_arg(arguments, size_t)));
    } else {
        int value = va_arg(arguments, int);  // int, short and char all arrive as int
        if (c.length == "h") value = isSigned ? static_cast<short>(value) : static_cast<unsigned short>(value);
        if (c.length == "hh") value = isSigned ? static_cast<signed char>(value) : static_cast<unsigned char>(value);
        isSigned ? appendFormatted(out, spec, static_cast<long long>(value))
                 : appendFormatted(out, spec, static_cast<unsigned long long>(static_cast<unsigned int>(value)));
    }
}

}  // namespace

void appendConsoleSafe(std::string &out, const char *text, size_t length) { appendSafe(out, text, length, false); }

bool isConsolePlain(const char *text, size_t length) {
    for (size_t i = 0; i < length; i++)
        if (!isPlainByte(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

std::string consoleSafe(const char *text, bool keepLineBreaks) {
    std::string out;
    if (text) appendSafe(out, text, std::strlen(text), keepLineBreaks);
    return out;
}

std::string formatForConsole(bool keepLineBreaks, const char *format, va_list arguments) {
    std::string out;
    va_list args;
    va_copy(args, arguments);
    for (size_t i = 0; format && format[i];) {
        if (format[i] != '%') {
            size_t next = i;
            while (format[next] && format[next] != '%') next++;
            out.append(format + i, next - i);
            i = next;
            continue;
        }
        Conversion c = parseConversion(format, i, args);
        switch (c.conversion) {
        case '%':
            out += '%';
            break;
        case 's': {
            const char *text = va_arg(args, const char *);
            std::string safe = consoleSafe(text ? text : "(null)", keepLineBreaks);
            appendFormatted(out, c.spec + "s", safe.c_str());
            break;
        }
        case 'c': {
            char byte[2] = {static_cast<char>(va_arg(args, int)), 0};
            std::string safe = consoleSafe(byte, keepLineBreaks);
            appendFormatted(out, c.spec + "s", safe.c_str());
            break;
        }
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            appendInteger(out, c, args);
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (c.length == "L")
                appendFormatted(out, c.spec + "L" + c.conversion, va_arg(args, long double));
            else
                appendFormatted(out, c.spec + c.conversion, va_arg(args, double));
            break;
        case 'p':
            appendFormatted(out, c.spec + "p", va_arg(args, void *));
            break;
        default:  // not a conversion: shown as it stands
            out.append(format + i, c.end - i);
            break;
        }
        i = c.end;
    }
    va_end(args);
    return out;
}
