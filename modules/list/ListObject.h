#pragma once

#include "ChildObject.h"
#include "ModuleParts.h"

class ListView;
class ListViewModel;
class ListModel;

// A list page module: nature lists, "more", search results, favourites and
// album contents, by the mode the main window gives it.
class ListObject : public ChildObject {
    Q_OBJECT
public:
    explicit ListObject(QObject* mainObject);
    // Defined where the parts are complete types.
    ~ListObject() override;

    void show(bool visible) override;
    QWidget* view() override;
    QObject* viewModel() override;
    QObject* model() override;

    ListView* listView() const { return m_parts.view; }
    ListViewModel* listViewModel() const { return m_parts.viewModel; }

private:
    void connectParts();

    ModuleParts<ListView, ListViewModel, ListModel> m_parts;
};
