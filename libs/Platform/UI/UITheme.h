#pragma once

#include "Graphics/UIColor.h"
#include "Graphics/UIFont.h"

namespace platform {

// The colours and fonts the toolkit's own controls draw with (buttons, alerts, action sheets,
// bars, the status bar), in one place so that a program sets its look once, before its first
// screen: `UITheme::current() = myTheme;`. Views read it when they are made; main thread only.
struct UITheme {
  // Rounded-rect buttons.
  UIColor buttonTitle = UIColor::colorWithRed(0.196, 0.310, 0.522, 1);
  UIColor buttonHighlightedTitle = UIColor::whiteColor();
  UIColor buttonBorder = UIColor::colorWithWhite(0.6, 1);
  UIColor buttonFill = UIColor::whiteColor();
  UIColor buttonHighlightedFill = UIColor::colorWithRed(0.02, 0.45, 0.96, 1);
  UIFont buttonFont = UIFont::boldSystemFontOfSize(15);

  // What dims the screen behind an alert or a sheet.
  UIColor dimming = UIColor::colorWithWhite(0, 0.4);

  // Alerts.
  UIColor alertBox = UIColor::colorWithRed(0.1, 0.15, 0.3, 0.92);
  UIColor alertButton = UIColor::colorWithWhite(1, 0.15);
  UIFont alertTitleFont = UIFont::boldSystemFontOfSize(17);
  UIFont alertMessageFont = UIFont::systemFontOfSize(15);

  // Action sheets and the share sheet.
  UIColor sheetPanel = UIColor::colorWithRed(0.12, 0.12, 0.14, 0.95);
  UIColor sheetTitle = UIColor::colorWithWhite(0.85, 1);
  UIFont sheetTitleFont = UIFont::systemFontOfSize(13);
  UIColor sheetButton = UIColor::colorWithWhite(0.4, 1);
  UIColor sheetCancelButton = UIColor::colorWithWhite(0.25, 1);
  UIColor sheetDestructiveButton = UIColor::colorWithRed(0.75, 0.1, 0.1, 1);

  // Navigation bars, the picker's and the mail composer's bars.
  UIColor navigationBar = UIColor::colorWithWhite(0.35, 1);
  UIColor navigationBackButton = UIColor::colorWithWhite(0.5, 1);
  UIColor systemBar = UIColor::colorWithRed(0.45, 0.55, 0.68, 1);
  UIFont barTitleFont = UIFont::boldSystemFontOfSize(17);

  // The status bar: its light and dark backgrounds and the ink drawn on each.
  UIColor statusBarLight = UIColor::colorWithWhite(0.78, 1);
  UIColor statusBarDark = UIColor::blackColor();
  UIColor statusBarLightInk = UIColor::colorWithWhite(0.1, 1);
  UIColor statusBarDarkInk = UIColor::whiteColor();

  static UITheme& current();
};

}  // namespace platform
