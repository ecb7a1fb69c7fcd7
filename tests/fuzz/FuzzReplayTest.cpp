// Every input of the fuzz targets' seed corpus and every regression input (each one reproduced
// a finding that has since been fixed) goes through the same entry function as the fuzz
// target, on every platform: the readers refuse it or read it, and nothing breaks.

#include "FuzzEntries.h"
#include "TempFolder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A broken promise of the code under test fails the input's test instead of ending the
// program.
struct FuzzFinding : std::runtime_error {
    using std::runtime_error::runtime_error;
};
void throwFinding(const std::string &what) { throw FuzzFinding(what); }

std::string fuzzFolder() {
    std::string folder = KX_FUZZ_DIR;
#ifdef _WIN32
    // The folder is a POSIX path when the Windows build runs under Wine, which shows the POSIX
    // root as drive Z:.
    if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder;
#endif
    return folder;
}

// The files of fuzz/<kind>/<target>/, in name order.
std::vector<std::string> inputsOf(const std::string &kind, const std::string &target) {
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(std::filesystem::path(fuzzFolder()) / kind / target, error), end;
         !error && it != end; it.increment(error))
        if (it->is_regular_file()) files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    return files;
}

class FuzzReplay : public ::testing::TestWithParam<FuzzTarget> {};

}  // namespace

TEST_P(FuzzReplay, everySeedAndRegressionInputIsReadOrRefusedCleanly) {
    const FuzzTarget &target = GetParam();
    setFuzzFailureHandler(throwFinding);
    std::vector<std::string> seeds = inputsOf("corpus", target.name);
    EXPECT_FALSE(seeds.empty()) << "no seed corpus for " << target.name << " below " << fuzzFolder();
    std::vector<std::string> inputs = seeds;
    for (const std::string &file : inputsOf("regressions", target.name)) inputs.push_back(file);
    for (const std::string &file : inputs) {
        SCOPED_TRACE(file);
        std::string bytes = readFileBytes(file);
        try {
            target.entry(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
        } catch (const FuzzFinding &finding) {
            ADD_FAILURE() << finding.what();
        }
    }
    setFuzzFailureHandler(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(kFuzzTargets, kFuzzTargets + kFuzzTargetCount),
                         [](const ::testing::TestParamInfo<FuzzTarget> &info) { return std::string(info.param.name); });
