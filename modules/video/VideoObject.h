#pragma once

#include "ChildObject.h"
#include "ModuleParts.h"

class VideoView;
class VideoViewModel;
class VideoModel;

// The clip page module inside the main window.
class VideoObject : public ChildObject {
    Q_OBJECT
public:
    explicit VideoObject(QObject* mainObject);
    // Defined where the parts are complete types, so that they are destroyed.
    ~VideoObject() override;

    void show(bool visible) override;
    QWidget* view() override;
    QObject* viewModel() override;
    QObject* model() override;
    void onEvent(int id, const AnyValue& value) override;

    VideoView* videoView() const { return m_parts.view; }
    VideoViewModel* videoViewModel() const { return m_parts.viewModel; }
    VideoModel* videoModel() const { return m_parts.model; }

private:
    void connectViewSignals();
    void connectViewModelSignals();

    ModuleParts<VideoView, VideoViewModel, VideoModel> m_parts;
};
