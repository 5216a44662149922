#include "ui/BitView.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "render/Colours.h"

namespace zandrel {

namespace {

const Rgb kSilver = RgbOf(kColourSilver);

int buttonNumber(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 0;
        case Qt::RightButton:
            return 1;
        case Qt::MiddleButton:
            return 2;
        default:
            return -1;
    }
}

/// The bitmap pixel shown at each client position along one axis of a painted area (-1 outside the
/// picture), and the first and last of them.
struct AxisPixels {
    std::vector<int32_t> pixel;
    int32_t first = INT32_MAX;
    int32_t last = -1;
};

/// Computed as the pointer's bitmap position is, so that a pixel and the pointer over it agree.
AxisPixels axisPixels(int start, int count, int64_t offset, int64_t zoomedSize, int32_t size, double zoom) {
    AxisPixels axis;
    axis.pixel.resize(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        const int64_t zoomed = start + k + offset;
        int32_t b = -1;
        if (zoomed >= 0 && zoomed < zoomedSize) {
            const auto exact = static_cast<int64_t>(static_cast<double>(zoomed) * 100.0 / zoom);
            b = static_cast<int32_t>(std::min<int64_t>(exact, size - 1));
            axis.first = std::min(axis.first, b);
            axis.last = std::max(axis.last, b);
        }
        axis.pixel[static_cast<size_t>(k)] = b;
    }
    return axis;
}

}  // namespace

BitView::BitView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::ArrowCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, QColor(kSilver.r, kSilver.g, kSilver.b));
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(false);
}

BitView::~BitView() = default;

void BitView::showPicture(const Document& doc) {
    doc_ = &doc;
    pictureWidth_ = doc.ImageWidth;
    pictureHeight_ = doc.ImageHeight;
    painter_.reset();
    if (pictureWidth_ >= 1 && pictureHeight_ >= 1) painter_ = std::make_unique<BitmapPainter>(doc);
    updateScrollBars();
    viewport()->update();
}

void BitView::cellsReplaced() {
    if (painter_ && doc_ && static_cast<size_t>(painter_->geometry().cellCount()) > doc_->Cells.size()) {
        painter_.reset();
        viewport()->update();
    }
}

void BitView::cellsChanged(const CellChangeList& changes) {
    if (!painter_) return;
    const CellGeometry& geometry = painter_->geometry();
    for (const CellChange& change : changes) {
        if (change.empty()) continue;
        CellRect first = geometry.rect(change.cell(0));
        CellRect last = geometry.rect(change.cell(change.count - 1));
        int64_t x1 = std::min(first.x1, last.x1), x2 = std::max(first.x2, last.x2);
        int64_t y1 = std::min(first.y1, last.y1), y2 = std::max(first.y2, last.y2);
        if (change.count > 1 && change.stride == 1 && first.y1 != last.y1) {
            // A range over several rows covers whole rows between its ends.
            x1 = 0;
            x2 = pictureWidth_ - 1;
        }
        viewport()->update(clientRectOf(x1, y1, x2, y2));
    }
}

int64_t BitView::zoomedWidth() const {
    return static_cast<int64_t>(std::floor(static_cast<double>(pictureWidth_) * zoom_ / 100.0));
}

int64_t BitView::zoomedHeight() const {
    return static_cast<int64_t>(std::floor(static_cast<double>(pictureHeight_) * zoom_ / 100.0));
}

int32_t BitView::ViewX() const {
    return zoomedWidth() > viewport()->width() ? horizontalScrollBar()->value() : 0;
}

int32_t BitView::ViewY() const {
    return zoomedHeight() > viewport()->height() ? verticalScrollBar()->value() : 0;
}

int32_t BitView::ImageOriginX() const {
    int64_t free = viewport()->width() - std::max<int64_t>(zoomedWidth(), 0);
    return free > 0 ? static_cast<int32_t>(free / 2) : 0;
}

int32_t BitView::ImageOriginY() const {
    int64_t free = viewport()->height() - std::max<int64_t>(zoomedHeight(), 0);
    return free > 0 ? static_cast<int32_t>(free / 2) : 0;
}

void BitView::updateScrollBars() {
    auto setRange = [](QScrollBar* bar, int64_t content, int page) {
        int64_t maximum = std::clamp<int64_t>(content - page, 0, INT32_MAX);
        bar->setRange(0, static_cast<int>(maximum));
        bar->setPageStep(std::max(page, 1));
        bar->setSingleStep(std::max(page / 20, 1));
    };
    setRange(horizontalScrollBar(), zoomedWidth(), viewport()->width());
    setRange(verticalScrollBar(), zoomedHeight(), viewport()->height());
}

