#include "LoginObject.h"

#include "EventIds.h"
#include "LoginModel.h"
#include "LoginView.h"
#include "LoginViewModel.h"

LoginObject::LoginObject() {
    m_parts.view = new LoginView;
    m_parts.viewModel = new LoginViewModel;
    m_parts.model = new LoginModel;
    m_parts.viewModel->setModel(m_parts.model);
    m_parts.model->setViewModel(m_parts.viewModel);
    connectParts();
    m_parts.model->start();
}

LoginObject* LoginObject::open() {
    auto* login = new LoginObject; // released by itself on CLOSE_LOGIN
    login->show(true);
    return login;
}

void LoginObject::connectParts() {
    LoginView* view = m_parts.view;
    LoginViewModel* viewModel = m_parts.viewModel;
    connect(view, &LoginView::ClickClose, viewModel, &LoginViewModel::onClickClose);
    connect(view, &LoginView::LoginWithAccount, viewModel, &LoginViewModel::onLoginWithAccount);
    connect(view, &LoginView::LoginWithCode, viewModel, &LoginViewModel::onLoginWithCode);
    connect(view, &LoginView::LoginWithWX, viewModel, &LoginViewModel::onLoginWithWX);
    connect(view, &LoginView::ClickRequestCode, viewModel, &LoginViewModel::onClickRequestCode);
    connect(viewModel, &LoginViewModel::QRCodeUrlChanged, view, &LoginView::onQRCodeUrlChanged);
    connect(viewModel, &LoginViewModel::LoginFail, view, &LoginView::onLoginFail);
}

void LoginObject::show(bool visible) {
    m_parts.view->setVisible(visible);
}

void LoginObject::onEvent(int id, const AnyValue&) {
    if (id == Event::CLOSE_LOGIN)
        close();
}

void LoginObject::close() {
    if (m_closing)
        return;
    m_closing = true;
    m_parts.model->close();
    m_parts.view->hide();
    // Usually the sender's slot is still running: free everything later.
    deleteLater();
}
