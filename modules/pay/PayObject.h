#pragma once

#include "IAppObject.h"
#include "ModuleParts.h"

class PayView;
class PayViewModel;
class PayModel;

// The VIP purchase window module. It owns itself: CLOSE_VIP_PURCHASE
// releases it, and the session's membership is then loaded again.
class PayObject : public IAppObject {
    Q_OBJECT
public:
    PayObject();
    ~PayObject() override;

    // Creates a purchase window, shows it and leaves it to itself.
    static PayObject* open();

    void show(bool visible) override;
    void onEvent(int id, const AnyValue& value) override;

    PayView* view() const { return m_parts.view; }
    PayViewModel* viewModel() const { return m_parts.viewModel; }
    PayModel* model() const { return m_parts.model; }

private:
    void connectParts();
    void close();

    ModuleParts<PayView, PayViewModel, PayModel> m_parts;
    bool m_closing = false;
};
