#pragma once

#include <array>
#include <string_view>

namespace quarvo {

// The titles of the eight columns of an archive listing, left to right.
constexpr std::array<std::string_view, 8> columnTitles = {"Name",  "Date", "Time", "Size",
                                                          "Comp.", "%",    "Attr", "Path->Comment"};

namespace columnTitle {
constexpr size_t Name = 0;
constexpr size_t Date = 1;
constexpr size_t Time = 2;
constexpr size_t Size = 3;
constexpr size_t Compressed = 4;
constexpr size_t Ratio = 5;
constexpr size_t Attributes = 6;
constexpr size_t PathAndComment = 7;
} // namespace columnTitle

} // namespace quarvo
