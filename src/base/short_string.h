// The program's string: 0 to N bytes (N <= 255) in a fixed array, with its length.
// Assigning or appending more than fits keeps the first bytes and drops the rest, so
// no caller can forget to cut a path, a name or a prompt to its field's size.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

template <std::size_t N>
class ShortString {
  static_assert(N >= 1 && N <= 255, "a short string holds at most 255 bytes");

 public:
  static constexpr std::size_t capacity = N;

  constexpr ShortString() = default;
  ShortString(std::string_view text) { assign(text); }  // NOLINT: converts on purpose
  ShortString(const char* text) { assign(text); }       // NOLINT

  ShortString& operator=(std::string_view text) { return assign(text); }
  ShortString& operator=(const char* text) { return assign(text); }

  ShortString& assign(std::string_view text) {
    length_ = static_cast<std::uint8_t>(std::min(text.size(), N));
    if (length_ != 0) std::memmove(bytes_, text.data(), length_);  // text may alias our own bytes
    return *this;
  }

  ShortString& operator+=(std::string_view text) {
    std::size_t n = std::min(text.size(), N - length_);
    if (n != 0) std::memmove(bytes_ + length_, text.data(), n);
    length_ = static_cast<std::uint8_t>(length_ + n);
    return *this;
  }
  ShortString& operator+=(char c) {
    if (length_ < N) bytes_[length_++] = c;
    return *this;
  }

  std::string_view view() const { return {bytes_, length_}; }
  operator std::string_view() const { return view(); }  // NOLINT

  std::size_t size() const { return length_; }
  bool empty() const { return length_ == 0; }
  char operator[](std::size_t i) const { return bytes_[i]; }
  char& operator[](std::size_t i) { return bytes_[i]; }
  char front() const { return bytes_[0]; }
  char back() const { return bytes_[length_ - 1]; }
  const char* data() const { return bytes_; }

  void clear() { length_ = 0; }
  // Removes the last n bytes, or all of them when there are fewer.
  void cutTail(std::size_t n) { length_ = static_cast<std::uint8_t>(n >= length_ ? 0 : length_ - n); }
  // Removes the first n bytes, or all of them when there are fewer.
  void eraseFront(std::size_t n) { assign(view().substr(std::min<std::size_t>(n, length_))); }

  friend bool operator==(const ShortString& a, std::string_view b) { return a.view() == b; }

 private:
  std::uint8_t length_ = 0;
  char bytes_[N] = {};
};

using Str = ShortString<255>;

// Concatenation that keeps the left side's capacity: a + b is cut like a += b.
template <std::size_t N>
ShortString<N> operator+(ShortString<N> a, std::string_view b) {
  a += b;
  return a;
}
