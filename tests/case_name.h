// Table tests name each case after its `name` field, so that a failure
// reads as the fault it covers.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace holsterkeys {

struct CaseName {
  template <class Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    return info.param.name;
  }
};

}  // namespace holsterkeys
