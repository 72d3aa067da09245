#include "engine/common/status.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace orvane {
namespace {

// What a module handler or the command line shows for an exception.
TEST(StatusTest, FromException) {
  Status memory = StatusFromException(std::bad_alloc());
  EXPECT_EQ(memory.kind(), Status::Kind::kFailed);
  EXPECT_EQ(memory.message(), "There is not enough memory for this run.");
  Status bug = StatusFromException(std::out_of_range("vector::at"));
  EXPECT_EQ(bug.kind(), Status::Kind::kFailed);
  EXPECT_EQ(bug.message(), "vector::at");
}

}  // namespace
}  // namespace orvane
