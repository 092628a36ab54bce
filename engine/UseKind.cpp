#include "UseKind.h"

std::string_view UseKindName(UseKind kind) {
    switch (kind) {
    case UseKind::Code:
        return "code";
    case UseKind::Comment:
        return "comment";
    case UseKind::String:
        return "string";
    case UseKind::Inactive:
        return "inactive";
    case UseKind::Pasted:
        return "pasted";
    }
    return "code";
}
