#include "TextLine.h"

std::string_view LineBreakBytes(LineBreak lineBreak) {
    switch (lineBreak) {
    case LineBreak::Lf:
        return "\n";
    case LineBreak::CrLf:
        return "\r\n";
    case LineBreak::Cr:
        return "\r";
    case LineBreak::None:
        break;
    }
    return {};
}
