// The main of every test program. Plugin answers stay in each process's memory (and its children's): no test writes
// into the user's cache folder, every count of questions to slaves holds; answer file tests turn it on.
#include "support/CScopedEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const lumo::CScopedEnvironment answersInMemory("NEBO_CACHE", "off");
    return RUN_ALL_TESTS();
}
