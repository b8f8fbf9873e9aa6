#include "ui/qt/conversions.h"

namespace ui::qt {

QString toQString(const std::string& text) {
  return QString::fromStdString(text);
}

std::string fromQString(const QString& text) {
  return text.toStdString();
}

QString withQtLineBreaks(const std::string& text) {
  QString out = toQString(text);
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return out;
}

QString withoutAccessMarks(const std::string& caption) {
  QString out;
  const QString in = toQString(caption);
  for (qsizetype i = 0; i < in.size(); ++i) {
    if (in[i] == QLatin1Char('&')) {
      if (i + 1 < in.size() && in[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += in[i];
  }
  return out;
}

QString tooltipText(const std::string& hint) {
  const std::size_t bar = hint.find('|');
  return withQtLineBreaks(bar == std::string::npos ? hint : hint.substr(0, bar));
}

std::optional<QColor> toQColor(TColor color) {
  if (color == clDefault) {
    return std::nullopt;
  }
  if (isSystemColor(color)) {
    switch (color) {
      case clBtnFace:
        return QPalette().color(QPalette::Button);
      case clWindow:
        return QPalette().color(QPalette::Base);
      case clWindowText:
        return QPalette().color(QPalette::Text);
      default:
        return std::nullopt;
    }
  }
  return QColor((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

QFont toQFont(const TFont& font, const QFont& base) {
  QFont out = base;
  if (!font.Name.empty()) {
    out.setFamily(toQString(font.Name));
  }
  if (font.Size > 0) {
    // Forms are laid out in pixels for a 96 dpi screen, so a point is 96/72 pixels whatever
    // the screen says; otherwise texts outgrow the controls on a high-dpi screen.
    out.setPixelSize(static_cast<int>(font.Size * 96.0 / 72.0 + 0.5));
  }
  out.setBold(font.Bold);
  out.setItalic(font.Italic);
  out.setUnderline(font.Underline);
  return out;
}

Word virtualKey(const QKeyEvent& event) {
  const int key = event.key();
  switch (key) {
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Delete:
      return VK_DELETE;
    default:
      break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
    return static_cast<Word>(112 + (key - Qt::Key_F1));
  }
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
    return static_cast<Word>(key);  // the virtual codes of digits and letters are their ASCII
  }
  return 0;
}

TShiftState shiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState state = ssNone;
  if (modifiers & Qt::ShiftModifier) {
    state |= ssShift;
  }
  if (modifiers & Qt::AltModifier) {
    state |= ssAlt;
  }
  if (modifiers & Qt::ControlModifier) {
    state |= ssCtrl;
  }
  if (buttons & Qt::LeftButton) {
    state |= ssLeft;
  }
  if (buttons & Qt::RightButton) {
    state |= ssRight;
  }
  if (buttons & Qt::MiddleButton) {
    state |= ssMiddle;
  }
  return state;
}

TMouseButton mouseButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return mbRight;
    case Qt::MiddleButton:
      return mbMiddle;
    default:
      return mbLeft;
  }
}

QMessageBox::StandardButton toStandardButton(TModalResult result) {
  switch (result) {
    case mrOk:
      return QMessageBox::Ok;
    case mrCancel:
      return QMessageBox::Cancel;
    case mrAbort:
      return QMessageBox::Abort;
    case mrRetry:
      return QMessageBox::Retry;
    case mrIgnore:
      return QMessageBox::Ignore;
    case mrYes:
      return QMessageBox::Yes;
    case mrNo:
      return QMessageBox::No;
    default:
      return QMessageBox::NoButton;
  }
}

TModalResult fromStandardButton(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return mrOk;
    case QMessageBox::Cancel:
      return mrCancel;
    case QMessageBox::Abort:
      return mrAbort;
    case QMessageBox::Retry:
      return mrRetry;
    case QMessageBox::Ignore:
      return mrIgnore;
    case QMessageBox::Yes:
      return mrYes;
    case QMessageBox::No:
      return mrNo;
    default:
      return mrNone;
  }
}

QStringList toNameFilters(const std::string& filter) {
  QStringList out;
  for (const FileFilter& f : parseFilter(filter)) {
    QString description = toQString(f.description).trimmed();
    // A description that already names its patterns in brackets would show them twice.
    if (description.endsWith(QLatin1Char(')'))) {
      const qsizetype open = description.lastIndexOf(QLatin1Char('('));
      if (open >= 0) {
        description = description.left(open).trimmed();
      }
    }
    QStringList patterns;
    for (const std::string& p : f.patterns) {
      patterns << toQString(p);
    }
    out << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
  }
  return out;
}

}  // namespace ui::qt
