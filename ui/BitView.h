#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/CellOps.h"
#include "core/Document.h"
#include "render/BitmapPainter.h"

namespace zandrel {

/// The scrollable, zoomable view of the bit map.
///
/// It holds no picture of its own: every paint draws the visible part straight from the cells
/// through the bit map painter, at any zoom, so a picture of any size costs only what is on
/// screen. A picture smaller than the view is centred, the area around it is silver, and the
/// mouse wheel zooms about the pointer. Positions follow the scroll, zoom and centring state
/// (ViewX, ViewY, ZoomX, ZoomY, ImageOriginX, ImageOriginY) that the pointer handlers read.
class BitView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit BitView(QWidget* parent = nullptr);
    ~BitView() override;

    /// Shows the bit map of `doc` with the layout its fields hold now, replacing the picture
    /// whole; a picture with a side below 1 shows nothing. The document must outlive the view.
    void showPicture(const Document& doc);

    /// Repaints the parts of the picture where the cells of `changes` lie, the layout being the
    /// one last shown.
    void cellsChanged(const CellChangeList& changes);

    /// Drops the picture when the cells it reads were replaced by fewer than it draws, so that no
    /// paint reads past them; the next showPicture brings it back.
    void cellsReplaced();

    int32_t pictureWidth() const { return pictureWidth_; }
    int32_t pictureHeight() const { return pictureHeight_; }

    /// Scroll position in zoomed pixels; 0 along a side where the picture fits.
    int32_t ViewX() const;
    int32_t ViewY() const;
    /// Zoom in percent.
    double ZoomX() const { return zoom_; }
    double ZoomY() const { return zoom_; }
    /// Client position of the picture's left and top edge: half the free space when it is
    /// smaller than the view, else 0.
    int32_t ImageOriginX() const;
    int32_t ImageOriginY() const;

    /// Sets the zoom, keeping the bitmap point under client position `anchor` in place.
    void setZoom(double percent, QPoint anchor);

    static constexpr double kMinZoom = 1.0;
    static constexpr double kMaxZoom = 6400.0;

    /// Pointer events in client coordinates; buttons numbered left 0, right 1, middle 2.
    std::function<void(int button, int x, int y)> OnMouseDown;
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void(int button, int x, int y)> OnMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int64_t zoomedWidth() const;
    int64_t zoomedHeight() const;
    void updateScrollBars();
    /// The client rectangle showing bitmap pixels x1..x2, y1..y2 (inclusive).
    QRect clientRectOf(int64_t x1, int64_t y1, int64_t x2, int64_t y2) const;

    const Document* doc_ = nullptr;
    std::unique_ptr<BitmapPainter> painter_;
    int32_t pictureWidth_ = 0;
    int32_t pictureHeight_ = 0;
    double zoom_ = 100.0;
};

}  // namespace zandrel
