#include "RequestBuilder.h"

#include "RequestEncoder.h"
#include "ServiceSettings.h"

QVariant RequestBuilder::resolve(const Endpoint::Param& param, const Inputs& inputs) {
    switch (param.source) {
    case Endpoint::Source::Text:
    case Endpoint::Source::Number:
        return param.arg;
    case Endpoint::Source::Value: {
        // A missing entry is sent as an empty value ("sort="), never left out.
        const QString text = inputs.value.value(param.arg.toString()).toString();
        return text.isNull() ? QStringLiteral("") : text;
    }
    case Endpoint::Source::Offset: {
        bool ok = false;
        const int offset = inputs.value.value(param.arg.toString()).toString().toInt(&ok);
        return ok && offset > 0 ? offset : 0;
    }
    case Endpoint::Source::RecordUid:
        return inputs.recordUid;
    case Endpoint::Source::RecordToken:
        return inputs.recordToken;
    case Endpoint::Source::Timestamp:
        return inputs.timestamp;
    case Endpoint::Source::Device:
        return inputs.device;
    }
    return {};
}

ParamMap RequestBuilder::params(const Endpoint& endpoint, const Inputs& inputs) {
    ParamMap map;
    for (const Endpoint::Param& param : endpoint.params)
        map.insert(param.key, resolve(param, inputs));
    return map;
}

QString RequestBuilder::origin(const Endpoint& endpoint) {
    return endpoint.origin == Endpoint::Origin::Dictionary ? ServiceSettings::dictOrigin()
                                                           : ServiceSettings::apiOrigin();
}

QString RequestBuilder::templateUrl(const Endpoint& endpoint, const Inputs& inputs,
                                    const QString& signature) {
    QStringList values;
    for (const Endpoint::Param& param : endpoint.params)
        if (param.placeholder)
            values << resolve(param, inputs).toString();
    if (endpoint.isSigned)
        values << signature;
    return RequestEncoder::templateUrl(origin(endpoint), endpoint.path, endpoint.queryTemplate,
                                       values);
}

QString RequestBuilder::builderUrl(const Endpoint& endpoint, const Inputs& inputs,
                                   const QString& signature) {
    QList<QPair<QString, QString>> items;
    for (const Endpoint::Param& param : endpoint.params)
        items.append({param.key, resolve(param, inputs).toString()});
    if (endpoint.isSigned)
        items.append({endpoint.signatureKey, signature});
    return RequestEncoder::builderUrl(origin(endpoint), endpoint.path, items);
}

QString RequestBuilder::jsonBody(const Endpoint& endpoint, const Inputs& inputs,
                                 const QString& signature) {
    ParamMap body = params(endpoint, inputs);
    if (endpoint.isSigned)
        body.insert(endpoint.signatureKey, signature);
    return RequestEncoder::jsonBody(body);
}

RequestBuilder::Wire RequestBuilder::build(const Endpoint& endpoint, const Inputs& inputs) {
    const QString signature =
        endpoint.isSigned ? RequestSigner::sign(RequestSigner::withKey(params(endpoint, inputs)))
                          : QString();
    Wire wire;
    switch (endpoint.style) {
    case Endpoint::Style::Template:
        wire.url = templateUrl(endpoint, inputs, signature);
        break;
    case Endpoint::Style::Builder:
        wire.url = builderUrl(endpoint, inputs, signature);
        break;
    case Endpoint::Style::JsonBody:
        wire.post = true;
        wire.url = origin(endpoint) + endpoint.path;
        wire.body = jsonBody(endpoint, inputs, signature);
        break;
    }
    return wire;
}
