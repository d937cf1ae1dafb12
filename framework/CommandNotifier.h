#pragma once

#include <QString>

// Commands are registered with the facade by name; a notifier runs them.
class CommandNotifier {
public:
    virtual ~CommandNotifier() = default;
    void notifyCommand(const QString& name);
};
