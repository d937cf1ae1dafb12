#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class VideoRecordViewItemPreview;
}

// The last row of the record list: the one button that starts the preview.
class VideoRecordViewItemPreview : public QWidget {
    Q_OBJECT
public:
    explicit VideoRecordViewItemPreview(QWidget* parent = nullptr);
    ~VideoRecordViewItemPreview() override;

    // With no sentence rows above it there is nothing to preview: the button
    // says so and stays disabled.
    void setSentenceCount(int count);

signals:
    void ClickPreview();

private:
    std::unique_ptr<Ui::VideoRecordViewItemPreview> ui;
};
