#include "ScopedEnv.h"

#include <cstdlib>

void setEnvironment(const char *name, const char *value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

ScopedEnv::ScopedEnv(const char *variable, const char *value) : name(variable) {
    const char *old = std::getenv(variable);
    hadPrevious = old != nullptr;
    if (old) previous = old;
    setEnvironment(variable, value);
}

ScopedEnv::~ScopedEnv() { setEnvironment(name.c_str(), hadPrevious ? previous.c_str() : nullptr); }
