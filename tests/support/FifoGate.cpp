#include "FifoGate.h"

#include <chrono>
#include <cstdio>
#include <thread>
#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#endif

bool FifoGate::supported() {
#ifdef _WIN32
    return false;
#else
    return true;
#endif
}

FifoGate::FifoGate(const std::string &path) : path(path) {
#ifndef _WIN32
    ::mkfifo(path.c_str(), 0600);
#endif
}

FifoGate::~FifoGate() {
#ifndef _WIN32
    // A gate never finished must not leave the descriptor open.
    if (descriptor >= 0) finish("");
#endif
}

bool FifoGate::waitForReader(const std::function<bool()> &gaveUp) {
#ifdef _WIN32
    (void)gaveUp;
    return false;
#else
    // Opening for writing without waiting fails with ENXIO until a reader has the pipe open.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (std::chrono::steady_clock::now() < deadline) {
        descriptor = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (descriptor >= 0) return ::fcntl(descriptor, F_SETFL, 0) == 0;
        if (errno != ENXIO || gaveUp()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
#endif
}

bool FifoGate::finish(const std::string &bytes) {
#ifdef _WIN32
    (void)bytes;
    return false;
#else
    if (descriptor < 0) return false;
    FILE *stream = ::fdopen(descriptor, "w");
    if (!stream) return false;
    descriptor = -1;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    return std::fclose(stream) == 0 && written;
#endif
}
