// The errors the C++ library raises from inside its templates: a string or vector asked for a
// position past its end (substr, at, insert), or for more than it can hold. The runtime's own
// raisers, all in one object file, throw std::out_of_range and its kin, whose constructors keep
// their message in a second, reference-counted string class: that and what comes with it is a
// tenth of Setup.exe. These raise LibraryError instead, with the same message, formatted the same
// way. The stub catches every error as std::exception (and an exhausted heap as std::bad_alloc,
// which stays), never as std::out_of_range and the like. Linked into Setup.exe (and stub_tests,
// which tests it) only: the tool and the other test programs keep the runtime's raisers.
//
// The linker takes these functions from here before it looks in the runtime, so the runtime's
// object with its raisers is never linked: should a later runtime add a raiser to that object
// and the stub call it, the object comes along and the link fails with the others defined twice.
#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>

namespace {

class LibraryError : public std::exception {
public:
    // The message is formatted like the runtime's: %s, %zu and %% are all its messages use.
    LibraryError(const char* format, std::va_list args) {
        std::size_t at = 0;
        auto put = [&](char c) {
            if (at + 1 < sizeof message_) message_[at++] = c;
        };
        for (const char* p = format; *p != '\0'; ++p) {
            if (p[0] == '%' && p[1] == 's') {
                for (const char* s = va_arg(args, const char*); *s != '\0'; ++s) put(*s);
                p += 1;
            } else if (p[0] == '%' && p[1] == 'z' && p[2] == 'u') {
                char digits[24];
                int count = 0;
                for (std::size_t value = va_arg(args, std::size_t); count == 0 || value != 0; value /= 10)
                    digits[count++] = static_cast<char>('0' + value % 10);
                while (count > 0) put(digits[--count]);
                p += 2;
            } else if (p[0] == '%' && p[1] == '%') {
                put('%');
                p += 1;
            } else {
                put(*p);
            }
        }
        message_[at] = '\0';
    }

    const char* what() const noexcept override { return message_; }

private:
    char message_[256];
};

[[noreturn]] void Raise(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    LibraryError error(format, args);
    va_end(args);
    throw error;
}

}  // namespace

// Every raiser of the runtime's object, so that it is never linked.
namespace std {

void __throw_logic_error(const char* message) {
    Raise("%s", message);
}

void __throw_domain_error(const char* message) {
    Raise("%s", message);
}

void __throw_invalid_argument(const char* message) {
    Raise("%s", message);
}

void __throw_length_error(const char* message) {
    Raise("%s", message);
}

void __throw_out_of_range(const char* message) {
    Raise("%s", message);
}

void __throw_out_of_range_fmt(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    LibraryError error(format, args);
    va_end(args);
    throw error;
}

void __throw_runtime_error(const char* message) {
    Raise("%s", message);
}

void __throw_range_error(const char* message) {
    Raise("%s", message);
}

void __throw_overflow_error(const char* message) {
    Raise("%s", message);
}

void __throw_underflow_error(const char* message) {
    Raise("%s", message);
}

// These carry no message; they stay what they were.
void __throw_bad_alloc() {
    throw std::bad_alloc();
}

void __throw_bad_array_new_length() {
    throw std::bad_array_new_length();
}

void __throw_bad_cast() {
    throw std::bad_cast();
}

void __throw_bad_typeid() {
    throw std::bad_typeid();
}

void __throw_bad_exception() {
    throw std::bad_exception();
}

}  // namespace std
