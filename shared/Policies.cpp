#include "shared/Policies.h"

#include <utility>

namespace {

std::size_t IndexOf(EPolicy ePolicy) {
  return static_cast<std::size_t>(ePolicy);
}

// PolicyRow finds a row by its place.
constexpr bool AreRowsInOrder() {
  for (std::size_t i = 0; i < kPolicyRows.size(); ++i) {
    if (static_cast<std::size_t>(kPolicyRows[i].ePolicy) != i) return false;
  }
  return true;
}
static_assert(AreRowsInOrder(), "the policy rows must follow EPolicy");

}  // namespace

const SPolicyRow& PolicyRow(EPolicy ePolicy) {
  return kPolicyRows[IndexOf(ePolicy)];
}

bool CPolicies::IsSet(EPolicy ePolicy) const {
  return m_numbers[IndexOf(ePolicy)].has_value() || m_texts[IndexOf(ePolicy)].has_value();
}

bool CPolicies::IsOn(EPolicy ePolicy) const {
  const std::optional<std::uint32_t> nValue = Number(ePolicy);
  return nValue && *nValue != 0;
}

bool CPolicies::Holds(EPolicy ePolicy) const {
  const SPolicyRow& row = PolicyRow(ePolicy);
  return row.eType == EPolicyType::Flag && !row.bOffHolds ? IsOn(ePolicy) : IsSet(ePolicy);
}

std::optional<std::uint32_t> CPolicies::Number(EPolicy ePolicy) const {
  return m_numbers[IndexOf(ePolicy)];
}

std::optional<std::string> CPolicies::Text(EPolicy ePolicy) const {
  return m_texts[IndexOf(ePolicy)];
}

std::string CPolicies::TextOr(EPolicy ePolicy, const std::string& strUser) const {
  const std::optional<std::string>& strValue = m_texts[IndexOf(ePolicy)];
  return strValue ? *strValue : strUser;
}

std::int32_t CPolicies::NumberOr(EPolicy ePolicy, std::int32_t nUser) const {
  const std::optional<std::uint32_t>& nValue = m_numbers[IndexOf(ePolicy)];
  return nValue ? static_cast<std::int32_t>(*nValue) : nUser;
}

bool CPolicies::SetNumber(EPolicy ePolicy, std::uint32_t nValue) {
  const SPolicyRow& row = PolicyRow(ePolicy);
  if (row.eType == EPolicyType::Text || nValue < row.nMin || nValue > row.nMax) return false;
  m_numbers[IndexOf(ePolicy)] = nValue;
  return true;
}

bool CPolicies::SetText(EPolicy ePolicy, std::string strValue) {
  if (PolicyRow(ePolicy).eType != EPolicyType::Text || strValue.size() > kMaxPolicyTextLength) return false;
  m_texts[IndexOf(ePolicy)] = std::move(strValue);
  return true;
}
