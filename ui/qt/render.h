#pragma once
// Renders a form as it looks on screen, for reviews and documentation: works for a form that
// is not shown, and under QT_QPA_PLATFORM=offscreen.

#include <QImage>
#include <string>

#include "platform/status.h"
#include "ui/form.h"

namespace ui::qt {

// What goes around the window's contents. The offscreen platform has no window manager, so
// for pictures in documents the renderer draws a plain frame with the caption itself (and a
// close box when the form has a system menu).
enum class Frame { None, TitleBar };

// The form's window (menu bar and client area) as an image. The Qt backend must be the current
// backend; the form's peers are made when it has none yet.
QImage renderForm(TForm& form, Frame frame = Frame::None);
// The same image written as a PNG file.
platform::Status saveFormPng(TForm& form, const std::string& path, Frame frame = Frame::None);

}  // namespace ui::qt
