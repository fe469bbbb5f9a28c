#pragma once

#include <string_view>

namespace quarvo {

// Whether key stands in text as a whole word, ignoring ASCII letter case: an occurrence counts when
// the characters around it are no ASCII letters or digits. An empty key is never found.
//
// After an occurrence that fails, the look goes on in the text after the first character of that
// occurrence, and a character dropped that way no longer counts as standing before the next one: a
// key of two A letters is found in a text of three. Search results depend on that rule, so it is kept.
bool containsKeyWord(std::string_view text, std::string_view key);

} // namespace quarvo
