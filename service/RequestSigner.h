#pragma once

#include <QMap>
#include <QVariant>

using ParamMap = QMap<QString, QVariant>;

// The request signature: MD5 over key+value of every parameter in key order
// (the signing key included as `security_key`), lower-case hex.
class RequestSigner {
public:
    static QString sign(const ParamMap& params);
    // The map with `security_key` added, as it is signed.
    static ParamMap withKey(ParamMap params);
    static QString timestamp();
};
