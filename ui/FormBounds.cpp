#include "ui/FormBounds.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace zandrel {

void SetFormBounds(QWidget& window, int left, int top, int width, int height) {
    window.move(left, top);
    window.resize(std::max(1, width - 2 * kFrameBorder),
                  std::max(1, height - 2 * kFrameBorder - kFrameCaption));
}

QSizeF TextFitScale(std::initializer_list<std::pair<const QWidget*, QSize>> controls) {
    QSizeF scale(1.0, 1.0);
    for (const auto& [control, design] : controls) {
        const QSize hint = control->sizeHint();
        if (design.width() > 0)
            scale.setWidth(std::max(scale.width(), double(hint.width()) / design.width()));
        if (design.height() > 0)
            scale.setHeight(std::max(scale.height(), double(hint.height()) / design.height()));
    }
    // Beyond double size a control's text is no longer the reason.
    return QSizeF(std::min(scale.width(), 2.0), std::min(scale.height(), 2.0));
}

QRect ScaledRect(const QRect& design, QSizeF scale) {
    const auto x = [&](int v) { return static_cast<int>(std::lround(v * scale.width())); };
    const auto y = [&](int v) { return static_cast<int>(std::lround(v * scale.height())); };
    return QRect(QPoint(x(design.left()), y(design.top())),
                 QPoint(x(design.right() + 1) - 1, y(design.bottom() + 1) - 1));
}

}  // namespace zandrel
