// Test entry point for suites that decide themselves whether an application object
// exists (engine start-up creates one when the host has none).
#include "TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    Palettra::Test::isolateFromUserFolders();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
