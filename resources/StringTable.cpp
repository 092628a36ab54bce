#include "StringTable.h"

#include "ResourceIds.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, std::string_view>, 5> kStrings = {{
    {IDS_ASK_AUTO_CHECK, "Check the unused words?"},
    {IDS_ASK_WIPE, "Remove the unused words?"},
    {IDS_SORTING, "Sorting..."},
    {AFX_IDS_APP_TITLE, "GlossCutter"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
}};

} // namespace

std::string_view LoadString(int id) {
    for (const auto& [key, text] : kStrings) {
        if (key == id)
            return text;
    }
    return {};
}
