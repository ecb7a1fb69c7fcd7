#ifndef KX_TESTS_SCOPEDENV_H
#define KX_TESTS_SCOPEDENV_H

#include <string>

// Sets (or, with a null value, removes) an environment variable for the life of the object
// and restores the previous state afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    std::string name;
    std::string previous;
    bool hadPrevious;
};

void setEnvironment(const char *name, const char *value);  // null removes

#endif
