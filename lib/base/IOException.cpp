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
