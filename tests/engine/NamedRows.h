#pragma once

// Table rows as GoogleTest cases of their own, named by the row's `name`.

#include <cctype>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <string_view>

namespace testing_tables {

// A row's name fit for a test's name: letters and digits, "_" for the rest.
inline std::string TestName(std::string_view name) {
    std::string result(name);
    for (char& c : result)
        c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    return result;
}

// The name generator of INSTANTIATE_TEST_SUITE_P for such rows.
inline constexpr auto kRowName = [](const auto& info) { return TestName(info.param.name); };

// The common row: a name, what goes in, and what must come out.
template <typename In, typename Out = In>
struct CaseRow {
    const char* name;
    In input;
    Out expected;
};

// Shows a row as its name; a test file brings it in with a using-declaration.
template <typename Row>
requires requires(const Row& row) {
    row.name;
}
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

} // namespace testing_tables
