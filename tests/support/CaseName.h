#pragma once

#include <gtest/gtest.h>

#include <concepts>
#include <ostream>
#include <string>

// A parameterised test's case printed as its name, in test lists and failure messages; a test
// file's own namespace takes it in with `using ::PrintTo;`.
template <class Case>
requires std::same_as<decltype(Case::name), const char*>
void PrintTo(const Case& test, std::ostream* out) {
    *out << test.name;
}

// Names a parameterised test after its case's name.
struct CaseName {
    template <class Case> std::string operator()(const testing::TestParamInfo<Case>& test) const {
        return test.param.name;
    }
};
