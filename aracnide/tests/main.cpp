#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // The loopback servers must be reached directly even where a proxy is configured.
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
