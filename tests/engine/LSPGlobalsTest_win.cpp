// The engine library's console link and provider check, through its exports.
#include "engine/LSPGlobals.h"

#include <gtest/gtest.h>

#include <string>

#include "shared/EngineRequest.h"
#include "shared/OwnedResources_win.h"

namespace {

TEST(ConsoleLink, GetMainWndHandleFindsTheWindowByTitleOrStoresNull) {
  CLSPGlobals::hMainWnd = reinterpret_cast<HWND>(1);
  EXPECT_EQ(nullptr, CLSPGlobals::GetMainWndHandle());
  EXPECT_EQ(nullptr, CLSPGlobals::hMainWnd);

  // Any window class: a plain static control with the title is found.
  CDestroyWindow window(::CreateWindowExA(0, "STATIC", REQUEST_WINDOW_TITLE, WS_POPUP, 0, 0, 10, 10, nullptr,
                                          nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  EXPECT_EQ(window.Get(), CLSPGlobals::GetMainWndHandle());
  EXPECT_EQ(window.Get(), CLSPGlobals::hMainWnd);
  window.Reset();
  EXPECT_EQ(nullptr, CLSPGlobals::GetMainWndHandle());
}

TEST(ProviderCheck, RealCatalogueAnswersByProtocolName) {
  int nCount = -1;
  CGlobalFree block(CLSPGlobals::GetProviders(&nCount));
  ASSERT_TRUE(block) << "the catalogue under Wine is not empty";
  ASSERT_GT(nCount, 0);
  const auto* pProviders = static_cast<const WSAPROTOCOL_INFOW*>(block.Get());
  EXPECT_LE(static_cast<SIZE_T>(nCount) * sizeof(WSAPROTOCOL_INFOW), ::GlobalSize(block.Get()));

  // The first entry's name, in other letter case, is installed.
  std::string strName;
  for (const WCHAR* p = pProviders[0].szProtocol; *p; ++p) {
    const char c = static_cast<char>(*p & 0xFF);
    strName += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  ASSERT_FALSE(strName.empty());
  EXPECT_TRUE(CLSPGlobals::IsLSPInstalled(strName.c_str())) << strName;
  EXPECT_FALSE(CLSPGlobals::IsLSPInstalled("Lurewipe_lsp"));
  EXPECT_FALSE(CLSPGlobals::IsLSPInstalled(""));
}

TEST(EngineClass, InstancesCanBeMadeCopiedAndDestroyed) {
  // Nothing but the pointer that the virtual destructor needs: callers built
  // against the class allocate no instance data.
  EXPECT_EQ(sizeof(void*), sizeof(CLSPGlobals));
  CLSPGlobals globals;
  CLSPGlobals copy(globals);
  EXPECT_EQ(&copy, &(copy = globals));
  auto* pHeap = new CLSPGlobals();
  delete pHeap;  // the exported virtual destructor
}

}  // namespace
