#include "core/launch/WordSplitter.h"

namespace quarvo {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The characters a backslash escapes inside double quotes.
bool escapesInDoubleQuotes(char c)
{
    return c == '"' || c == '\\' || c == '$' || c == '`';
}

bool needsNoQuoting(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("_-.,/+:=@%").find(c) != std::string_view::npos;
}

// The two kinds of quoted section, read into word from just after the opening quote; each returns
// the position after the closing quote (or the end of the text when there is none).
size_t readSingleQuoted(std::string_view text, size_t position, std::string& word)
{
    size_t closing = text.find('\'', position);
    if (closing == std::string_view::npos) {
        word.append(text.substr(position));
        return text.size();
    }
    word.append(text.substr(position, closing - position));
    return closing + 1;
}

size_t readDoubleQuoted(std::string_view text, size_t position, std::string& word)
{
    while (position < text.size()) {
        char c = text[position];
        if (c == '"')
            return position + 1;
        if (c == '\\' && position + 1 < text.size() && escapesInDoubleQuotes(text[position + 1])) {
            word += text[position + 1];
            position += 2;
            continue;
        }
        word += c;
        ++position;
    }
    return position;
}

} // namespace

std::vector<std::string> splitWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    size_t position = 0;
    while (position < text.size()) {
        char c = text[position];
        if (isBlank(c)) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++position;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            position = readSingleQuoted(text, position + 1, word);
        } else if (c == '"') {
            position = readDoubleQuoted(text, position + 1, word);
        } else if (c == '\\' && position + 1 < text.size()) {
            word += text[position + 1];
            position += 2;
        } else {
            word += c;
            ++position;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::string quoteWord(std::string_view word)
{
    bool plain = !word.empty();
    for (char c : word)
        plain = plain && needsNoQuoting(c);
    if (plain)
        return std::string(word);
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

} // namespace quarvo
