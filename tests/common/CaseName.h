#pragma once
// Parameterised cases carry a `name` field; test lists show it instead of "/0", "/1", ...
//   INSTANTIATE_TEST_SUITE_P(Shapes, Fixture, testing::ValuesIn(kCases), CaseName());
#include <gtest/gtest.h>

#include <string>

struct CaseName {
    template <class Param> std::string operator()(const testing::TestParamInfo<Param>& info) const {
        return info.param.name;
    }
};
