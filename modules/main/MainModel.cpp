#include "MainModel.h"

#include "EventIds.h"

MainModel::MainModel(QObject* parent) : Mediator(parent) { onViewInvalidated(); }

void MainModel::start()
{
    dispatchEvent(Event::REQ_NATURES, AnyValue());
    dispatchEvent(Event::REQ_CATEGORIES, AnyValue());
}
