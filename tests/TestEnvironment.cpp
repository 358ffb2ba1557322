// Linked into every test program: the environment the tests expect, whoever starts them
// (ctest, a person, a debugger). SDL runs on its dummy drivers, so no test opens a window on
// the person's screen or plays sound through their speakers.
#include <cstdlib>

namespace {

struct TTestEnvironment {
    TTestEnvironment() {
        if (!std::getenv("SB_TEST_REAL_DRIVERS")) {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
        }
        setenv("SB_SOURCE_DIR", SB_SOURCE_DIR_PATH, 0);
        setenv("SB_BINARY_DIR", SB_BINARY_DIR_PATH, 0);
        setenv("SB_DATA_DIR", SB_DATA_DIR_PATH, 0);
    }
} g_testEnvironment;

}  // namespace
