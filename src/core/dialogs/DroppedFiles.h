#pragma once

#include "core/base/Result.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// The names an Add request ([Add("archive") "name" "name"...]) carries after its archive: each
// between a pair of double quotes, in order. Blanks, commas, parentheses and brackets between them
// are the request's own punctuation. Anything else outside the quotes means a name held a double
// quote, which the request cannot carry: the request is refused naming the text around it, rather
// than adding files the user never named. An opening quote without its closing one ends the list.
struct AddRequestRefusal {
    std::string near; // the text from the name before the stray characters to the stray ones
};
Result<std::vector<std::string>, AddRequestRefusal> namesOfAddRequest(std::string_view fileList);

// The message shown when an Add request is refused.
std::string addRequestRefusalMessage(const AddRequestRefusal& refusal);

// The lines of "Files to Compress:" for dropped or requested paths, in order: a path that is an
// existing directory gets "/*.*" (a "/" only when it lacks one), so the whole directory is added; any
// other path stays as it is.
std::vector<std::string> filesToCompressLines(const std::vector<std::string>& paths,
                                              const std::function<bool(const std::string&)>& isDirectory);

// The engine's item specification for the lines: each in double quotes, one blank between two.
// Nothing when a line holds a double quote, which the engine's list cannot carry; the first such
// line is given in rejected.
std::optional<std::string> itemSpecificationOf(const std::vector<std::string>& lines,
                                               std::string* rejected = nullptr);

// The message shown when a dropped file or a dragged entry has a name holding a double quote.
std::string quotedNameMessage(const std::string& name);

// The command a position of the drop dialog's Command list runs: add, update, freshen, move,
// move/update, move/freshen; nothing for a position outside the list.
std::optional<int> addCommandAt(int position);

} // namespace quarvo
