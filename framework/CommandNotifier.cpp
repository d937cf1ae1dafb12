#include "CommandNotifier.h"

#include "Facade.h"

void CommandNotifier::notifyCommand(const QString& name) {
    Facade::instance()->runCommand(name);
}
