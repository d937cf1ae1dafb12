// The service's query-string reader over any text; what the client encodes
// decodes back unchanged.
#include "QueryString.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using lintavo::QueryString;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& pair : QueryString::parse(QueryString::queryOf(text)))
        if (pair.first.size() > text.size() || pair.second.size() > text.size())
            std::abort();
    if (QueryString::decode(QueryString::encode(text)) != text)
        std::abort();
    return 0;
}
