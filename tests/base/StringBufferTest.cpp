#include "StringBuffer.h"

#include <gtest/gtest.h>

TEST(StringBuffer, placeholder) { StringBuffer b; EXPECT_EQ(0u, b.getLength()); }
