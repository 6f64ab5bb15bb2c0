// Reading a fuzzer's bytes as the values a target needs: whole numbers and doubles taken from the
// front, zero once the bytes run out, and the rest as command-line words split at NUL bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace vellora::fuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T>
    T Take() {
        static_assert(std::is_trivially_copyable_v<T>);
        T value{};
        const std::size_t n = size_ < sizeof(T) ? size_ : sizeof(T);
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    bool TakeBool() { return (Take<std::uint8_t>() & 1) != 0; }
    // A whole number from lo to hi inclusive.
    std::int64_t TakeBetween(std::int64_t lo, std::int64_t hi) {
        const auto span = static_cast<std::uint64_t>(hi) - static_cast<std::uint64_t>(lo) + 1;
        const std::uint64_t v = Take<std::uint64_t>();
        return static_cast<std::int64_t>(static_cast<std::uint64_t>(lo) + (span == 0 ? v : v % span));
    }

    // What is left, as words separated by NUL bytes (at most maxWords of them).
    std::vector<std::string> RestAsWords(std::size_t maxWords) {
        std::vector<std::string> words;
        std::string word;
        for (std::size_t i = 0; i < size_ && words.size() < maxWords; ++i) {
            if (data_[i] == 0) {
                words.push_back(word);
                word.clear();
            } else {
                word += static_cast<char>(data_[i]);
            }
        }
        if (words.size() < maxWords && (!word.empty() || size_ == 0 || data_[size_ - 1] != 0)) words.push_back(word);
        size_ = 0;
        return words;
    }
    std::size_t Left() const { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A command line as a program receives it: the program's name, the words, a closing null. The
// pointers point into words, which must outlive it.
inline std::vector<const char*> CommandLine(const char* program, const std::vector<std::string>& words) {
    std::vector<const char*> argv{program};
    for (const std::string& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);
    return argv;
}

// A broken promise: said once, then the fuzzer keeps the input that broke it.
[[noreturn]] inline void Violation(const std::string& what) {
    std::fprintf(stderr, "violation: %s\n", what.c_str());
    std::abort();
}

}  // namespace vellora::fuzz
