// The subtitle parser over any bytes: every record it returns has the five
// keys the player and the sentence rows read.
#include "SubtitleParser.h"

#include <QVariantMap>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    for (const QVariant& sentence : SubtitleParser::parse(bytes)) {
        const QVariantMap map = sentence.toMap();
        for (const char* key : {"line", "start", "stop", "en", "cn"})
            if (!map.contains(QLatin1String(key)))
                std::abort();
    }
    return 0;
}
