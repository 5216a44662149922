#pragma once

#include <QRect>
#include <QSizeF>
#include <initializer_list>

class QWidget;

namespace zandrel {

/// Places a window by its outer frame as the forms give it (left, top, width, height in
/// pixels). The client area is the frame less a standard border: 8 pixels each side and a
/// 22-pixel caption bar above. The window manager may still move the window.
void SetFormBounds(QWidget& window, int left, int top, int width, int height);

/// How much wider and taller the controls must be than the form gives them so that their texts
/// fit in the font actually used (the form was laid out for "MS Sans Serif", which few systems
/// have): for each control the ratio of its size hint to its design size; never below 1.
QSizeF TextFitScale(std::initializer_list<std::pair<const QWidget*, QSize>> controls);

/// A design rectangle in the scaled form.
QRect ScaledRect(const QRect& design, QSizeF scale);

inline constexpr int kFrameBorder = 8;
inline constexpr int kFrameCaption = 22;

}  // namespace zandrel
