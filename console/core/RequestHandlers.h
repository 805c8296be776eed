// The handling of every engine request up to its verdict: the entry of the
// permission list found or appended, the protection switch, the list and entry
// permissions, the user's answer through the alert, remembered answers, the
// counters, the alert log and the main window's rows. Platform-free: the alert,
// localised texts and the clock come through IRequestServices.
#pragma once

#include "console/core/CoreLayer.h"

#include <cstdint>
#include <string>

#include "console/core/RequestRecord.h"
#include "console/screens/AlertScreen.h"
#include "console/screens/MainWindowNotifications.h"
#include "console/settings/AlertLog.h"
#include "console/settings/LocalTime.h"
#include "console/settings/PermissionLists.h"
#include "shared/EventLogEntries.h"
#include "shared/Policies.h"

class IRequestServices {
 public:
  virtual ~IRequestServices() = default;
  // Runs the alert modally; 1 is Allow, anything else Block. Sets nRememberAnswer.
  // Further requests may be handled while it runs.
  virtual int RunAlert(SAlertFields& fields) = 0;
  // Text of a string number in the current language.
  virtual std::string LocalText(unsigned nStringId) = 0;
  virtual SLocalTime LocalTimeNow() = 0;
  // Hands an event to the system's log; returns at once, whatever becomes of it.
  virtual void WriteEvent(SEventLogEntry entry) = 0;
};

// The state the handlers change; it belongs to the application object.
struct SRequestState {
  CMailSafeList& mailSafeList;
  CWebSiteBlockingList& webSiteBlockingList;
  CAlertLogSettings& alertLog;
  std::int32_t& nNoOfBlockedInstructions;
  std::int32_t& nNoOfBlockedInstructionsHaveHighRating;
  std::int32_t& nNoOfEmailProtection;
  std::int32_t& nNoOfWebProtection;
  // The administrators' policies in force; none when null. "BlockWithoutAsking"
  // blocks where the user would be asked, as for an alert kind not shown;
  // "BlockOnly" turns every Allow into Block: the alert's (whose text says so),
  // a remembered one and the list permission's.
  const CPolicies* pPolicies = nullptr;
};

// "%A, %B %d, %Y %H:%M:%S" with English names: "Monday, December 07, 2026 14:05:09".
std::string DateTimeText(const SLocalTime& time);

class CRequestHandlers : public IRequestHandlers {
 public:
  CRequestHandlers(const SRequestState& state, IRequestServices& services, IMainWindowNotifications& mainWindow)
      : m_state(state), m_services(services), m_mainWindow(mainWindow) {}

  int HandleWebRequest(const SWebRequest& request) override;
  int HandleMailRequest(const SMailRequest& request) override;

 private:
  struct SDecision {
    int nVerdict = VERDICT_ALLOW;
    std::string strAction;          // "Allow", "Block", or empty with protection off
    std::int32_t nRemembered = -1;  // the Action to store, -1 for none
    // Who decided: the user in the alert, or why nobody was asked.
    bool bAsked = false;
    EBlockReason eBlockReason = EBlockReason::ListPermission;
  };
  // Where web and mail requests differ in the steps they share.
  struct SChannel {
    int nAlertEvent;
    std::int32_t& nAskCounter;
    void (IMainWindowNotifications::*addRow)(int nIndex);
    void (IMainWindowNotifications::*refreshRow)(int nIndex);
  };

  // The steps of every request: the entry found or appended, the decision while
  // the list's protection is on, the alert log and the overview.
  template <class TList, class TRequest>
  int HandleRequest(TList& list, const TRequest& request, const SChannel& channel);
  // A remembered answer becomes the Action of the request's entry.
  template <class TList, class TRequest, class TEntry>
  void Remember(TList& list, const TRequest& request, TEntry entry, std::int32_t nAction, const SChannel& channel);
  // What differs: the entry a request appends and the alert it shows.
  CWebSiteItem NewEntry(const SWebRequest& request);
  CMailSafeItem NewEntry(const SMailRequest& request);
  SAlertFields AlertFields(const CWebSiteItem& entry, const SWebRequest& request);
  SAlertFields AlertFields(const CMailSafeItem& entry, const SMailRequest& request);
  // Steps by list permission, entry Action and the user's answer. fields is filled
  // by the caller; nAskCounter counts every ask.
  SDecision Decide(std::int32_t nListPermission, std::int32_t nEntryAction, int nAlertEvent, std::int32_t& nAskCounter,
                   SAlertFields& fields);
  // The event of an answered alert or of a block without one; none for an allow
  // by permission.
  template <class TEntry>
  void WriteDecisionEvent(const TEntry& entry, const SDecision& decision);
  void RecordInLog(CLogEntryDetails entry);
  void PushOverview();

  SRequestState m_state;
  IRequestServices& m_services;
  IMainWindowNotifications& m_mainWindow;
};
