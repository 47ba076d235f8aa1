#pragma once
// The namespaces FB2 books are written in. Books of the 2.1 revision differ from 2.0 books only
// in the namespace URI, so every reader of FB2 accepts both.
#include <cstring>

namespace lbv {

inline constexpr char kFictionBookNamespace[] = "http://www.gribuser.ru/xml/fictionbook/2.0";
inline constexpr char kFictionBook21Namespace[] = "http://www.gribuser.ru/xml/fictionbook/2.1";

inline bool IsFictionBookNamespace(const char* uri)
{
    return uri
        && (std::strcmp(uri, kFictionBookNamespace) == 0
            || std::strcmp(uri, kFictionBook21Namespace) == 0);
}

} // namespace lbv
