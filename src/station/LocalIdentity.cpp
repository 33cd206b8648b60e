#include "station/TestRunner.h"

#include <unistd.h>

#include <cstdlib>

CTestIdentity LocalIdentity(std::string serial) {
    char host[256] = {};
    const char* user = std::getenv("USER");
    return {std::move(serial), gethostname(host, sizeof host - 1) == 0 ? host : "",
            user ? user : ""};
}
