#pragma once
// Names table rows after their `name` field in the test listing.

#include <gtest/gtest.h>

#include <string>

namespace vtlink::test {

struct CaseName {
  template <typename Row>
  std::string operator()(const testing::TestParamInfo<Row>& row) const {
    return row.param.name;
  }
};

}  // namespace vtlink::test
