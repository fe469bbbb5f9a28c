#include "engines/untar/Utf8ThreadLocale.h"

namespace quarvo {

Utf8ThreadLocale::Utf8ThreadLocale()
{
    m_utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (m_utf8)
        m_previous = uselocale(m_utf8);
}

Utf8ThreadLocale::~Utf8ThreadLocale()
{
    if (!m_utf8)
        return;
    uselocale(m_previous);
    freelocale(m_utf8);
}

} // namespace quarvo
