#pragma once
// Small value types shared by every control: colours, results, key codes, shift state, fonts.
// Their numbering follows the classic form library the programs were written against, so a
// modal result and a message box answer are the same numbers (1 OK, 2 Cancel, 6 Yes, ...).

#include <cstdint>
#include <string>

namespace ui {

// 0x00RRGGBB, or one of the system colours below (high byte set).
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0xFF0000;
inline constexpr TColor clLime = 0x00FF00;  // pure green
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clBlue = 0x0000FF;
inline constexpr TColor clYellow = 0xFFFF00;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clMaroon = 0x800000;
inline constexpr TColor clNavy = 0x000080;
// System colours: the backend picks the real value.
inline constexpr TColor clDefault = 0x20000000;  // the widget's normal colour
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr bool isSystemColor(TColor c) {
  return (c & 0xFF000000u) != 0;
}

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

// Virtual key codes.
using Word = std::uint16_t;
inline constexpr Word VK_BACK = 8;
inline constexpr Word VK_TAB = 9;
inline constexpr Word VK_RETURN = 13;
inline constexpr Word VK_ESCAPE = 27;
inline constexpr Word VK_SPACE = 32;
inline constexpr Word VK_PRIOR = 33;
inline constexpr Word VK_NEXT = 34;
inline constexpr Word VK_END = 35;
inline constexpr Word VK_HOME = 36;
inline constexpr Word VK_LEFT = 37;
inline constexpr Word VK_UP = 38;
inline constexpr Word VK_RIGHT = 39;
inline constexpr Word VK_DOWN = 40;
inline constexpr Word VK_INSERT = 45;
inline constexpr Word VK_DELETE = 46;

// Bit set of modifier keys and mouse buttons held during an input event.
using TShiftState = unsigned;
inline constexpr TShiftState ssNone = 0;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;
inline constexpr TShiftState ssDouble = 64;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TCursor : int { crDefault = 0, crHourGlass = -11 };

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TFont {
  std::string Name;  // empty: the backend's default face
  int Size = 8;      // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  TColor Color = clWindowText;
  bool operator==(const TFont&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool operator==(const TRect&) const = default;
};

}  // namespace ui
