#ifndef KX_FUZZ_FUZZENTRIES_H
#define KX_FUZZ_FUZZENTRIES_H

// The bodies of the fuzz targets: each takes one input, feeds it to a reader of the suite the
// way the tools do, and drives what the tools do next with what was read. Bad input must end
// in an IOException, which the entry swallows; anything else (a crash, a hang, a leak, an
// allocation far beyond the input, or a broken promise reported through fuzzFailure) is a
// finding. The libFuzzer programs call them, and so does the test that replays the seed
// corpus and every regression input on every platform.

#include <cstddef>
#include <cstdint>
#include <string>

// An MSH file: read, reported, every mesh searched for separate objects, the whole model
// written again (which must read back), and one object of a mesh of several written through
// the clip index (which must write what a scan writes).
int fuzzMeshFile(const uint8_t *data, size_t size);
// A PAK archive, twice in one PAK folder: the catalogue of both, every entry looked up by its
// names, and the first entries extracted into a scratch cache (never outside it).
int fuzzPakArchive(const uint8_t *data, size_t size);
// An INI file, read as a plain INI file and as a set-dressing file, every value read in every
// type, and the set-dressing view changed.
int fuzzIniFile(const uint8_t *data, size_t size);
// A room: a room INI file, then after a NUL byte a cut-out library that the room may name as
// "lib.ini", then after another NUL byte room options as on roomwright's command line (-s, -sx,
// -sy, -sz, -rx, -ry, -rz with one number, -c with three). Every prop the room places is one
// small built-in mesh (names beginning "p_"; others are not found). The built prop is written
// and must read back.
int fuzzRoomBuilder(const uint8_t *data, size_t size);

// One target: its name (the folder of its corpus, regressions and dictionary) and its entry.
struct FuzzTarget {
    const char *name;
    int (*entry)(const uint8_t *data, size_t size);
};
extern const FuzzTarget kFuzzTargets[];
extern const int kFuzzTargetCount;

// Called by an entry when an input broke a promise of the code under test. Without a handler
// it prints `what` and aborts, so that the fuzzer keeps the input as a crash; a test installs
// a handler that fails the test instead (the handler must not return: it throws).
void fuzzFailure(const std::string &what);
void setFuzzFailureHandler(void (*handler)(const std::string &what));

#endif
