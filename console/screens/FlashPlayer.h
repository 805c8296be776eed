// The members of the Flash control that the console uses, as the screens' logic
// sees them. CShockwaveFlash is the real one; tests record and script their own.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <string>

class IFlashPlayer {
 public:
  virtual ~IFlashPlayer() = default;
  virtual void PutMovie(const std::string& strPath) = 0;
  virtual void PutScale(const std::string& strScale) = 0;
  virtual void PutAlignMode(long nAlignMode) = 0;
  virtual void PutBackgroundColor(long nColor) = 0;
  virtual void SetVariable(const std::string& strName, const std::string& strValue) = 0;
  virtual std::string GetVariable(const std::string& strName) = 0;
  virtual void TGotoLabel(const std::string& strTarget, const std::string& strLabel) = 0;
};
