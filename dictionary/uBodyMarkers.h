#pragma once
// A decoded article body made readable: the tag and line-break units 1 to 15
// are shown as the source tags that produce them, special-font characters as
// "$" and four hexadecimal digits.
#include <string>
#include <string_view>

std::u16string BodyWithMarkers(std::u16string_view body);
