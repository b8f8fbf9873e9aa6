#pragma once
// Renders a form as it looks on screen, for reviews and documentation: works for a form that
// is not shown, and under QT_QPA_PLATFORM=offscreen.

#include <QImage>
#include <string>

#include "platform/status.h"
#include "ui/form.h"

namespace ui::qt {

// The form's window (menu bar and client area) as an image. The Qt backend must be the current
// backend; the form's peers are made when it has none yet.
QImage renderForm(TForm& form);
// The same image written as a PNG file.
platform::Status saveFormPng(TForm& form, const std::string& path);

}  // namespace ui::qt
