#pragma once

#include "Endpoint.h"
#include "RequestSigner.h"

// Turns an endpoint and the values at hand into the request that goes out.
class RequestBuilder {
public:
    // Everything a request's parameters may be taken from.
    struct Inputs {
        QVariantMap value; // the request event's value
        QString recordUid;
        QString recordToken;
        QString timestamp;
        QString device;
    };
    struct Wire {
        bool post = false;
        QString url;
        QString body;
    };

    static Wire build(const Endpoint& endpoint, const Inputs& inputs);
    // The parameters as they are signed, without `security_key`.
    static ParamMap params(const Endpoint& endpoint, const Inputs& inputs);

private:
    static QVariant resolve(const Endpoint::Param& param, const Inputs& inputs);
    static QString origin(const Endpoint& endpoint);
    static QString templateUrl(const Endpoint& endpoint, const Inputs& inputs,
                               const QString& signature);
    static QString builderUrl(const Endpoint& endpoint, const Inputs& inputs,
                              const QString& signature);
    static QString jsonBody(const Endpoint& endpoint, const Inputs& inputs,
                            const QString& signature);
};
