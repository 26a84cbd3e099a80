#pragma once

#include <QImage>
#include <QWidget>

// What shows at once for a file being opened, until its editing window takes its place: the
// file's name, "Opening…", and the first page as soon as it is drawn. Closing it cancels
// nothing; the editing window still comes.
//
// GUI thread only.
class RMOpeningWindow : public QWidget {
    Q_OBJECT

public:
    explicit RMOpeningWindow(const QString& name, QWidget* parent = nullptr);

    // The area the first page is drawn to fit, in logical pixels.
    QSize previewArea() const;
    void setPreview(const QImage& image);
    const QImage& preview() const { return preview_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage preview_;
};
