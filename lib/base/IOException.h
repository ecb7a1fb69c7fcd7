#ifndef KX_BASE_IOEXCEPTION_H
#define KX_BASE_IOEXCEPTION_H

#include <memory>
#include <string>

// The one exception type of the suite, thrown and caught by value.
// It carries an error number (0 for a message exception) and a text. A text given as
// `const char*` is not copied: pass string literals. A text composed at run time (one
// that names a file or an offset) is given as std::string and kept by the exception.
class IOException {
public:
    // Number as given; text = the C library's text for that error number.
    explicit IOException(int number);
    // Number 0; the text pointer is kept as it is and must outlive the exception.
    explicit IOException(const char *message);
    // Number 0; the exception keeps its own copy of the text.
    explicit IOException(const std::string &message);
    // Number as given (for example a library's error code) with a composed text of its own.
    IOException(int number, const std::string &message);
    // A described text with the system's error number (errno) that explains it.
    IOException(int number, const char *message);

    // The text, followed by the system's reason when the number is a system error number that
    // the text does not already give: "File could not be opened: Permission denied". A
    // library's own codes (negative, as zlib's) add nothing.
    std::string describe() const;

    int getErrorNumber() const { return errorNumber; }
    const char *getErrorString() const { return errorString; }

private:
    int errorNumber;
    const char *errorString;
    std::shared_ptr<const std::string> ownedText;  // set only for composed texts
};

// The plain text exceptions of the string buffer and the containers.
extern const char *const IndexOutOfBoundsException;
extern const char *const IllegalArgumentException;

#endif
