#include "platform/software_renderer.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(SoftwareRenderer, IsToldByName) {
  EXPECT_TRUE(is_software_renderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
  EXPECT_TRUE(is_software_renderer("softpipe"));
  EXPECT_TRUE(is_software_renderer("GDI Generic"));
  EXPECT_FALSE(is_software_renderer("NVIDIA GeForce RTX 3060/PCIe/SSE2"));
  EXPECT_FALSE(is_software_renderer("AMD Radeon(TM) Graphics"));
  EXPECT_FALSE(is_software_renderer(""));
}

}  // namespace
}  // namespace vantrel
