#pragma once

#include "ChildObject.h"
#include "ModuleParts.h"

class HomeView;
class HomeViewModel;
class HomeModel;

// The home page module, built by the main window for "HomePage".
class HomeObject : public ChildObject {
    Q_OBJECT
public:
    explicit HomeObject(QObject* mainObject);
    // Defined where the parts are complete types.
    ~HomeObject() override;

    void show(bool visible) override;
    QWidget* view() override;
    QObject* viewModel() override;
    QObject* model() override;

    HomeView* homeView() const { return m_parts.view; }
    HomeViewModel* homeViewModel() const { return m_parts.viewModel; }

private:
    void connectParts();

    ModuleParts<HomeView, HomeViewModel, HomeModel> m_parts;
};
