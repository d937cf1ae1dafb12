#include "Application.h"

#include "EventIds.h"
#include "Facade.h"
#include "HttpHandler.h"
#include "MainObject.h"
#include "OperateHandler.h"

#include <QCoreApplication>

Application::Application() {
    addEventListener(Event::SHOW_VIEW);
    addEventListener(Event::QUIT_APP);
}

void Application::start() {
    Facade* facade = Facade::instance();
    auto* record = new UserDao; // the one record of the run: never freed, handlers keep it
    record->reset();
    facade->registDao(record);
    userDao = record;
    OperateHandler::instance();
    HttpHandler::instance();
    dispatchEvent(Event::SHOW_VIEW, AnyValue::of(VIEW_MAIN));
}

void Application::releaseCurrent() {
    if (m_current)
        m_current->deleteLater();
    m_current = nullptr;
}

void Application::onEvent(int id, const AnyValue& value) {
    if (id == Event::SHOW_VIEW) {
        const ViewType type = value.as<ViewType>();
        if (type == m_viewType)
            return;
        releaseCurrent();
        m_viewType = type;
        if (type == VIEW_MAIN) {
            m_current = new MainObject;
            m_current->show(true);
        }
    } else if (id == Event::QUIT_APP) {
        releaseCurrent();
        Facade::instance()->clearDaos();
        Facade::instance()->clearCommands();
        QCoreApplication::quit();
    }
}
