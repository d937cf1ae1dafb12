// A service answer as the client reads every one: status, data, message,
// and the fields a login answer copies into the session record.
#include "ServiceAnswer.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ServiceAnswer answer(QString::fromUtf8(reinterpret_cast<const char*>(data), int(size)));
    if (!answer.succeeded())
        return int(answer.message().size() < 0);
    const QVariantMap fields = answer.data().toMap();
    for (const char* key : {"uid", "nickname", "avatar", "auth_token", "upload_token", "code"})
        fields.value(QLatin1String(key)).toString();
    return int(answer.object().isEmpty());
}
