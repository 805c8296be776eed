// A Flash player for tests: records every member called, in order, and answers
// GetVariable with what was set last or scripted, as a movie would.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "console/screens/FlashPlayer.h"

class CRecordingPlayer : public IFlashPlayer {
 public:
  void PutMovie(const std::string& strPath) override { calls.push_back("Movie=" + strPath); }
  void PutScale(const std::string& strScale) override { calls.push_back("Scale=" + strScale); }
  void PutAlignMode(long n) override { calls.push_back("AlignMode=" + std::to_string(n)); }
  void PutBackgroundColor(long n) override { calls.push_back("BackgroundColor=" + std::to_string(n)); }
  void SetVariable(const std::string& strName, const std::string& strValue) override {
    calls.push_back("Set " + strName + "=" + strValue);
    values[strName] = strValue;
  }
  std::string GetVariable(const std::string& strName) override {
    calls.push_back("Get " + strName);
    return values.count(strName) ? values[strName] : std::string();
  }
  void TGotoLabel(const std::string& strTarget, const std::string& strLabel) override {
    calls.push_back("Goto " + strTarget + ":" + strLabel);
  }

  // What the user typed into the movie's fields.
  void Type(const std::string& strName, const std::string& strValue) { values[strName] = strValue; }

  std::vector<std::string> calls;
  std::map<std::string, std::string> values;
};
