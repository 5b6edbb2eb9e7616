// Texts under test are GBK bytes; failures print them as UTF-8 so they read.
#pragma once

#include <gtest/gtest.h>

#include "runtime/text_encoding.h"

#define EXPECT_GBK_EQ(actual, expected) \
  EXPECT_EQ(::runtime::GbkToUtf8(actual), ::runtime::GbkToUtf8(expected))
