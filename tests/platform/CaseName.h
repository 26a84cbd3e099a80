#pragma once

#include <string>

// Names each case of a parameterised test after its `name` field, so that test names read well
// and stay the same from one build to the next.
struct CaseName {
    template <typename Info> std::string operator()(const Info& test) const {
        return test.param.name;
    }
};
