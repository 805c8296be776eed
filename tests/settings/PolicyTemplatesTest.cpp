// The administrative templates against the policy table: every value the table
// names is in the ADMX with the same type and bounds, and nothing more; every
// text the ADMX refers to is in each language's ADML.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "shared/Policies.h"

namespace {

const std::string kTemplatesDir = HW_POLICY_TEMPLATES_DIR;

std::string ReadTemplate(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The value of attribute szName in the tag that starts at nTag; empty when absent.
std::string Attribute(const std::string& strXml, std::size_t nTag, const char* szName) {
  const std::size_t nEnd = strXml.find('>', nTag);
  const std::string strKey = std::string(" ") + szName + "=\"";
  const std::size_t nAt = strXml.find(strKey, nTag);
  if (nAt == std::string::npos || nAt > nEnd) return std::string();
  const std::size_t nValue = nAt + strKey.size();
  return strXml.substr(nValue, strXml.find('"', nValue) - nValue);
}

struct STemplateValue {
  EPolicyType eType;
  std::string strMin, strMax;
};

// Each policy's values: its own valueName is a flag, a decimal element a number,
// a text element a text. Every policy must name the product's policy key.
std::map<std::string, STemplateValue> TemplateValues(const std::string& strAdmx) {
  std::map<std::string, STemplateValue> values;
  for (std::size_t nPolicy = strAdmx.find("<policy "); nPolicy != std::string::npos;
       nPolicy = strAdmx.find("<policy ", nPolicy + 1)) {
    const std::size_t nEnd = strAdmx.find("</policy>", nPolicy);
    EXPECT_EQ(kPoliciesKeyPath, Attribute(strAdmx, nPolicy, "key")) << "policy " << Attribute(strAdmx, nPolicy, "name");
    const std::string strFlag = Attribute(strAdmx, nPolicy, "valueName");
    if (!strFlag.empty()) values[strFlag] = {EPolicyType::Flag, "0", "1"};
    for (const auto& [szTag, eType] :
         {std::pair{"<decimal id=", EPolicyType::Number}, {"<text id=", EPolicyType::Text}}) {
      for (std::size_t nElement = strAdmx.find(szTag, nPolicy); nElement < nEnd;
           nElement = strAdmx.find(szTag, nElement + 1)) {
        values[Attribute(strAdmx, nElement, "valueName")] = {eType, Attribute(strAdmx, nElement, "minValue"),
                                                             Attribute(strAdmx, nElement, "maxValue")};
      }
    }
  }
  return values;
}

TEST(PolicyTemplates, NameTheTablesValuesWithTheirTypes) {
  std::map<std::string, STemplateValue> values = TemplateValues(ReadTemplate(kTemplatesDir + "/Hookwarden.admx"));
  ASSERT_FALSE(values.empty()) << "no policies read from " << kTemplatesDir;
  for (const SPolicyRow& row : kPolicyRows) {
    const auto it = values.find(row.szValueName);
    if (it == values.end()) {
      ADD_FAILURE() << row.szValueName << " is in the table, not in the template";
      continue;
    }
    EXPECT_EQ(static_cast<int>(row.eType), static_cast<int>(it->second.eType)) << row.szValueName;
    if (row.eType == EPolicyType::Number) {
      EXPECT_EQ(std::to_string(row.nMin), it->second.strMin) << row.szValueName;
      EXPECT_EQ(std::to_string(row.nMax), it->second.strMax) << row.szValueName;
    }
    values.erase(it);
  }
  for (const auto& [strName, value] : values) ADD_FAILURE() << strName << " is in the template, not in the table";
}

TEST(PolicyTemplates, EveryLanguageHasEveryText) {
  const std::string strAdmx = ReadTemplate(kTemplatesDir + "/Hookwarden.admx");
  for (const char* szLanguage : {"en-US", "de-DE"}) {
    const std::string strAdml = ReadTemplate(kTemplatesDir + "/" + szLanguage + "/Hookwarden.adml");
    for (const std::string strKind : {"string", "presentation"}) {
      const std::string strRef = "$(" + strKind + ".";
      for (std::size_t nRef = strAdmx.find(strRef); nRef != std::string::npos; nRef = strAdmx.find(strRef, nRef + 1)) {
        const std::size_t nId = nRef + strRef.size();
        const std::string strId = strAdmx.substr(nId, strAdmx.find(')', nId) - nId);
        EXPECT_NE(std::string::npos, strAdml.find("<" + strKind + " id=\"" + strId + "\""))
            << szLanguage << " lacks " << strKind << " " << strId;
      }
    }
  }
}

}  // namespace
