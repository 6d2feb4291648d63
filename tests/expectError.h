#pragma once

#include "foundation/CException.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace lumo {

// Expects the operation to throw an E and hands the error to `check`; an
// error of another class escapes to the test.
template <class E> void expectThrow(const std::function<void()>& operation, const std::function<void(const E&)>& check)
{
    try {
        operation();
        ADD_FAILURE() << "no error";
    } catch (const E& error) {
        check(error);
    }
}

// Expects the operation to throw an E with the description.
template <class E = CException> void expectError(const std::string& expected, const std::function<void()>& operation)
{
    expectThrow<E>(operation, [&](const E& error) { EXPECT_EQ(expected, error.getDescription()->toUTF8()); });
}

} // namespace lumo
