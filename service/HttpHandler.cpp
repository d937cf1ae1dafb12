#include "HttpHandler.h"

HttpHandler* HttpHandler::instance()
{
    static HttpHandler* handler = new HttpHandler; // never destroyed
    return handler;
}

HttpHandler::HttpHandler() { onViewInvalidated(); }

void HttpHandler::onEvent(int, const AnyValue&) {}
