#pragma once

#include <QFont>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QGroupBox;
class QStyle;

namespace velmor {

// Paints a frame behind its captions from images of it kept once drawn. Each HomeVision message
// changes captions inside the "HV DDE" frame, and the frame behind them (its shaded border and
// ground, its own caption) cost more to draw again than the captions themselves. When all the frame
// has to draw again lies behind its captions, it copies what it kept of those places: images of the
// frame as the style draws it there over the window's plain background, in the pixel format of what
// it is painted into, so that copying gives the very same pixels. A place is kept once it was drawn
// for itself (just after, outside the paint), and all are dropped when anything they depend on changes.
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
    struct Place {
        QRect rect;
        QImage image;
    };

    [[nodiscard]] Look lookNow(QImage::Format format, qreal pixelRatio) const;
    [[nodiscard]] std::vector<QRect> captionPlacesIn(const QRegion& region) const;
    [[nodiscard]] const QImage* kept(const QRect& place) const;
    void keep(const Look& look, const std::vector<QRect>& places);

    QGroupBox& m_frame;
    Look m_look;
    std::vector<Place> m_places;
    bool m_drawing = false;
};

} // namespace velmor
