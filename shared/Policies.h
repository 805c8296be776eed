// The values administrators set by policy (Group Policy, Intune) under
// HKLM\Software\Policies\Corvinth\Hookwarden and the same path below HKCU; the
// machine's value wins over the user's. One table names each value, its type and
// the setting it holds; the administrative templates (packaging/policies) must
// name the same values with the same types. Platform-free.
//
// A policy is an overlay: it decides where the setting is used and is never
// written into the user's own settings, so removing it gives the user's choice back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

constexpr const char* kPoliciesKeyPath = "Software\\Policies\\Corvinth\\Hookwarden";

enum class EPolicy : std::uint8_t {
  UpdateAddress,
  UpdateInterval,
  WebGuardOn,
  BlockWithoutAsking,
  BlockOnly,
  ExtensionRequired,
  PasswordRequired,
  ArchiveLog,
  ArchiveLogDays,
  Count
};

enum class EPolicyType : std::uint8_t {
  Flag,    // REG_DWORD; 1 enabled, 0 disabled
  Number,  // REG_DWORD within the row's bounds
  Text,    // REG_SZ of at most kMaxPolicyTextLength characters
};

// Longer texts are ignored as if absent; reading stays bounded.
constexpr std::size_t kMaxPolicyTextLength = 2047;

struct SPolicyRow {
  EPolicy ePolicy;
  const char* szValueName;
  EPolicyType eType;
  std::uint32_t nMin;  // numbers only
  std::uint32_t nMax;
  const char* szEffect;
  // A flag holds its setting only while enabled, unless 0 holds it off too.
  bool bOffHolds = false;
};

// In the order of EPolicy.
inline constexpr std::array<SPolicyRow, static_cast<std::size_t>(EPolicy::Count)> kPolicyRows = {{
    {EPolicy::UpdateAddress, "UpdateAddress", EPolicyType::Text, 0, 0,
     "the address of the update manifest, for the console's checks and Update.exe"},
    {EPolicy::UpdateInterval, "UpdateInterval", EPolicyType::Number, 15, 10080, "minutes between update checks"},
    {EPolicy::WebGuardOn, "WebGuardOn", EPolicyType::Flag, 0, 1,
     "1: the web guard runs whatever the user's check box says"},
    {EPolicy::BlockWithoutAsking, "BlockWithoutAsking", EPolicyType::Flag, 0, 1,
     "1: a listed page or mail that would ask is blocked without an alert"},
    {EPolicy::BlockOnly, "BlockOnly", EPolicyType::Flag, 0, 1,
     "1: no Allow: the alert's Allow, a remembered Allow and the list permission Allow all block"},
    {EPolicy::ExtensionRequired, "ExtensionRequired", EPolicyType::Flag, 0, 1,
     "1: the browser host tells the extension that it is required"},
    {EPolicy::PasswordRequired, "PasswordRequired", EPolicyType::Flag, 0, 1,
     "1: settings cannot be changed until a password is set"},
    {EPolicy::ArchiveLog, "ArchiveLogFile", EPolicyType::Flag, 0, 1, "1 or 0: the log archive on or off", true},
    {EPolicy::ArchiveLogDays, "ArchiveLogPeriodicDays", EPolicyType::Number, 1, 255,
     "days between archives of the log file"},
}};

const SPolicyRow& PolicyRow(EPolicy ePolicy);

// The policies in force: each value typed and checked against its row.
class CPolicies {
 public:
  bool IsSet(EPolicy ePolicy) const;
  // A flag enabled (set and not 0).
  bool IsOn(EPolicy ePolicy) const;
  // The setting is the administrator's: a value set, a flag enabled (or, with
  // bOffHolds, disabled too). The screens show it so and leave it unchanged.
  bool Holds(EPolicy ePolicy) const;
  std::optional<std::uint32_t> Number(EPolicy ePolicy) const;
  std::optional<std::string> Text(EPolicy ePolicy) const;
  // The policy's value when set, strUser's otherwise.
  std::string TextOr(EPolicy ePolicy, const std::string& strUser) const;
  std::int32_t NumberOr(EPolicy ePolicy, std::int32_t nUser) const;

  // Take a value as read; false, and the policy left unset, when it does not fit
  // its row: another type, a number out of bounds, a text too long.
  bool SetNumber(EPolicy ePolicy, std::uint32_t nValue);
  bool SetText(EPolicy ePolicy, std::string strValue);

 private:
  static constexpr std::size_t kCount = static_cast<std::size_t>(EPolicy::Count);
  std::array<std::optional<std::uint32_t>, kCount> m_numbers;
  std::array<std::optional<std::string>, kCount> m_texts;
};
