#ifndef KX_TESTS_FIFOGATE_H
#define KX_TESTS_FIFOGATE_H

#include <functional>
#include <string>

// A named pipe that a program under test reads as an input file: the program waits at its
// opening until the test has done what must happen at exactly that point of the run (change a
// file the program read earlier), and then gets the pipe's bytes as the file's contents.
// Named pipes of this kind exist on POSIX only.
class FifoGate {
public:
    // False where named pipes cannot be made (Windows).
    static bool supported();

    // Makes the pipe at `path` (a POSIX path); it is removed with its folder.
    explicit FifoGate(const std::string &path);
    ~FifoGate();
    FifoGate(const FifoGate &) = delete;
    FifoGate &operator=(const FifoGate &) = delete;

    // Waits until a reader has opened the pipe. Gives up, returning false, when `gaveUp`
    // returns true (the program ended without opening it) or after two minutes.
    bool waitForReader(const std::function<bool()> &gaveUp);
    // Writes `bytes` and closes the pipe: the reader sees them and then the end of the file.
    bool finish(const std::string &bytes);

private:
    std::string path;
    int descriptor = -1;
};

#endif
