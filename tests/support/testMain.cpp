// The main of every test program. Plugin answers stay in each process's memory (and its children's), so that no test
// writes into the user's cache folder and every count of questions put to slaves holds; a test of the answer file turns
// it on for itself.
#include "support/CScopedEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const lumo::CScopedEnvironment answersInMemory("NEBO_CACHE", "off");
    return RUN_ALL_TESTS();
}
