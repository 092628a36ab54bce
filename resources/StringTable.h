#pragma once

#include <string_view>

// The text of string `id`, or an empty text for an unknown id.
std::string_view LoadString(int id);
