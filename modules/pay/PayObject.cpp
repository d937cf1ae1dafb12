#include "PayObject.h"

#include "EventIds.h"
#include "Facade.h"
#include "MembershipRefresh.h"
#include "PayModel.h"
#include "PayView.h"
#include "PayViewModel.h"

PayObject::PayObject() {
    m_parts.view = new PayView;
    m_parts.viewModel = new PayViewModel;
    m_parts.model = new PayModel; // asks for the packages
    m_parts.viewModel->setModel(m_parts.model);
    m_parts.model->setViewModel(m_parts.viewModel);
    connectParts();
    if (UserDao* user = m_parts.model->userDao)
        m_parts.viewModel->announceUser(user->name, user->head);
}

PayObject::~PayObject() = default;

PayObject* PayObject::open() {
    auto* pay = new PayObject; // released by itself on CLOSE_VIP_PURCHASE
    pay->show(true);
    return pay;
}

void PayObject::connectParts() {
    PayView* v = m_parts.view;
    PayViewModel* vm = m_parts.viewModel;
    connect(v, &PayView::ClickClose, vm, &PayViewModel::onClickClose);
    connect(v, &PayView::ClickWechat, vm, &PayViewModel::onClickWechat);
    connect(v, &PayView::ClickAlipay, vm, &PayViewModel::onClickAlipay);
    connect(vm, &PayViewModel::UserInfoChanged, v, &PayView::onUpdateUserInfo);
    connect(vm, &PayViewModel::PayInfoChanged, v, &PayView::onUpdatePayInfo);
    connect(vm, &PayViewModel::QRCodeChanged, v, &PayView::onUpdateQRCode);
    connect(vm, &PayViewModel::NoticeChanged, v, &PayView::onUpdateNotice);
    connect(vm, &PayViewModel::MembershipChanged, v, &PayView::onUpdateMembership);
}

void PayObject::show(bool visible) {
    m_parts.view->setVisible(visible);
}

void PayObject::onEvent(int id, const AnyValue&) {
    if (id == Event::CLOSE_VIP_PURCHASE)
        close();
}

void PayObject::close() {
    if (m_closing)
        return;
    m_closing = true;
    m_parts.model->close();
    m_parts.view->hide();
    for (QObject* part : {static_cast<QObject*>(this), static_cast<QObject*>(m_parts.viewModel),
                          static_cast<QObject*>(m_parts.model)})
        Facade::instance()->detachTree(part);
    // The learner may have paid on the phone meanwhile.
    MembershipRefresh::start();
    // Usually the sender's slot is still running: free everything later.
    deleteLater();
}
