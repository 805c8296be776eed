// The administrative templates against the policy table: every value the table
// names is in the ADMX with the same type and bounds, and nothing more; every
// text the ADMX refers to is in each language's ADML.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
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

// The value of attribute szName in a tag; empty when absent.
std::string Attribute(const std::string& strTag, const char* szName) {
  std::smatch match;
  return std::regex_search(strTag, match, std::regex(std::string(" ") + szName + "=\"([^\"]*)\"")) ? match[1].str()
                                                                                                   : std::string();
}

struct STemplateValue {
  EPolicyType eType;
  std::string strMin, strMax;
};

// The policies' values: a policy's own valueName is a flag, a decimal element a
// number, a text element a text. Every policy must name the product's policy key.
std::map<std::string, STemplateValue> TemplateValues(const std::string& strAdmx) {
  std::map<std::string, STemplateValue> values;
  const std::regex tag("<(policy|decimal|text) [^>]*>");
  for (auto it = std::sregex_iterator(strAdmx.begin(), strAdmx.end(), tag); it != std::sregex_iterator(); ++it) {
    const std::string strTag = it->str(), strKind = (*it)[1], strName = Attribute(strTag, "valueName");
    if (strKind == "policy") EXPECT_EQ(kPoliciesKeyPath, Attribute(strTag, "key")) << strTag;
    if (strName.empty()) continue;  // a policy without its own flag, or an enabled or disabled value
    if (strKind == "policy") {
      values[strName] = {EPolicyType::Flag, "0", "1"};
    } else {
      values[strName] = {strKind == "decimal" ? EPolicyType::Number : EPolicyType::Text, Attribute(strTag, "minValue"),
                         Attribute(strTag, "maxValue")};
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
