// The library's errors as Setup.exe raises them (setup/LibraryErrors.cpp): the runtime's messages,
// formatted the same way, caught as std::exception; a heap that cannot give stays std::bad_alloc.
#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

template <typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const std::out_of_range&) {
        return "the runtime's own std::out_of_range";
    } catch (const std::length_error&) {
        return "the runtime's own std::length_error";
    } catch (const std::exception& error) {
        return error.what();
    }
    return "nothing thrown";
}

TEST(LibraryErrors, CarryTheRuntimesMessagesFormatted) {
    const std::string text = "abc";
    std::size_t position = 5;
    EXPECT_EQ(MessageOf([&] { (void)text.substr(position); }),
              "basic_string::substr: __pos (which is 5) > this->size() (which is 3)");
    std::vector<int> empty;
    position = std::numeric_limits<std::size_t>::max();
    EXPECT_EQ(MessageOf([&] { (void)empty.at(position); }),
              "vector::_M_range_check: __n (which is " + std::to_string(position) + ") >= this->size() (which is 0)");
    EXPECT_EQ(MessageOf([&] { std::string grown; grown.reserve(grown.max_size() + 1); }), "basic_string::_M_create");
}

TEST(LibraryErrors, AnExhaustedHeapIsStillBadAlloc) {
    std::allocator<long long> allocator;
    EXPECT_THROW((void)allocator.allocate(std::numeric_limits<std::size_t>::max() / sizeof(long long)), std::bad_alloc);
}

}  // namespace
