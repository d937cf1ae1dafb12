#pragma once

#include "IAppObject.h"
#include "ModuleParts.h"

class LoginView;
class LoginViewModel;
class LoginModel;

// The login window module. It owns itself: CLOSE_LOGIN (close button or a
// successful login) releases it, whichever window sent it.
class LoginObject : public IAppObject {
    Q_OBJECT
public:
    LoginObject();

    // Creates a login window, shows it and leaves it to itself.
    static LoginObject* open();

    void show(bool visible) override;
    void onEvent(int id, const AnyValue& value) override;

    LoginView* view() const { return m_parts.view; }
    LoginViewModel* viewModel() const { return m_parts.viewModel; }
    LoginModel* model() const { return m_parts.model; }

private:
    void connectParts();
    void close();

    ModuleParts<LoginView, LoginViewModel, LoginModel> m_parts;
    bool m_closing = false;
};
