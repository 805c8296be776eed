// grant-writes.exe: run by the installer, as the system, after the files are laid
// in. Users may not write below Program Files, yet the console writes a few files
// of its application folder; each of them (made when missing) gets an entry for
// the local users that lets them read and write it, added to what it inherits.
// The folder itself and the programs stay as they are: a user who could add files
// beside the console could plant a library that it loads.
//
//   grant-writes.exe FOLDER [--file NAME | --folder NAME]...
//
// A file may be written and emptied but not deleted (deleting it would need the
// right to create it again in the folder); a folder may be changed as a whole,
// with everything in it. Exit code 0, or 1 when one of them failed (named on
// standard error), 2 for a usage error.
#include <windows.h>
#include <aclapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "shared/OwnedResources_win.h"

namespace {

// Read, write, attributes: what CREATE_ALWAYS on an existing file needs.
constexpr DWORD kFileRights = FILE_GENERIC_READ | FILE_GENERIC_WRITE;
// "Modify": everything but changing the permissions and the owner.
constexpr DWORD kFolderRights = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;

bool MakeIfMissing(const std::string& strPath, bool bFolder) {
  if (::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  if (bFolder) return ::CreateDirectoryA(strPath.c_str(), nullptr) != FALSE;
  CCloseFile file(
      ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.IsValid();
}

// Adds the users' entry to the object's own list; the inherited entries stay.
DWORD GrantUsers(const std::string& strPath, bool bFolder) {
  PACL pOldAcl = nullptr;
  PSECURITY_DESCRIPTOR pDescriptor = nullptr;
  DWORD dwResult = ::GetNamedSecurityInfoA(strPath.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                           &pOldAcl, nullptr, &pDescriptor);
  if (dwResult != ERROR_SUCCESS) return dwResult;
  CLocalFree descriptor(pDescriptor);

  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID pUsers = nullptr;
  if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0,
                                  0, &pUsers))
    return ::GetLastError();
  EXPLICIT_ACCESSA access = {};
  access.grfAccessPermissions = bFolder ? kFolderRights : kFileRights;
  access.grfAccessMode = GRANT_ACCESS;
  access.grfInheritance = bFolder ? SUB_CONTAINERS_AND_OBJECTS_INHERIT : NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = static_cast<LPSTR>(pUsers);
  PACL pNewAcl = nullptr;
  dwResult = ::SetEntriesInAclA(1, &access, pOldAcl, &pNewAcl);
  ::FreeSid(pUsers);
  if (dwResult != ERROR_SUCCESS) return dwResult;
  CLocalFree newAcl(pNewAcl);
  std::string strWritable = strPath;
  return ::SetNamedSecurityInfoA(&strWritable[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, pNewAcl,
                                 nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: grant-writes FOLDER [--file NAME | --folder NAME]...\n");
    return 2;
  }
  // The installer passes its folder as "[INSTALLDIR]." (a backslash before the
  // closing quote would escape it).
  std::string strFolder = argv[1];
  if (strFolder.size() >= 2 && strFolder.compare(strFolder.size() - 2, 2, "\\.") == 0)
    strFolder.resize(strFolder.size() - 2);
  if (!strFolder.empty() && strFolder.back() == '\\') strFolder.pop_back();
  int nFailed = 0;
  for (int i = 2; i + 1 < argc; i += 2) {
    const bool bFolder = std::strcmp(argv[i], "--folder") == 0;
    if (!bFolder && std::strcmp(argv[i], "--file") != 0) {
      std::fprintf(stderr, "grant-writes: unknown option %s\n", argv[i]);
      return 2;
    }
    const std::string strPath = strFolder + "\\" + argv[i + 1];
    DWORD dwResult = MakeIfMissing(strPath, bFolder) ? ERROR_SUCCESS : ::GetLastError();
    if (dwResult == ERROR_SUCCESS) dwResult = GrantUsers(strPath, bFolder);
    if (dwResult != ERROR_SUCCESS) {
      std::fprintf(stderr, "grant-writes: %s: error %lu\n", strPath.c_str(), static_cast<unsigned long>(dwResult));
      ++nFailed;
    }
  }
  return nFailed ? 1 : 0;
}
