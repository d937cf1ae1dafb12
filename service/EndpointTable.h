#pragma once

#include "Endpoint.h"

// Every request of the client, written once.
class EndpointTable {
public:
    static const QVector<Endpoint>& all();
    // The endpoint of a request event; nullptr for every other id.
    static const Endpoint* find(int requestEvent);
};
