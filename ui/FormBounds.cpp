#include "ui/FormBounds.h"

#include <QWidget>
#include <algorithm>

namespace zandrel {

void SetFormBounds(QWidget& window, int left, int top, int width, int height) {
    window.move(left, top);
    window.resize(std::max(1, width - 2 * kFrameBorder),
                  std::max(1, height - 2 * kFrameBorder - kFrameCaption));
}

}  // namespace zandrel
