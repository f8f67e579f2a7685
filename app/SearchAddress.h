// Composition of the web-search address for the text of the search box.
#pragma once

#include <cstddef>

// Host of the search engine whose results page is opened.
inline constexpr wchar_t kSearchHost[] = L"www.baidu.com";

// Room for the composed address, terminator included. Wine's shell crashes the caller once a
// URL handed to the browser passes about 980 characters, so addresses stay well below that.
inline constexpr std::size_t kSearchAddressCapacity = 768;

// Writes into `address` (room for `capacity` characters, terminator included) the results-page
// address for `text`, the text percent-encoded as UTF-8. When the whole text does not fit, it is
// cut after the last whole character that does. Returns the number of characters of `text` used.
// A null text counts as empty; a capacity too small for the fixed part gives an empty address.
std::size_t ComposeSearchAddress(const wchar_t* text, wchar_t* address, std::size_t capacity);

// Appends the percent-encoded UTF-8 form of one code point to `out` (room for at least 12
// characters); returns the number of characters written. Unreserved ASCII stays as it is.
std::size_t PercentEncodeCodePoint(char32_t codePoint, wchar_t* out);
