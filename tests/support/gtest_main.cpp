// The main of the core's test programs: each runs in its own temporary home.
#include <gtest/gtest.h>

#include "support/test_env.h"

namespace {

class TempHomeEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { tallowmere::test::PrepareTestHome(); }
    void TearDown() override { tallowmere::test::RemoveTestHome(); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TempHomeEnvironment);
    return RUN_ALL_TESTS();
}
