#pragma once

#include "ChildObject.h"
#include "IAppObject.h"
#include "ModuleParts.h"

#include <QPointer>

class MainView;
class MainViewModel;
class MainModel;

// The main window module. It owns the page module on the right-hand side and
// replaces it whenever the view model's `rightPage` changes.
class MainObject : public IAppObject {
    Q_OBJECT
public:
    MainObject();
    ~MainObject() override;

    void show(bool visible) override;
    void onEvent(int id, const AnyValue& value) override;

    MainView* view() const { return m_parts.view; }
    MainViewModel* viewModel() const { return m_parts.viewModel; }
    MainModel* model() const { return m_parts.model; }
    ChildObject* page() const { return m_page; }

private:
    void connectView();
    void connectViewModel();
    void onRightPageChanged(const QString& page);
    ChildObject* createPage(const QString& page);

    ModuleParts<MainView, MainViewModel, MainModel> m_parts;
    QPointer<ChildObject> m_page;
};
