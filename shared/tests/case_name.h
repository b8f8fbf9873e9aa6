#pragma once
// Names the rows of a table of test cases after their `name` field.

#include <gtest/gtest.h>

#include <string>

namespace shared {

template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& row) {
  return row.param.name;
}

}  // namespace shared
