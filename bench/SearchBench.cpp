// Runs the search of Search ZIP Files without a window, for bench/run to time against find:
//   quarvo-search-bench LOCATION KEYWORD PATTERN
// searches LOCATION and its subdirectories, self-extractors included, and prints the result lines
// and how many archives were examined.
#include "core/search/SearchLocations.h"

#include <atomic>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: quarvo-search-bench LOCATION KEYWORD PATTERN\n");
        return 2;
    }
    quarvo::SearchCriteria criteria{argv[2], argv[3], true, true};
    long archives = 0;
    quarvo::SearchListener listener;
    listener.examining = [&](const std::string& path) {
        if (!path.ends_with('/'))
            ++archives;
    };
    listener.found = [](const quarvo::SearchResultLine& line) { std::printf("%s\n", line.text.c_str()); };
    std::atomic<bool> cancel = false;
    quarvo::searchLocations(argv[1], criteria, listener, cancel);
    std::fprintf(stderr, "%ld archives examined\n", archives);
    return 0;
}
