#include "UnifiedDiff.h"

#include <algorithm>
#include <ostream>

namespace {

constexpr std::size_t kContext = 3;

// A line with its own break, so that the diff applies to a CR LF file as it
// stands; a lone CR is kept too, with an LF to end the diff's line.
void WriteLine(std::ostream& out, char sign, std::string_view prefix, const CTextLine& line) {
    out << sign << prefix << line.m_strText << LineBreakBytes(line.m_nBreak);
    if (line.m_nBreak == LineBreak::None)
        out << "\n\\ No newline at end of file\n";
    else if (line.m_nBreak == LineBreak::Cr)
        out << '\n';
}

// "start,count" of a hunk range; an empty range names the line before it.
std::string Range(std::size_t first, std::size_t count) {
    return std::to_string(count == 0 ? first : first + 1) + ',' + std::to_string(count);
}

bool NeedsQuotes(unsigned char c) {
    return c < 0x20 || c == 0x7f || c == '"' || c == '\\';
}

// One byte of a name as git writes it between quotes.
void AppendQuoted(std::string& out, unsigned char c) {
    switch (c) {
    case '\t':
        out += "\\t";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '"':
    case '\\':
        out += '\\';
        out += static_cast<char>(c);
        return;
    default:
        break;
    }
    if (!NeedsQuotes(c)) {
        out += static_cast<char>(c);
        return;
    }
    out += '\\';
    for (const int shift : {6, 3, 0})
        out += static_cast<char>('0' + ((c >> shift) & 7));
}

} // namespace

std::string DiffFileName(const std::string& path) {
    if (std::ranges::none_of(path, NeedsQuotes))
        return path;
    std::string quoted = "\"";
    for (const char ch : path)
        AppendQuoted(quoted, static_cast<unsigned char>(ch));
    return quoted + '"';
}

bool CanPatchApply(const CLineArray& lines) {
    return std::ranges::none_of(
        lines, [](const CTextLine& line) { return line.m_nBreak == LineBreak::Cr; });
}

void WriteWipeDiff(std::ostream& out, const std::string& path, const CLineArray& lines,
                   const std::vector<LineFate>& fates) {
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < fates.size(); ++i) {
        if (fates[i] != LineFate::Keep)
            changed.push_back(i);
    }
    if (changed.empty())
        return;
    const std::string name = DiffFileName(path);
    out << "--- " << name << '\n' << "+++ " << name << '\n';

    std::size_t removedBefore = 0; // lines removed before the current hunk
    std::size_t k = 0;
    while (k < changed.size()) {
        // A hunk runs while the next change lies within twice the context.
        std::size_t last = k;
        while (last + 1 < changed.size() && changed[last + 1] - changed[last] <= 2 * kContext + 1)
            ++last;
        const std::size_t begin = changed[k] > kContext ? changed[k] - kContext : 0;
        const std::size_t end = std::min(lines.size(), changed[last] + 1 + kContext);
        std::size_t removed = 0;
        for (std::size_t i = begin; i < end; ++i)
            removed += fates[i] == LineFate::Remove ? 1 : 0;
        out << "@@ -" << Range(begin, end - begin) << " +"
            << Range(begin - removedBefore, end - begin - removed) << " @@\n";
        for (std::size_t i = begin; i < end; ++i) {
            switch (fates[i]) {
            case LineFate::Keep:
                WriteLine(out, ' ', "", lines[i]);
                break;
            case LineFate::Remove:
                WriteLine(out, '-', "", lines[i]);
                break;
            case LineFate::Mark:
                WriteLine(out, '-', "", lines[i]);
                WriteLine(out, '+', kWipeMarker, lines[i]);
                break;
            }
        }
        removedBefore += removed;
        k = last + 1;
    }
}
