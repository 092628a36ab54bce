#include "KeywordFileReader.h"

#include "ByteString.h"
#include "FileRead.h"
#include "KeepPatterns.h"

#include <algorithm>

void ReadLines(std::string_view bytes, CLineArray& lines) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    // Room for every line at once: a growing array would copy them all again
    // and again. A lone CR, rare, may still make it grow.
    lines.reserve(lines.size() + static_cast<std::size_t>(std::count(p, end, '\n')) + 1);
    while (p != end) {
        const char* stop = p;
        while (stop != end && *stop != '\n' && *stop != '\r')
            ++stop;
        CTextLine line{std::string(p, stop), LineBreak::None};
        if (stop != end) {
            if (*stop == '\n') {
                line.m_nBreak = LineBreak::Lf;
                ++stop;
            } else if (stop + 1 != end && stop[1] == '\n') {
                line.m_nBreak = LineBreak::CrLf;
                stop += 2;
            } else {
                line.m_nBreak = LineBreak::Cr;
                ++stop;
            }
        }
        lines.push_back(std::move(line));
        p = stop;
    }
}

std::string JoinLines(const CLineArray& lines) {
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.m_strText.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const auto& line : lines) {
        bytes += line.m_strText;
        bytes += LineBreakBytes(line.m_nBreak);
    }
    return bytes;
}

namespace {

constexpr std::string_view kBlanks = "\t ";
constexpr std::string_view kDefine = "#define";

} // namespace

void ParseKeywordLines(const CLineArray& lines, CKeywordArray& table) {
    int nIfZeroDepth = 0; // may go negative after an unmatched "#endif"; then all is marked
    int nLine = 0;
    for (const auto& line : lines) {
        ++nLine;
        std::string_view s = bytes::TrimLeft(line.m_strText, kBlanks);
        const bytes::Pos h = bytes::Find(s, kDefine);
        if (h == bytes::npos || bytes::Find(s, '"') == bytes::npos) {
            const bytes::Pos p = bytes::Find(s, "#if 0");
            if (p == 0)
                ++nIfZeroDepth;
            else if (p == bytes::npos && bytes::Find(s, "#endif") == 0)
                --nIfZeroDepth;
            continue;
        }
        const bool bMarked = h > 0 || nIfZeroDepth != 0;

        s = bytes::TrimLeft(bytes::Mid(s, h + static_cast<bytes::Pos>(kDefine.size())), kBlanks);
        const bytes::Pos m = bytes::FindOneOf(s, kBlanks);
        if (m == bytes::npos)
            continue;
        const std::string_view name = bytes::Left(s, m);
        s = bytes::TrimLeft(bytes::Mid(s, static_cast<bytes::Pos>(name.size())), kBlanks);

        std::string symbol = "g";
        symbol += bytes::Mid(name, 1);

        // A trailing comment is cut only where it starts after the last quote,
        // so "//" inside the quoted text stays.
        const bytes::Pos t = bytes::ReverseFind(s, '"');
        if (const bytes::Pos u = bytes::Find(s, "/*"); u != bytes::npos && u > t)
            s = bytes::Left(s, u);
        if (const bytes::Pos v = bytes::Find(s, "//"); v != bytes::npos && v > t)
            s = bytes::Left(s, v);
        if (!s.empty() && s.front() == '"' && s.back() == '"')
            s = bytes::Mid(s, 1, static_cast<bytes::Pos>(s.size()) - 2);

        auto& keyword = table.emplace_back(
            std::make_unique<CKeyword>(std::move(symbol), std::string(s), nLine, bMarked));
        const std::size_t index = static_cast<std::size_t>(nLine) - 1;
        keyword->m_bKept = HasKeepComment(line.m_strText) ||
                           (index > 0 && HasKeepComment(lines[index - 1].m_strText));
    }
}

std::error_code ParseKeywordFile(const std::string& path, CKeywordArray& table, CLineArray& lines) {
    std::string content;
    if (auto ec = files::ReadWholeFile(path, content))
        return ec;
    lines.clear();
    ReadLines(content, lines);
    ParseKeywordLines(lines, table);
    return {};
}
