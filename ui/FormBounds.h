#pragma once

class QWidget;

namespace zandrel {

/// Places a window by its outer frame as the forms give it (left, top, width, height in
/// pixels). The client area is the frame less a standard border: 8 pixels each side and a
/// 22-pixel caption bar above. The window manager may still move the window.
void SetFormBounds(QWidget& window, int left, int top, int width, int height);

inline constexpr int kFrameBorder = 8;
inline constexpr int kFrameCaption = 22;

}  // namespace zandrel
