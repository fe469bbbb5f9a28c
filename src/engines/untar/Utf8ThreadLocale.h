#pragma once

#include <locale.h>

namespace quarvo {

// Puts the calling thread under a UTF-8 character type (C.UTF-8) for the object's lifetime and
// restores the thread's own locale afterwards; the process locale is left alone. libarchive converts
// names between a header's character set and the current locale: under a UTF-8 locale the UTF-8
// names of pax headers come out as they are stored, where the "C" locale of a program that never
// called setlocale would turn every letter beyond ASCII into "?". When no UTF-8 locale exists, the
// thread stays as it was.
class Utf8ThreadLocale {
  public:
    Utf8ThreadLocale();
    ~Utf8ThreadLocale();
    Utf8ThreadLocale(const Utf8ThreadLocale&) = delete;
    Utf8ThreadLocale& operator=(const Utf8ThreadLocale&) = delete;

  private:
    locale_t m_utf8 = nullptr;
    locale_t m_previous = nullptr;
};

} // namespace quarvo
