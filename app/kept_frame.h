#pragma once

#include <QFont>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

class QGroupBox;
class QStyle;

namespace velmor {

// Paints a frame from an image of it kept once it was drawn. Each HomeVision message changes captions
// inside the "HV DDE" frame, and the frame behind them (its shaded border and its caption) cost more
// to draw again than the captions themselves. The image is the frame as the style draws it over the
// window's plain background, in the pixel format of what it is painted into, so that copying it gives
// the very same pixels. Until it is made, and whenever anything it depends on changed, the frame is
// drawn as ever and the image is made again right after.
class KeptFrame : public QObject {
    Q_OBJECT
public:
    explicit KeptFrame(QGroupBox& frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // All that the frame's look depends on.
    struct Look {
        QSize size;
        QString title;
        qint64 palette = 0;
        QFont font;
        const QStyle* style = nullptr;
        bool enabled = false;
        bool active = false;
        qreal pixelRatio = 1.0;
        QImage::Format format = QImage::Format_Invalid;

        friend bool operator==(const Look&, const Look&) = default;
    };

    [[nodiscard]] Look lookNow(QImage::Format format, qreal pixelRatio) const;
    void keep(const Look& look);

    QGroupBox& m_frame;
    Look m_look;
    QImage m_image;
    bool m_drawing = false;
    bool m_keepingDue = false;
};

} // namespace velmor
