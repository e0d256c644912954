// The import tables of our own are filled before any other static
// initialiser runs, wherever the link puts that initialiser.
#include <gtest/gtest.h>

#include "support/ImportProbe.h"

TEST(ImportOrderTest, EveryTableIsFilledBeforeTheProgramsOwnInitialisers) {
    EXPECT_EQ(4, CallEachSystemLibrary());
    EXPECT_EQ(4, g_importProbeCalls);
}
