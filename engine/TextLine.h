#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How a line of a text file ended, so that a rewrite can give it back as it was.
enum class LineBreak : std::uint8_t { None, Lf, CrLf, Cr };

std::string_view LineBreakBytes(LineBreak lineBreak);

// One line of a file: its text without the line break, and the break itself.
struct CTextLine {
    std::string m_strText;
    LineBreak m_nBreak = LineBreak::None;

    friend bool operator==(const CTextLine&, const CTextLine&) = default;
};

using CLineArray = std::vector<CTextLine>;
