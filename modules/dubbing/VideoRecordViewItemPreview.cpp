#include "VideoRecordViewItemPreview.h"

#include "ui_VideoRecordViewItemPreview.h"

VideoRecordViewItemPreview::VideoRecordViewItemPreview(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::VideoRecordViewItemPreview>()) {
    ui->setupUi(this);
    connect(ui->btnPreview, &QPushButton::clicked, this, &VideoRecordViewItemPreview::ClickPreview);
}

VideoRecordViewItemPreview::~VideoRecordViewItemPreview() = default;

void VideoRecordViewItemPreview::setSentenceCount(int count) {
    const bool any = count > 0;
    ui->btnPreview->setEnabled(any);
    ui->btnPreview->setText(any ? QStringLiteral("预览配音")
                                : QStringLiteral("本视频没有可配音的句子"));
}
