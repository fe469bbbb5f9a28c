#include "core/printing/TextWrap.h"

#include "core/listing/ColumnLayout.h"
#include "core/text/Utf8Characters.h"

namespace quarvo {

namespace {

// The paragraphs of a text, without their line breaks and without the empty ones at the end.
std::vector<std::string_view> paragraphsOf(std::string_view text)
{
    std::vector<std::string_view> paragraphs;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        paragraphs.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    paragraphs.push_back(text.substr(start));
    while (!paragraphs.empty() && paragraphs.back().empty())
        paragraphs.pop_back();
    return paragraphs;
}

// Fills the lines of one paragraph, word by word.
class LineFiller {
public:
    LineFiller(int32_t width, const TextMeasurer& measurer, std::vector<std::string>& lines)
        : m_width(width), m_measurer(measurer), m_lines(lines)
    {
    }

    // Splitting at every single space keeps runs of spaces as empty words, so joining the words of a
    // line with one space each gives back its spacing.
    void fillParagraph(std::string_view paragraph)
    {
        size_t start = 0;
        for (size_t space = paragraph.find(' '); space != std::string_view::npos; space = paragraph.find(' ', start)) {
            addWord(paragraph.substr(start, space - start));
            start = space + 1;
        }
        addWord(paragraph.substr(start));
        m_lines.push_back(std::move(m_line));
    }

private:
    void addWord(std::string_view word)
    {
        if (m_wordsOnLine == 0) {
            startLineWith(word);
            return;
        }
        std::string candidate = m_line + ' ' + std::string(word);
        if (m_measurer.textWidth(candidate) <= m_width) {
            m_line = std::move(candidate);
            ++m_wordsOnLine;
            return;
        }
        breakLine();
        startLineWith(word);
    }

    // A word that begins a line: spaces after a break are dropped, a word too wide for any line is
    // cut into pieces that fit (a single character wider than the line stays whole).
    void startLineWith(std::string_view word)
    {
        if (word.empty() && m_afterBreak)
            return;
        while (m_measurer.textWidth(word) > m_width && nextCharacterBoundary(word, 0) < word.size()) {
            size_t cut = fittingPrefixLength(word);
            m_line = std::string(word.substr(0, cut));
            word.remove_prefix(cut);
            breakLine();
        }
        m_line = std::string(word);
        m_wordsOnLine = 1;
        m_afterBreak = false;
    }

    void breakLine()
    {
        m_lines.push_back(std::move(m_line));
        m_line.clear();
        m_wordsOnLine = 0;
        m_afterBreak = true;
    }

    // The longest run of whole characters from the word's start that fits the width, summing the
    // characters' widths (a word long enough to need this can be thousands of characters), and at
    // least one character.
    size_t fittingPrefixLength(std::string_view word) const
    {
        size_t end = nextCharacterBoundary(word, 0);
        int32_t used = m_measurer.textWidth(word.substr(0, end));
        while (end < word.size()) {
            size_t next = nextCharacterBoundary(word, end);
            used += m_measurer.textWidth(word.substr(end, next - end));
            if (used > m_width)
                break;
            end = next;
        }
        return end;
    }

    int32_t m_width;
    const TextMeasurer& m_measurer;
    std::vector<std::string>& m_lines;
    std::string m_line;
    size_t m_wordsOnLine = 0;
    bool m_afterBreak = false;
};

} // namespace

std::vector<std::string> wrapText(std::string_view text, int32_t width, const TextMeasurer& measurer)
{
    std::vector<std::string> lines;
    for (std::string_view paragraph : paragraphsOf(text))
        LineFiller(width, measurer, lines).fillParagraph(paragraph);
    return lines;
}

} // namespace quarvo