QRect BitView::clientRectOf(int64_t x1, int64_t y1, int64_t x2, int64_t y2) const {
    const double scale = zoom_ / 100.0;
    auto clientX = [&](double bx) { return bx * scale + ImageOriginX() - ViewX(); };
    auto clientY = [&](double by) { return by * scale + ImageOriginY() - ViewY(); };
    double left = std::floor(clientX(static_cast<double>(x1))) - 1;
    double right = std::ceil(clientX(static_cast<double>(x2 + 1))) + 1;
    double top = std::floor(clientY(static_cast<double>(y1))) - 1;
    double bottom = std::ceil(clientY(static_cast<double>(y2 + 1))) + 1;
    const double limit = 1 << 30;
    auto bound = [limit](double v) { return static_cast<int>(std::clamp(v, -limit, limit)); };
    return QRect(QPoint(bound(left), bound(top)), QPoint(bound(right), bound(bottom)));
}

void BitView::paintEvent(QPaintEvent* event) {
    QPainter screen(viewport());
    const QRect area = event->rect().intersected(viewport()->rect());
    if (area.isEmpty()) return;
    QImage image(area.size(), QImage::Format_RGB888);
    image.fill(QColor(kSilver.r, kSilver.g, kSilver.b));

    if (painter_ && doc_ && static_cast<size_t>(painter_->geometry().cellCount()) <= doc_->Cells.size()) {
        const AxisPixels columns = axisPixels(area.left(), area.width(), int64_t{ViewX()} - ImageOriginX(),
                                              zoomedWidth(), pictureWidth_, zoom_);
        const AxisPixels rows = axisPixels(area.top(), area.height(), int64_t{ViewY()} - ImageOriginY(),
                                           zoomedHeight(), pictureHeight_, zoom_);
        const std::vector<int32_t>& columnPixel = columns.pixel;
        const std::vector<int32_t>& rowPixel = rows.pixel;
        const int32_t firstX = columns.first, lastX = columns.last;
        const int32_t firstY = rows.first, lastY = rows.last;
        if (lastX >= 0 && lastY >= 0) {
            const int32_t blockWidth = lastX - firstX + 1;
            const int64_t blockRows = int64_t{lastY} - firstY + 1;
            const size_t stride = size_t{3} * static_cast<size_t>(blockWidth);
            // Zoomed in or at 100 %, the bitmap part shown is no larger than the area: it is
            // drawn at once. Zoomed far out, one bitmap line is drawn per client line instead.
            const bool wholeBlock = blockRows * blockWidth <= 4 * int64_t{area.width()} * area.height();
            std::vector<uint8_t> block(stride * static_cast<size_t>(wholeBlock ? blockRows : 1));
            if (wholeBlock)
                painter_->paint(RasterRegion{block.data(), stride, firstX, firstY, blockWidth,
                                             static_cast<int32_t>(blockRows)});
            int32_t lineRow = -1;
            for (int cy = 0; cy < area.height(); ++cy) {
                const int32_t by = rowPixel[static_cast<size_t>(cy)];
                if (by < 0) continue;
                const uint8_t* line = block.data();
                if (wholeBlock) {
                    line += stride * static_cast<size_t>(by - firstY);
                } else if (by != lineRow) {
                    painter_->paint(RasterRegion{block.data(), stride, firstX, by, blockWidth, 1});
                    lineRow = by;
                }
                uint8_t* out = image.scanLine(cy);
                for (int cx = 0; cx < area.width(); ++cx) {
                    const int32_t bx = columnPixel[static_cast<size_t>(cx)];
                    if (bx < 0) continue;
                    const uint8_t* pixel = line + size_t{3} * static_cast<size_t>(bx - firstX);
                    out[3 * cx] = pixel[0];
                    out[3 * cx + 1] = pixel[1];
                    out[3 * cx + 2] = pixel[2];
                }
            }
        }
    }
    screen.drawImage(area.topLeft(), image);
}

void BitView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void BitView::scrollContentsBy(int, int) { viewport()->update(); }

void BitView::setZoom(double percent, QPoint anchor) {
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (percent == zoom_) return;
    const double bitmapX = (anchor.x() - ImageOriginX() + ViewX()) * 100.0 / zoom_;
    const double bitmapY = (anchor.y() - ImageOriginY() + ViewY()) * 100.0 / zoom_;
    zoom_ = percent;
    updateScrollBars();
    horizontalScrollBar()->setValue(static_cast<int>(
        std::clamp(bitmapX * zoom_ / 100.0 - anchor.x(), 0.0, static_cast<double>(INT32_MAX))));
    verticalScrollBar()->setValue(static_cast<int>(
        std::clamp(bitmapY * zoom_ / 100.0 - anchor.y(), 0.0, static_cast<double>(INT32_MAX))));
    viewport()->update();
}

void BitView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    setZoom(zoom_ * std::pow(1.25, notches), event->position().toPoint());
    event->accept();
}

void BitView::mousePressEvent(QMouseEvent* event) {
    int button = buttonNumber(event->button());
    if (button >= 0 && OnMouseDown)
        OnMouseDown(button, event->position().toPoint().x(), event->position().toPoint().y());
}

void BitView::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) OnMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

void BitView::mouseReleaseEvent(QMouseEvent* event) {
    int button = buttonNumber(event->button());
    if (button >= 0 && OnMouseUp)
        OnMouseUp(button, event->position().toPoint().x(), event->position().toPoint().y());
}

}  // namespace zandrel
