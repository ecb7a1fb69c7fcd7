#include "IOException.h"

#include <cstring>

const char *const IndexOutOfBoundsException = "IndexOutOfBoundsException";
const char *const IllegalArgumentException = "IllegalArgumentException";

IOException::IOException(int number) : errorNumber(number), errorString(std::strerror(number)) {}

IOException::IOException(const char *message) : errorNumber(0), errorString(message) {}

IOException::IOException(const std::string &message)
    : errorNumber(0), ownedText(std::make_shared<const std::string>(message)) {
    errorString = ownedText->c_str();
}

IOException::IOException(int number, const std::string &message)
    : errorNumber(number), ownedText(std::make_shared<const std::string>(message)) {
    errorString = ownedText->c_str();
}

IOException::IOException(int number, const char *message) : errorNumber(number), errorString(message) {}

std::string IOException::describe() const {
    std::string text = errorString ? errorString : "";
    if (errorNumber <= 0) return text;
    const char *reason = std::strerror(errorNumber);
    if (!reason || text == reason) return text;
    return text + ": " + reason;
}
