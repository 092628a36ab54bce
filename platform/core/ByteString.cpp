#include "ByteString.h"

#include <algorithm>
#include <cstring>

namespace bytes {

std::string_view TrimLeft(std::string_view s, std::string_view set) {
    const auto first = s.find_first_not_of(set);
    return first == std::string_view::npos ? std::string_view{} : s.substr(first);
}

static Pos ToPos(std::string_view::size_type index) {
    return index == std::string_view::npos ? npos : static_cast<Pos>(index);
}

Pos Find(std::string_view s, std::string_view what) {
    return ToPos(s.find(what));
}

Pos Find(std::string_view s, char what) {
    return ToPos(s.find(what));
}

Pos FindOneOf(std::string_view s, std::string_view set) {
    return ToPos(s.find_first_of(set));
}

Pos ReverseFind(std::string_view s, char what) {
    return ToPos(s.rfind(what));
}

std::string_view Left(std::string_view s, Pos count) {
    if (count <= 0)
        return {};
    return s.substr(0, static_cast<std::size_t>(count));
}

std::string_view Mid(std::string_view s, Pos first) {
    const auto from = static_cast<std::size_t>(std::max<Pos>(first, 0));
    return from >= s.size() ? std::string_view{} : s.substr(from);
}

std::string_view Mid(std::string_view s, Pos first, Pos count) {
    if (count <= 0)
        return {};
    return Mid(s, first).substr(0, static_cast<std::size_t>(count));
}

int Compare(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    if (n != 0) {
        if (const int r = std::memcmp(a.data(), b.data(), n); r != 0)
            return r;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace bytes
