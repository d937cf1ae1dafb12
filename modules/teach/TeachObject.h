#pragma once

#include "IAppObject.h"
#include "ModuleParts.h"

class TeachView;
class TeachViewModel;
class TeachModel;

// The teaching window module. It owns itself: its close button announces
// TEACHING_CLOSED (the main window and the video page come back) and
// releases the module.
class TeachObject : public IAppObject {
    Q_OBJECT
public:
    static constexpr int kToastMs = 3000;

    explicit TeachObject(const QVariant& content);
    ~TeachObject() override;

    // Opens a teaching window full screen for the video page's content, or
    // says why it cannot and returns nullptr (no clip address yet).
    static TeachObject* open(const QVariant& content);
    static bool canTeach(const QVariant& content);

    void show(bool visible) override;

    TeachView* view() const { return m_parts.view; }
    TeachViewModel* viewModel() const { return m_parts.viewModel; }
    TeachModel* model() const { return m_parts.model; }

private:
    void connectParts();
    void close();

    ModuleParts<TeachView, TeachViewModel, TeachModel> m_parts;
    bool m_closing = false;
};
