#pragma once
// Translations between the control layer's values and Qt's: texts, colours, fonts, keys,
// modal results and file filters. Kept in one place so every peer converts the same way.

#include <QColor>
#include <QFont>
#include <QKeyEvent>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "ui/dialogs.h"
#include "ui/types.h"

namespace ui::qt {

QString toQString(const std::string& text);
std::string fromQString(const QString& text);

// Line breaks: the programs write "\r", "\r\n" or "\n"; Qt wants "\n".
QString withQtLineBreaks(const std::string& text);
// A label shows "&&" as "&" and drops a single "&" (the access key mark), as captions do.
QString withoutAccessMarks(const std::string& caption);
// The part of a hint shown as a tooltip: up to the first "|", with Qt line breaks.
QString tooltipText(const std::string& hint);

// nullopt for clDefault: the widget keeps its style's colour.
std::optional<QColor> toQColor(TColor color);
QFont toQFont(const TFont& font, const QFont& base);

// The virtual key of a Qt key, or 0 when the control layer has no code for it.
Word virtualKey(const QKeyEvent& event);
TShiftState shiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});
TMouseButton mouseButton(Qt::MouseButton button);

QMessageBox::StandardButton toStandardButton(TModalResult result);
TModalResult fromStandardButton(int button);

// "Text|*.txt;*.log" becomes "Text (*.txt *.log)", the form QFileDialog reads its patterns from.
QStringList toNameFilters(const std::string& filter);

}  // namespace ui::qt
