#pragma once

#include "Json.h"

#include <map>
#include <string>

namespace lintavo {

// Parameters from a JSON request body: the top-level members of an object, each as text.
class JsonParams {
public:
    // Adds every member to `params` (members override equal keys); false when the text is not
    // a JSON object.
    static bool parseObject(const std::string& text, std::map<std::string, std::string>& params);
    // Strings as they are, booleans as "true"/"false", whole numbers in decimal without a
    // fraction, other numbers with 15 significant digits; null, arrays and objects as "".
    static std::string scalarText(const Json& value);
};

} // namespace lintavo
